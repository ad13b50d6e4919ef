// The framework's dialog class and application context, held to their
// contracts by driving the dialogs as a person would.
#include "tests/framework/framework_fixture.h"

namespace framework_test {
namespace {

TEST_F(FrameworkTest, ModalDialogRunsHandlersByIdRangeAndNotification)
{
    MainDialog dialog;
    const INT_PTR result = RunModal(dialog, [](HWND window) {
        ASSERT_TRUE(vtsim::Click(vtsim::FindControl(window, IDC_ACTION)));
        ASSERT_TRUE(vtsim::Click(vtsim::FindControl(window, 21)));
        ASSERT_TRUE(vtsim::Click(vtsim::FindControl(window, 22)));
        ASSERT_TRUE(vtsim::ChooseComboEntry(vtsim::FindControl(window, IDC_COMBO), 1));
        ASSERT_TRUE(
            vtsim::SelectTreeItem(vtsim::FindControl(window, IDC_TREE), {"Root", "Leaf B"}));
        ASSERT_TRUE(vtsim::SelectTab(vtsim::FindControl(window, IDC_TABS), "Second"));
        ASSERT_TRUE(vtsim::Click(vtsim::FindControl(window, IDC_CLOSE)));
    });
    EXPECT_EQ(result, 7);
    EXPECT_EQ(dialog.events,
              (std::vector<std::string>{"init", "action", "edge 21", "edge 22", "combo 1",
                                        "tree Leaf B", "tab 1", "after end", "destroy"}));
    EXPECT_EQ(dialog.Window(), nullptr);
}

TEST_F(FrameworkTest, DefaultOkAndCancelEndTheDialog)
{
    MainDialog byEscape;
    EXPECT_EQ(
        RunModal(byEscape,
                 [](HWND window) { ASSERT_TRUE(vtsim::PressKey(window, vtsim::Key::Escape)); }),
        IDCANCEL);
    MainDialog byCloseBox;
    EXPECT_EQ(RunModal(byCloseBox, [](HWND window) { ASSERT_TRUE(vtsim::ClickCloseBox(window)); }),
              IDCANCEL);
    MainDialog byEnter;
    EXPECT_EQ(RunModal(byEnter,
                       [](HWND window) {
                           // From a control that is no push button, Enter means the default one.
                           SetFocus(vtsim::FindControl(window, IDC_COMBO));
                           ASSERT_TRUE(vtsim::PressKey(window, vtsim::Key::Enter));
                       }),
              IDOK);
    ASSERT_EQ(vtsim::ModalDialogs().size(), 3U);
    for (const auto& record : vtsim::ModalDialogs()) {
        EXPECT_EQ(record.ending, vtsim::DialogEnding::ByProgram);
    }
}

TEST_F(FrameworkTest, ALaterRegistrationOverridesTheDefaultCancel)
{
    class Guarded : public MainDialog {
    public:
        Guarded()
        {
            OnClicked(IDCANCEL, [this] { events.push_back("cancel refused"); });
        }
    } dialog;
    RunModal(dialog, [](HWND window) { ASSERT_TRUE(vtsim::PressKey(window, vtsim::Key::Escape)); });
    // Escape did not end it; the driver had to force it.
    ASSERT_EQ(vtsim::ModalDialogs().size(), 1U);
    EXPECT_EQ(vtsim::ModalDialogs()[0].ending, vtsim::DialogEnding::Forced);
    EXPECT_NE(std::find(dialog.events.begin(), dialog.events.end(), "cancel refused"),
              dialog.events.end());
}

TEST_F(FrameworkTest, ModelessDialogEndsByDestroyingItsWindow)
{
    MainDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.Show(true);
    HWND window = dialog.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(vtsim::Click(vtsim::FindControl(window, IDC_ACTION)));
    EXPECT_FALSE(dialog.Create()) << "one window per object";
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_TRUE(vtsim::Click(vtsim::FindControl(window, IDC_CLOSE)));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dialog.Window(), nullptr);
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"init", "action", "destroy", "after end"}));
}

TEST_F(FrameworkTest, SelfDeletingDialogGoesAfterItsWindowWhicheverWayItIsDestroyed)
{
    int deleted = 0;
    auto* closedByItself = new MainDialog(&deleted);
    closedByItself->DeleteAfterDestroy();
    ASSERT_TRUE(closedByItself->Create());
    closedByItself->Show(true);
    HWND first = closedByItself->Window();
    EXPECT_TRUE(vtsim::Click(vtsim::FindControl(first, IDC_CLOSE)));
    EXPECT_EQ(deleted, 1);
    EXPECT_FALSE(IsWindow(first));

    auto* closedFromOutside = new MainDialog(&deleted);
    closedFromOutside->DeleteAfterDestroy();
    ASSERT_TRUE(closedFromOutside->Create());
    closedFromOutside->Show(true);
    HWND second = closedFromOutside->Window();
    EXPECT_TRUE(vtsim::ClickCloseBox(second));  // the default cancel
    EXPECT_EQ(deleted, 2);

    auto* destroyed = new MainDialog(&deleted);
    destroyed->DeleteAfterDestroy();
    ASSERT_TRUE(destroyed->Create());
    destroyed->Show(true);
    EXPECT_TRUE(DestroyWindow(destroyed->Window()));
    EXPECT_EQ(deleted, 3);
}

TEST_F(FrameworkTest, DestroyingTheObjectDestroysItsWindowWithoutCallingIt)
{
    int deleted = 0;
    HWND window = nullptr;
    {
        MainDialog dialog(&deleted);
        ASSERT_TRUE(dialog.Create());
        dialog.Show(true);
        window = dialog.Window();
    }
    EXPECT_EQ(deleted, 1);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(FrameworkTest, ChildDialogSitsInsideItsParentAndGoesWithIt)
{
    MainDialog parent;
    ASSERT_TRUE(parent.Create());
    parent.Show(true);
    ChildPage page;
    ASSERT_TRUE(page.Create(parent.Window()));
    EXPECT_EQ(GetParent(page.Window()), parent.Window());
    page.PlaceAt(160, 30);
    page.Show(true);
    vtsim::WindowSnapshot shot;
    for (const auto& child : vtsim::Snapshot(parent.Window()).children) {
        if (child.handle == reinterpret_cast<std::uintptr_t>(page.Window())) {
            shot = child;  // its rectangle in the parent's client area
        }
    }
    EXPECT_EQ(shot.rect.x, 160);
    EXPECT_EQ(shot.rect.y, 30);
    EXPECT_GT(shot.rect.width, 0);
    EXPECT_TRUE(vtsim::Click(vtsim::FindControl(page.Window(), IDC_CHILD_BUTTON)));
    EXPECT_EQ(page.clicks, 1);
    page.Show(false);
    std::string error;
    EXPECT_FALSE(vtsim::Click(vtsim::FindControl(page.Window(), IDC_CHILD_BUTTON), &error))
        << "a hidden page takes no clicks";
    DestroyWindow(parent.Window());
    EXPECT_EQ(page.Window(), nullptr);
}

TEST_F(FrameworkTest, AnExceptionLeavingAHandlerIsReportedAndTheDialogGoesOn)
{
    vtfw::SetApplicationTitle(TEXT("Framework tests"));
    MainDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.Show(true);
    EXPECT_TRUE(vtsim::Click(vtsim::FindControl(dialog.Window(), IDC_RAISE)));
    const auto boxes = vtsim::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, u"file write failed, error 112");
    EXPECT_EQ(boxes[0].caption, u"Framework tests");
    EXPECT_EQ(boxes[0].owner, reinterpret_cast<std::uintptr_t>(dialog.Window()));
    EXPECT_TRUE(vtsim::Click(vtsim::FindControl(dialog.Window(), IDC_ACTION)));
    EXPECT_EQ(dialog.events.back(), "action");
    DestroyWindow(dialog.Window());
}

TEST_F(FrameworkTest, ResourceModuleScopeRestoresOnEveryWayOut)
{
    EXPECT_EQ(vtfw::ResourceModule(), nullptr);
    {
        vtfw::ResourceModuleScope outer(NoModule());
        EXPECT_EQ(vtfw::ResourceModule(), NoModule());
        {
            vtfw::ResourceModuleScope inner(nullptr);
            EXPECT_EQ(vtfw::ResourceModule(), nullptr);
        }
        EXPECT_EQ(vtfw::ResourceModule(), NoModule());
    }
    EXPECT_EQ(vtfw::ResourceModule(), nullptr);
    try {
        vtfw::ResourceModuleScope scope(NoModule());
        throw std::runtime_error("leaving");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(vtfw::ResourceModule(), nullptr);

    // Each thread has its own.
    vtfw::ResourceModuleScope scope(NoModule());
    HINSTANCE otherThreads = NoModule();
    std::thread([&] { otherThreads = vtfw::ResourceModule(); }).join();
    EXPECT_EQ(otherThreads, nullptr);
}

TEST_F(FrameworkTest, TemplatesComeFromTheResourceModuleAndHandlersRunInTheCreatorsModule)
{
    {
        vtfw::ResourceModuleScope scope(NoModule());
        MainDialog elsewhere;
        EXPECT_FALSE(elsewhere.Create()) << "the template is not in that module";
        EXPECT_EQ(elsewhere.DoModal(), -1);
    }
    MainDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.Show(true);  // from the program's own resources
    vtfw::SetResourceModule(NoModule());
    EXPECT_TRUE(vtsim::Click(vtsim::FindControl(dialog.Window(), IDC_ACTION)));
    EXPECT_EQ(dialog.seenModule, nullptr);
    EXPECT_EQ(vtfw::ResourceModule(), NoModule()) << "switched back after the handler";
    vtfw::SetResourceModule(nullptr);
    DestroyWindow(dialog.Window());
}

}  // namespace
}  // namespace framework_test
