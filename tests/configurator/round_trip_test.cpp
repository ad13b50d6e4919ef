// The round trip: a template edited and saved in the editor, as a person
// would, reaches the board at the next boot of the target from the
// platform tree: the board whose ID switch matches the template starts with
// the template's trigger mode in its trigger-edge register.
#include <string>
#include <vector>

#include "platform/host/control/board.h"
#include "platform/host/control/target.h"
#include "tests/configurator/editor_fixture.h"
#include "tools/common/platform_tree.h"

using namespace editor_test;

namespace {

class RoundTrip : public EditorTest {
protected:
    void TearDown() override
    {
        vtsim::Shutdown();
        EditorTest::TearDown();
    }

    // Boots a machine of one board with the given ID switch from the tree
    // and returns the board's trigger-edge register.
    int BootAndReadTriggerRegister(vtsim::BoardModel model, std::uint8_t switchId)
    {
        vtsim::BootOptions options;
        vtsim::BoardConfig board;
        board.model = model;
        board.slot = 4;
        board.switchId = switchId;
        board.ioBase = 0xD000;
        board.irq = 7;
        options.machine.boards = {board};
        std::string error;
        EXPECT_TRUE(vttools::TreeScripts(tree_, &options.registryScripts, &error)) << error;
        if (!vtsim::Boot(options, &error)) {
            ADD_FAILURE() << error;
            return -1;
        }
        const int trigger = vtsim::Boards().at(0)->triggerMode();
        EXPECT_EQ(vtsim::Devices().size(), 1U) << "the driver started on the board";
        vtsim::Shutdown();
        return trigger;
    }

    std::string tree_ = folder_.HostPath("TREE").string();
};

TEST_F(RoundTrip, SavedTemplateSetsTheEdgesOfTheMatchingBoardAtTheNextBoot)
{
    std::vector<std::string> written;
    std::string error;
    ASSERT_TRUE(vttools::LayOutTree(tree_, false, &written, &error)) << error;
    // The package's VTC-4100 template 1 selects switch 3 with all edges rising.
    EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTC4100, 3), 0x00);

    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100", "Template1"});
    ChooseSwitchId(9);
    Tab("DI");
    Click(kEdgeFirst + 2 * 1 + 1);  // Bit1 falling
    Click(kEdgeFirst + 2 * 3 + 1);  // Bit3 falling
    Click(kSave);
    Click(kClose);
    // The VTM-6200K's templates live in its own package's script, which the
    // library edits when loaded by that model's name: a new template, Bit0
    // falling, on the lowest free SwitchID (the package's template 0 has 3).
    ASSERT_NE(Open("VTM6200KCfg.dll"), nullptr);
    Select({"DeviceTemplate", "VTM-6200K"});
    Click(kAdd);
    EXPECT_EQ(SelectedNode(), "Template1");
    Tab("DI");
    Click(kEdgeFirst + 1);
    Click(kClose);  // asks, and saves on OK
    EXPECT_EQ(vtsim::MessageBoxes().size(), 1U);

    EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTC4100, 9), 0x0A);
    EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTC4100, 3), 0x00)
        << "switch 3 no longer selects a template";
    EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTM6200K, 0), 0x01);
    EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTM6200K, 3), 0x01)
        << "the package's own template";
}

// Scripts that the editor once read differently from the target: each is
// edited and saved in the editor, booted, and the board must get what the
// editor showed. The package script keeps its driver keys; its own
// VTC-4100 templates are replaced by the case's text.
class BootAgreement : public RoundTrip {
protected:
    void SetUp() override
    {
        RoundTrip::SetUp();
        std::vector<std::string> written;
        std::string error;
        ASSERT_TRUE(vttools::LayOutTree(tree_, false, &written, &error)) << error;
        const std::string package = folder_.Read(kVtc4100Script);
        const std::size_t from = package.find(
            "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\RLX4100S\\Template0]");
        const std::size_t to =
            package.find("[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\Rlx4100ES]");
        ASSERT_TRUE(from != std::string::npos && to != std::string::npos);
        base_ = package.substr(0, from) + package.substr(to);
    }
    // The script with text after the package's keys, with CR LF line ends
    // turned into ending (and the whole file encoded as UTF-16 when asked).
    void Given(const std::string& text, const std::string& ending = "\r\n", bool utf16 = false)
    {
        std::string script = base_ + text;
        std::string lines;
        for (std::size_t at = 0; at < script.size(); ++at) {
            if (script.compare(at, 2, "\r\n") == 0) {
                lines += ending;
                ++at;
            } else {
                lines += script[at];
            }
        }
        if (utf16) {
            std::string wide = "\xFF\xFE";
            for (char c : lines) {
                wide += c;
                wide += '\0';
            }
            lines = wide;
        }
        folder_.Write(kVtc4100Script, lines);
    }
    // An edit that touches another model: a VTC-4100E template added.
    void EditElsewhereAndSave()
    {
        Select({"DeviceTemplate", "VTC-4100E"});
        Click(kAdd);
        Click(kSave);
    }
    std::string base_;
};

const std::string H0 = "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\RLX4100S\\Template0]";

TEST_F(BootAgreement, AHeaderWithACommentIsOneTemplateForBoth)
{
    Given(H0 + " ; c\r\n\"SwitchID\"=dword:3\r\n\"TriggerMode\"=dword:5\r\n");
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100", "Template0"});
    EXPECT_EQ(Shot(kSwitchIdList).comboSelection, 3);
    EditElsewhereAndSave();
    EXPECT_TRUE(BoxTexts().empty());
    const std::string saved = folder_.Read(kVtc4100Script);
    EXPECT_EQ(saved.find("RLX4100S\\Template0]"), saved.rfind("RLX4100S\\Template0]"))
        << "no second Template0";
    EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTC4100, 3), 0x05);
}

TEST_F(BootAgreement, ASpacedNumberIsReadAsTheTargetReadsIt)
{
    Given(H0 + "\r\n\"SwitchID\"=dword: 3\r\n\"TriggerMode\"=dword:6\r\n");
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100", "Template0"});
    EXPECT_EQ(Shot(kSwitchIdList).comboSelection, 3);
    EditElsewhereAndSave();
    EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTC4100, 3), 0x06);
}

TEST_F(BootAgreement, DuplicateSectionsAreOneKeyWithTheLastValuesWinning)
{
    Given(H0 + "\r\n\"SwitchID\"=dword:3\r\n\"TriggerMode\"=dword:1\r\n" + H0 +
          "\r\n\"TriggerMode\"=dword:4\r\n");
    EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTC4100, 3), 0x04);
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100", "Template0"});
    Tab("DI");
    Click(kEdgeFirst + 1);  // Bit0 falling: 4 becomes 5
    Click(kSave);
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTC4100, 3), 0x05);
    // Removing the template cuts both sections.
    Select({"DeviceTemplate", "VTC-4100", "Template0"});
    Click(kRemove);
    Click(kSave);
    EXPECT_EQ(folder_.Read(kVtc4100Script).find("RLX4100S\\Template0]"), std::string::npos);
}

TEST_F(BootAgreement, CrOnlyAndUtf16ScriptsAreReadAndKeptAlike)
{
    for (bool utf16 : {false, true}) {
        Given(H0 + "\r\n\"SwitchID\"=dword:3\r\n\"TriggerMode\"=dword:9\r\n", utf16 ? "\r\n" : "\r",
              utf16);
        EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTC4100, 3), 0x09) << utf16;
        ASSERT_NE(Open(), nullptr);
        EXPECT_EQ(Tree()[3], "    Template0") << utf16;
        EditElsewhereAndSave();
        EXPECT_TRUE(BoxTexts().empty());
        if (utf16) {
            EXPECT_EQ(folder_.Read(kVtc4100Script).substr(0, 2), "\xFF\xFE") << "still UTF-16";
        }
        EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTC4100, 3), 0x09) << utf16;
        Click(kClose);
    }
}

TEST_F(BootAgreement, ATemplateNumberBeyondFifteenKeepsTheScriptFromBeingChanged)
{
    const std::string text =
        H0 +
        "\r\n\"SwitchID\"=dword:1\r\n\"TriggerMode\"=dword:0\r\n"
        "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\RLX4100S\\Template100]\r\n"
        "\"SwitchID\"=dword:3\r\n\"TriggerMode\"=dword:7\r\n";
    Given(text);
    const std::string before = folder_.Read(kVtc4100Script);
    ASSERT_NE(Open(), nullptr);
    ASSERT_EQ(BoxTexts().size(), 1U);
    EXPECT_NE(BoxTexts()[0].find(u"Template100]"), std::u16string::npos);
    EXPECT_NE(BoxTexts()[0].find(u", line "), std::u16string::npos);
    Select({"DeviceTemplate", "VTC-4100"});
    Click(kAdd);
    EXPECT_EQ(BoxTexts().size(), 2U) << "Add says why it adds nothing";
    EXPECT_EQ(folder_.Read(kVtc4100Script), before);
    EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTC4100, 3), 0x07);
}

}  // namespace
