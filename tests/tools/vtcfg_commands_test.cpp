// vtcfg's script lines and window-state files, which the host's vtcfg and
// vtcfg.exe on Windows share: a line means the same command to both, and a
// state file reads back as written, so that the comparison of the two sides
// compares the windows and nothing else.
#include <gtest/gtest.h>

#include "tools/vtcfg/commands.h"
#include "tools/vtcfg/control_states.h"

namespace vtcfg {
namespace {

Command Parsed(const std::string& line)
{
    Command command;
    std::string error;
    EXPECT_EQ(ParseCommand(line, &command, &error), ParseResult::Command) << line << ": " << error;
    return command;
}

std::string Refused(const std::string& line)
{
    Command command;
    std::string error;
    EXPECT_EQ(ParseCommand(line, &command, &error), ParseResult::Usage) << line;
    return error;
}

TEST(VtcfgCommands, ClicksNameTheControlThatAPersonClicks)
{
    EXPECT_EQ(Parsed("add").number, kAddButton);
    EXPECT_EQ(Parsed("remove").number, kRemoveButton);
    EXPECT_EQ(Parsed("save").number, kSaveButton);
    EXPECT_EQ(Parsed("close").number, kCloseButton);
    // Each input has a rising and a falling button, in that order.
    EXPECT_EQ(Parsed("edge 0 rising").number, kEdgeFirst);
    EXPECT_EQ(Parsed("edge 3 falling").number, kEdgeFirst + 7);
    EXPECT_EQ(Parsed("edge 3 falling").words, std::vector<std::string>{"Bit3 falling"});
    EXPECT_EQ(Parsed("switchid 0x0f").number, 15);
    EXPECT_EQ(Parsed("answer cancel").number, 2);
    const Command select = Parsed("select \"VTC-4100\" Template2  # the second");
    EXPECT_EQ(select.kind, CommandKind::Select);
    EXPECT_EQ(select.words, (std::vector<std::string>{"VTC-4100", "Template2"}));
}

TEST(VtcfgCommands, BlankLinesAndCommentsDoNothingAndBadLinesSayWhy)
{
    Command command;
    std::string error;
    EXPECT_EQ(ParseCommand("   # a comment", &command, &error), ParseResult::Empty);
    EXPECT_EQ(ParseCommand("", &command, &error), ParseResult::Empty);
    EXPECT_EQ(Refused("switchid 16"), "switchid takes 0 to 15");
    EXPECT_EQ(Refused("edge 4 rising"), "edge takes an input bit 0 to 3");
    EXPECT_NE(Refused("edge 1 sideways").find("wrong arguments: edge"), std::string::npos);
    EXPECT_NE(Refused("add 1").find("wrong arguments: add"), std::string::npos);
    EXPECT_NE(Refused("select \"open").find("unterminated"), std::string::npos);
    EXPECT_NE(Refused("states").find("wrong arguments"), std::string::npos);
}

TEST(VtcfgCommands, ATreePathIsFoundFromTheTopOrFromAnyNode)
{
    const std::vector<std::pair<int, std::string>> items = {
        {0, "DeviceTemplate"}, {1, "VTM-6200K"}, {1, "VTC-4100"}, {2, "Template0"},
        {2, "Template2"},      {1, "VTC-4100E"}, {2, "Template0"}};
    std::vector<std::string> path;
    ASSERT_TRUE(FindTreePath(items, {"VTC-4100E", "Template0"}, &path));
    EXPECT_EQ(path, (std::vector<std::string>{"DeviceTemplate", "VTC-4100E", "Template0"}));
    ASSERT_TRUE(FindTreePath(items, {"Template0"}, &path));  // the first in display order
    EXPECT_EQ(path[1], "VTC-4100");
    EXPECT_FALSE(FindTreePath(items, {"VTM-6200K", "Template0"}, &path));
}

std::vector<ControlState> SampleStates()
{
    ControlState editor;
    editor.className = "#32770";
    editor.width = 346;
    editor.height = 254;
    editor.visible = editor.enabled = true;
    ControlState features;
    features.depth = 1;
    features.className = "Static";
    features.id = 1004;
    features.text = "*16 channels\r\n\"quoted\" \\ end";
    features.x = 13;
    features.y = 104;
    features.enabled = true;
    ControlState radio = features;
    radio.className = "Button";
    radio.id = 2101;
    radio.text = "";
    radio.checked = true;
    radio.visible = true;
    ControlState tree = radio;
    tree.className = "SysTreeView32";
    tree.checked = false;
    tree.selection = "DeviceTemplate/VTC-4100/Template2";
    ControlState save = radio;
    save.id = 1006;
    save.text = "Save";
    save.checked = false;
    save.isDefault = true;
    return {editor, features, radio, tree, save};
}

// Pixels go back to dialog units by each system's own base units: 600
// pixels per 400 units is the host's 6-pixel x unit, 650 its 13-pixel y.
TEST(VtcfgControlStates, PixelsRoundToTheNearestDialogUnitOnBothSidesOfZero)
{
    EXPECT_EQ(PixelsToDialogUnits(225, 600), 150);  // the Add button's x
    EXPECT_EQ(PixelsToDialogUnits(21, 650), 13);    // 12.92 units high
    EXPECT_EQ(PixelsToDialogUnits(-21, 650), -13);  // a control left of its parent
    EXPECT_EQ(PixelsToDialogUnits(3, 600), 2);      // 2.0
    EXPECT_EQ(PixelsToDialogUnits(1, 600), 1);      // 0.67
    EXPECT_EQ(PixelsToDialogUnits(5, 0), 0);        // no base units: no answer
}

TEST(VtcfgControlStates, AFileReadsBackAsWritten)
{
    const std::vector<ControlState> states = SampleStates();
    const std::string text = FormatControlStates(states);
    EXPECT_EQ(text.find('\r'), std::string::npos);  // one line per window
    std::vector<ControlState> back;
    std::string error;
    ASSERT_TRUE(ParseControlStates(text, &back, &error)) << error;
    EXPECT_EQ(FormatControlStates(back), text);
    EXPECT_EQ(back[1].text, states[1].text);
    EXPECT_EQ(back[3].selection, states[3].selection);
    EXPECT_TRUE(back[2].checked);
    EXPECT_TRUE(back[4].isDefault);
    EXPECT_FALSE(
        ParseControlStates("Button id=3 \"open at 1,2 size 3,4 visible enabled\n", &back, &error));
    EXPECT_EQ(error, "line 1: not a window's state");
}

TEST(VtcfgControlStates, TheComparisonReportsWhatAPersonWouldNotice)
{
    const std::vector<ControlState> expected = SampleStates();
    EXPECT_EQ(CompareControlStates(expected, expected, 2), "");

    std::vector<ControlState> actual = expected;
    actual[2].checked = false;
    actual[2].enabled = false;
    actual[3].selection = "DeviceTemplate/VTC-4100";
    actual[4].isDefault = false;
    actual[1].y += 3;  // 104 and 107: within 2 units and a tenth
    EXPECT_EQ(CompareControlStates(expected, actual, 2),
              "window 3 Button id=2101 \"\": enabled but disabled\n"
              "window 3 Button id=2101 \"\": checked but not\n"
              "window 4 SysTreeView32 id=2101 \"\": selection "
              "\"DeviceTemplate/VTC-4100/Template2\" but \"DeviceTemplate/VTC-4100\"\n"
              "window 5 Button id=1006 \"Save\": the default button but not\n");

    actual = expected;
    actual[1].x = 40;  // misplaced
    EXPECT_NE(CompareControlStates(expected, actual, 2).find("at 13,104 but 40,104"),
              std::string::npos);

    actual = expected;
    actual.erase(actual.begin() + 2);  // a control missing: the rest no longer lines up
    const std::string missing = CompareControlStates(expected, actual, 2);
    EXPECT_NE(missing.find("window 3: Button id=2101"), std::string::npos) << missing;
}

}  // namespace
}  // namespace vtcfg
