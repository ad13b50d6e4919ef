// The template editor driven as a person would: the tree it shows for a
// script, Add, Remove, Save and Close, observed in the tree, the controls
// and the script's bytes.
#include <filesystem>

#include "platform/framework/controls.h"
#include "tests/configurator/editor_fixture.h"

using namespace editor_test;

namespace {

const std::string kHead =
    "; board package templates\r\n[HKEY_LOCAL_MACHINE\\Drivers\\Other]\r\n"
    "\"Dll\"=\"other.dll\"\r\n\r\n";

class Editor : public EditorTest {};

TEST_F(Editor, ShowsEachModelsTemplatesInNumberOrder)
{
    folder_.Write(kVtc4100Script, kHead + Written("RLX4100S", 5, 5, 0) +
                                      Written("RLX4100S", 0, 0, 0) + Written("RLX4100S", 2, 2, 0) +
                                      Written("RLX6200KS", 12, 1, 0) +
                                      Written("RLX4100ES", 1, 3, 0));
    int result = 0;
    ASSERT_NE(Open("VTC4100Cfg.dll", &result), nullptr);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(IsWindowVisible(editor_));
    EXPECT_EQ(Tree(), (std::vector<std::string>{"DeviceTemplate", "  VTM-6200K", "    Template12",
                                                "  VTC-4100", "    Template0", "    Template2",
                                                "    Template5", "  VTC-4100E", "    Template1"}));
    EXPECT_EQ(Shot(kTab).tabs, (std::vector<std::string>{"Device", "DI"}));
    EXPECT_FALSE(Shot(kSave).enabled) << "nothing changed yet";
    EXPECT_FALSE(PageVisible(kSwitchIdList));
    EXPECT_FALSE(PageVisible(kEdgeFirst));
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(Editor, LibraryNameChoosesTheScript)
{
    folder_.Write(kVtc4100Script, Written("RLX4100S", 3, 3, 0));
    folder_.Write(kVtm6200KScript, Written("RLX4100S", 7, 7, 0));
    ASSERT_NE(Open("VTM6200KCfg.dll"), nullptr);
    EXPECT_EQ(Tree()[2], "  VTC-4100");
    EXPECT_EQ(Tree()[3], "    Template7") << "the VTM6200K folder and file";
    DestroyWindow(editor_);
    ASSERT_NE(Open("VTC4100ECfg.dll"), nullptr);
    EXPECT_EQ(Tree()[3], "    Template3") << "VTC4100E shares the VTC4100 folder and file";
}

TEST_F(Editor, LongRootIsTakenWhole)
{
    // A script path of more than 255 characters: the editor works on the
    // whole path, never on a shortened one that names another file.
    const std::string deep = std::string(120, 'd') + "/" + std::string(120, 'e');
    folder_.Write("TREE/" + deep + "/Public/Korvel/Device_Drivers/VTC4100/VTC4100.reg",
                  Written("RLX4100S", 4, 4, 0));
    std::string root = "C:\\TREE\\" + deep + "\\";
    ASSERT_NE(Open("VTC4100Cfg.dll", nullptr, root.c_str()), nullptr);
    EXPECT_EQ(Tree()[3], "    Template4");
}

TEST_F(Editor, AddMakesTheLowestFreeNumberAtTheEndOfTheModel)
{
    const std::string original = kHead + Written("RLX4100S", 0, 0, 0) +
                                 Written("RLX4100S", 2, 1, 0) + Written("RLX4100S", 5, 3, 0);
    folder_.Write(kVtc4100Script, original);
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100"});
    Click(kAdd);
    EXPECT_EQ(Tree(), (std::vector<std::string>{"DeviceTemplate", "  VTM-6200K", "  VTC-4100",
                                                "    Template0", "    Template2", "    Template5",
                                                "    Template1", "  VTC-4100E"}));
    EXPECT_EQ(SelectedNode(), "Template1");
    EXPECT_TRUE(Shot(kSave).enabled);
    EXPECT_TRUE(PageVisible(kSwitchIdList)) << "the new template is shown on the Device tab";
    EXPECT_EQ(Shot(kSwitchIdList).comboSelection, 2) << "SwitchIDs 0, 1 and 3 are taken";

    Click(kSave);
    EXPECT_FALSE(Shot(kSave).enabled);
    // Every template in the tree is written again in place; the new one is
    // appended.
    EXPECT_EQ(folder_.Read(kVtc4100Script), original + Section("RLX4100S", 1, 2, 0));
}

TEST_F(Editor, AddWithTheRootOrNothingSelectedAddsNothingButStillCountsAsAChange)
{
    folder_.Write(kVtc4100Script, Written("RLX4100S", 0, 0, 0));
    ASSERT_NE(Open(), nullptr);
    const auto tree = Tree();
    Click(kAdd);  // nothing selected
    Select({"DeviceTemplate"});
    Click(kAdd);
    EXPECT_EQ(Tree(), tree);
    EXPECT_FALSE(Shot(kSave).enabled);
    vtsim::QueueMessageBoxAnswer(IDCANCEL);
    Click(kClose);
    EXPECT_EQ(
        BoxTexts(),
        (std::vector<std::u16string>{u"The configuration of device is change, save the change"}));
}

TEST_F(Editor, RemoveTakesOnlyTemplateNodes)
{
    folder_.Write(kVtc4100Script, Written("RLX4100S", 0, 0, 0));
    ASSERT_NE(Open(), nullptr);
    const auto tree = Tree();
    Select({"DeviceTemplate", "VTC-4100"});
    Click(kRemove);
    Select({"DeviceTemplate"});
    Click(kRemove);
    EXPECT_EQ(Tree(), tree);
    EXPECT_FALSE(Shot(kSave).enabled);
}

TEST_F(Editor, RemovedTemplateIsCutOnSaveAndItsNumberAndSwitchIdAreReused)
{
    const std::string kept = kHead + Written("RLX4100S", 0, 0, 0) + Written("RLX4100S", 1, 1, 0) +
                             Written("RLX4100S", 2, 3, 0);
    folder_.Write(kVtc4100Script,
                  kept + Written("RLX4100S", 3, 2, 0) + Written("RLX4100S", 6, 6, 0));
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100", "Template3"});
    Click(kRemove);
    EXPECT_EQ(SelectedNode(), "Template6") << "the next sibling takes the selection";
    EXPECT_TRUE(Shot(kSave).enabled);
    Click(kSave);
    const std::string saved = folder_.Read(kVtc4100Script);
    EXPECT_EQ(saved, kept + Written("RLX4100S", 6, 6, 0)) << "the section is cut, the rest kept";

    Select({"DeviceTemplate", "VTC-4100"});
    Click(kAdd);
    EXPECT_EQ(SelectedNode(), "Template3");
    EXPECT_EQ(Shot(kSwitchIdList).comboSelection, 2) << "the SwitchID the removal freed";
    Click(kSave);
    EXPECT_EQ(folder_.Read(kVtc4100Script), saved + Section("RLX4100S", 3, 2, 0));
}

TEST_F(Editor, RemoveAndAddBeforeSavingRewritesTheTemplate)
{
    folder_.Write(kVtc4100Script, Written("RLX4100S", 0, 9, 1));
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100", "Template0"});
    Click(kRemove);
    Select({"DeviceTemplate", "VTC-4100"});
    Click(kAdd);
    Click(kSave);
    // Cut, then written anew with the lowest free SwitchID and the record's edges.
    EXPECT_EQ(folder_.Read(kVtc4100Script), Section("RLX4100S", 0, 0, 1));
}

TEST_F(Editor, SelectionAndTabsDecideWhichPageShows)
{
    folder_.Write(kVtc4100Script, Written("RLX4100S", 0, 0, 0));
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100", "Template0"});
    EXPECT_TRUE(PageVisible(kSwitchIdList));
    EXPECT_FALSE(PageVisible(kEdgeFirst));
    Tab("DI");
    EXPECT_FALSE(PageVisible(kSwitchIdList));
    EXPECT_TRUE(PageVisible(kEdgeFirst));
    Select({"DeviceTemplate", "VTC-4100"});
    EXPECT_FALSE(PageVisible(kSwitchIdList));
    EXPECT_FALSE(PageVisible(kEdgeFirst));
    Tab("Device");
    EXPECT_FALSE(PageVisible(kSwitchIdList)) << "no template selected: no page";
    Select({"DeviceTemplate", "VTC-4100", "Template0"});
    EXPECT_TRUE(PageVisible(kSwitchIdList));
    // The page sits where the hidden frame marks the page area.
    vtsim::WindowSnapshot page;
    for (const auto& child : vtsim::Snapshot(editor_).children) {
        if (child.handle == reinterpret_cast<std::uintptr_t>(GetParent(Control(kSwitchIdList)))) {
            page = child;  // its rectangle in the editor's client area
        }
    }
    EXPECT_EQ(page.rect.x, 160);
    EXPECT_EQ(page.rect.y, 30);
}

TEST_F(Editor, SaveWritesTemplatesOfCollapsedModels)
{
    folder_.Write(kVtc4100Script, Written("RLX4100S", 0, 0, 0));
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100E"});
    Click(kAdd);
    Select({"DeviceTemplate", "VTM-6200K"});
    Click(kAdd);
    // Collapse each model node as a person would with its minus button.
    vtfw::TreeView tree(Control(kTree));
    for (HTREEITEM node = tree.FirstChild(tree.Root()); node != nullptr;
         node = tree.NextSibling(node)) {
        tree.Expand(node, TVE_COLLAPSE);
    }
    for (const auto& item : Shot(kTree).treeItems) {
        EXPECT_TRUE(item.depth < 2 || !item.visible) << item.text << " is still on screen";
    }
    Click(kSave);
    EXPECT_EQ(folder_.Read(kVtc4100Script), Written("RLX4100S", 0, 0, 0) +
                                                Section("RLX6200KS", 0, 0, 0) +
                                                Section("RLX4100ES", 0, 0, 0));
}

TEST_F(Editor, CloseAsksOnceAndCancelWritesNothing)
{
    const std::string original = Written("RLX4100S", 0, 0, 0);
    folder_.Write(kVtc4100Script, original);
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100"});
    Click(kAdd);
    vtsim::QueueMessageBoxAnswer(IDCANCEL);
    Click(kClose);
    EXPECT_FALSE(IsWindow(editor_));
    EXPECT_EQ(folder_.Read(kVtc4100Script), original);
    const auto boxes = vtsim::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1U) << "the window's end does not ask again";
    EXPECT_EQ(boxes[0].caption, u"Note");
    EXPECT_EQ(boxes[0].type & MB_TYPEMASK, MB_OKCANCEL);
    EXPECT_EQ(boxes[0].owner, reinterpret_cast<std::uintptr_t>(editor_));
}

TEST_F(Editor, CloseWithOkSaves)
{
    folder_.Write(kVtc4100Script, Written("RLX4100S", 0, 0, 0));
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100"});
    Click(kAdd);
    vtsim::QueueMessageBoxAnswer(IDOK);
    Click(kClose);
    EXPECT_EQ(folder_.Read(kVtc4100Script),
              Written("RLX4100S", 0, 0, 0) + Section("RLX4100S", 1, 1, 0));
}

TEST_F(Editor, EscapeEndsWithoutAPromptAndTheWindowsEndAsksAboutTheChanges)
{
    folder_.Write(kVtc4100Script, Written("RLX4100S", 0, 0, 0));
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100"});
    Click(kAdd);
    vtsim::QueueMessageBoxAnswer(IDOK);
    ASSERT_TRUE(vtsim::PressKey(editor_, vtsim::Key::Escape));
    EXPECT_FALSE(IsWindow(editor_));
    const auto boxes = vtsim::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, u"The configuration of VTM-6200K is change, save the change");
    EXPECT_EQ(boxes[0].caption, u"Note");
    EXPECT_EQ(boxes[0].owner, 0U);
    EXPECT_EQ(folder_.Read(kVtc4100Script),
              Written("RLX4100S", 0, 0, 0) + Section("RLX4100S", 1, 1, 0));
}

TEST_F(Editor, SeventeenthTemplateIsRefused)
{
    std::string script;
    for (int n = 0; n < 16; ++n) {
        script += Written("RLX4100ES", n, static_cast<unsigned>(n), 0);
    }
    folder_.Write(kVtc4100Script, script);
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100E"});
    Click(kAdd);
    EXPECT_EQ(Shot(kTree).treeItems.size(), 4U + 16U);
    ASSERT_EQ(BoxTexts(), (std::vector<std::u16string>{u"Support up to 16 Templates"}));
    EXPECT_EQ(vtsim::MessageBoxes()[0].owner, reinterpret_cast<std::uintptr_t>(editor_));
    EXPECT_EQ(vtsim::MessageBoxes()[0].caption, u"VTC4100Cfg") << "the library's title";
    EXPECT_FALSE(Shot(kSave).enabled);
}

TEST_F(Editor, MissingScriptIsReportedAndNothingIsAddedOrSaved)
{
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Tree(), (std::vector<std::string>{"DeviceTemplate", "  VTM-6200K", "  VTC-4100",
                                                "  VTC-4100E"}));
    const std::u16string why =
        u"The template script cannot be read: C:\\TREE\\Public\\Korvel\\Device_Drivers\\VTC4100\\"
        u"VTC4100.reg\nThe system cannot find the path specified.\nNo template can be added, "
        u"removed or saved.";
    ASSERT_EQ(BoxTexts(), (std::vector<std::u16string>{why}));
    EXPECT_EQ(vtsim::MessageBoxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    Select({"DeviceTemplate", "VTC-4100"});
    Click(kAdd);
    EXPECT_EQ(BoxTexts(), (std::vector<std::u16string>{why, why})) << "Add says why, once a click";
    EXPECT_EQ(Tree().size(), 4U) << "nothing was added";
    EXPECT_FALSE(Shot(kSave).enabled);
    EXPECT_FALSE(std::filesystem::exists(folder_.HostPath(kVtc4100Script)));
}

TEST_F(Editor, NoMemoryForTheEditorIsReported)
{
    vtsim::ArmFault(vtsim::Fault::Allocation, 1);
    int result = -1;
    EXPECT_EQ(Open("VTC4100Cfg.dll", &result), nullptr);
    EXPECT_EQ(result, 0);
    const auto boxes = vtsim::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, u" NEW Device Config Objeft failed!");
    EXPECT_EQ(boxes[0].caption, u"Error") << "no caption given";
    EXPECT_EQ(driverConfig_(0, nullptr, "VTC4100Cfg.dll", 0), 0);
}

TEST_F(Editor, AFailedSaveChangesNothingKeepsTheEditsAndCanBeRetried)
{
    folder_.Write(kVtc4100Script, kHead);
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100"});
    Click(kAdd);
    vtsim::ArmFault(vtsim::Fault::FileWrite, 1);
    Click(kSave);
    EXPECT_EQ(BoxTexts(),
              (std::vector<std::u16string>{
                  u"The templates were not saved; the script is unchanged: "
                  u"C:\\TREE\\Public\\Korvel\\Device_Drivers\\VTC4100\\VTC4100.reg\n"
                  u"Could not write the temporary file beside it: There is not enough space on the "
                  u"disk.\nThe edits are kept: save again, or close without saving."}));
    EXPECT_EQ(vtsim::MessageBoxes()[0].owner, reinterpret_cast<std::uintptr_t>(editor_));
    EXPECT_EQ(folder_.Read(kVtc4100Script), kHead);
    EXPECT_TRUE(IsWindow(editor_));
    EXPECT_TRUE(Shot(kSave).enabled) << "the save did not happen";
    Click(kSave);
    EXPECT_EQ(folder_.Read(kVtc4100Script), kHead + Section("RLX4100S", 0, 0, 0));
    EXPECT_FALSE(Shot(kSave).enabled);
}

TEST_F(Editor, TwoEditorsRunSideBySideAndEachEditsItsOwnRecords)
{
    folder_.Write(kVtc4100Script, Written("RLX4100S", 0, 0, 0));
    HWND first = Open();
    ASSERT_NE(first, nullptr);
    HWND second = Open();
    ASSERT_NE(second, nullptr);
    editor_ = first;
    Select({"DeviceTemplate", "VTC-4100", "Template0"});
    ChooseSwitchId(5);
    EXPECT_EQ(Shot(kSwitchIdList).comboSelection, 5);
    Click(kSave);
    EXPECT_EQ(folder_.Read(kVtc4100Script),
              Written("RLX4100S", 0, 0, 0)
                  .replace(Written("RLX4100S", 0, 0, 0).find("dword:0"), 7, "dword:5"));
    DestroyWindow(second);
    DestroyWindow(first);
}

}  // namespace

namespace {

// The host's view of the configurator library: one module under three
// names, exporting DriverConfig alone.
TEST(ConfiguratorModule, LoadsUnderEachModelsNameAsOneModule)
{
    HMODULE vtc4100 = LoadLibraryW(u"VTC4100Cfg.dll");
    HMODULE vtc4100e = LoadLibraryW(u"VTC4100ECfg.dll");
    HMODULE vtm6200k = LoadLibraryW(u"vtm6200kcfg.DLL");  // the host's files tell case apart
    ASSERT_NE(vtc4100, nullptr);
    EXPECT_EQ(vtc4100e, vtc4100);
    EXPECT_EQ(vtm6200k, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_NE(GetProcAddress(vtc4100, "DriverConfig"), nullptr);
    EXPECT_EQ(GetProcAddress(vtc4100, "ScanTemplates"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_TRUE(FreeLibrary(vtc4100e));
    EXPECT_NE(GetProcAddress(vtc4100, "DriverConfig"), nullptr) << "one load is still counted";
    EXPECT_TRUE(FreeLibrary(vtc4100));
    EXPECT_FALSE(FreeLibrary(vtc4100));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetProcAddress(vtc4100, "DriverConfig"), nullptr);
    EXPECT_EQ(LoadLibraryW(u"NoSuchCfg.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(LoadLibraryW(u""), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
