// vtcfg run as a program: a platform tree laid out by 'init', the editor
// driven by scripts and by the shell's lines, observed in its output, the
// script file and the pictures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/tools/program_runner.h"

namespace {

using vttest::ProgramResult;
using vttest::RunProgram;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Vtcfg : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ProgramResult init = RunProgram(VTCFG_PATH, {"init", tree_});
        ASSERT_EQ(init.exitCode, 0) << init.err;
    }

    ProgramResult Run(const std::string& script, std::vector<std::string> options = {}) const
    {
        std::vector<std::string> args{"run", "--root", tree_};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(dir_.Write("edit.vtcfg", script));
        return RunProgram(VTCFG_PATH, args);
    }
    std::string Vtc4100Script() const
    {
        return ReadFile(tree_ + "/Public/Korvel/Device_Drivers/VTC4100/VTC4100.reg");
    }

    vttest::TempDir dir_;
    std::string tree_ = dir_.path() + "/tree";
};

TEST_F(Vtcfg, InitLaysOutTheTreeAndKeepsEditedScripts)
{
    EXPECT_EQ(ReadFile(tree_ + "/Public/Korvel/Device_Drivers/VTC4100/VTC4100.reg"),
              ReadFile(std::string(PACKAGES_DIR) + "/VTC4100.reg"));
    EXPECT_TRUE(
        std::filesystem::exists(tree_ + "/Public/Korvel/Device_Drivers/VTM6200K/VTM6200K.reg"));
    EXPECT_TRUE(std::filesystem::exists(tree_ + "/Platform/platform.reg"));
    dir_.Write("tree/Platform/platform.reg", "; edited\r\n");
    const ProgramResult again = RunProgram(VTCFG_PATH, {"init", tree_});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(ReadFile(tree_ + "/Platform/platform.reg"), "; edited\r\n");
    EXPECT_EQ(RunProgram(VTCFG_PATH, {"init", "--replace", tree_}).exitCode, 0);
    EXPECT_NE(ReadFile(tree_ + "/Platform/platform.reg"), "; edited\r\n");
}

TEST_F(Vtcfg, ScriptEditsSavesAndShowsTheEditor)
{
    const ProgramResult result =
        Run("select VTC-4100 Template1\n"
            "switchid 7\n"
            "tab DI\n"
            "edge 3 falling\n"
            "show\n"
            "save\n"
            "close\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("editor open on "), std::string::npos);
    EXPECT_NE(result.out.find(">     Template1"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("page DI: Bit0 rising, Bit1 rising, Bit2 rising, Bit3 falling"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("the editor is closed"), std::string::npos);
    const std::string script = Vtc4100Script();
    EXPECT_NE(
        script.find("RLX4100S\\Template1]\r\n\"SwitchID\"=dword:7\r\n\"TriggerMode\"=dword:8\r\n"),
        std::string::npos)
        << script;
}

TEST_F(Vtcfg, PromptsArePrintedWithTheirAnswers)
{
    const std::string before = Vtc4100Script();
    const ProgramResult result = Run("select VTC-4100E\nadd\nanswer cancel\nclose\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("message \"Note\": The configuration of device is change, save the "
                              "change [OK, Cancel] -> Cancel"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(Vtc4100Script(), before);
}

TEST_F(Vtcfg, EditorLeftOpenAtTheEndDropsItsChanges)
{
    const std::string before = Vtc4100Script();
    const ProgramResult result = Run("select VTC-4100\nadd\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("VTM-6200K is change, save the change [OK, Cancel] -> Cancel"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(Vtc4100Script(), before);
}

TEST_F(Vtcfg, PictureIsWrittenAtAnyStep)
{
    const std::string png = dir_.path() + "/editor.png";
    const ProgramResult result = Run("select VTC-4100E Template0\npicture " + png + "\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadFile(png).substr(1, 3), "PNG");
}

// The states file gives the template's own dialog units back from the
// headless pixels, and compare-states tells two files apart by what differs.
TEST_F(Vtcfg, StatesAreWrittenInDialogUnitsAndCompared)
{
    const std::string device = dir_.path() + "/device.txt";
    const std::string di = dir_.path() + "/di.txt";
    const ProgramResult result = Run("select VTC-4100 Template0\nstates " + device +
                                     "\ntab DI\nedge 1 falling\nstates " + di + "\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string states = ReadFile(device);
    // The editor, then its controls at their template positions; the
    // Device page's controls in the page's own units.
    EXPECT_EQ(states.rfind("#32770 id=0 \"VTC-4100/E/VTM-6200K device setting templates\" at 0,0 "
                           "size 346,254 visible enabled\n",
                           0),
              0u)
        << states;
    EXPECT_NE(states.find("\n  Button id=104 \"Add\" at 150,233 size 44,13 visible enabled\n"),
              std::string::npos)
        << states;
    EXPECT_NE(states.find("  Button id=1006 \"Save\" at 242,233 size 44,13 visible disabled "
                          "default\n"),
              std::string::npos)
        << states;
    EXPECT_NE(states.find("sel=\"DeviceTemplate/VTC-4100/Template0\""), std::string::npos);
    EXPECT_NE(states.find("    ComboBox id=1002 \"\" at 182,181 "), std::string::npos) << states;
    EXPECT_NE(states.find(" sel=\"1\"\n"), std::string::npos) << states;
    EXPECT_NE(states.find("\"\\n*16 Isolated Digital Input channel\\n*16"), std::string::npos)
        << states;

    const ProgramResult same = RunProgram(VTCFG_PATH, {"compare-states", device, device});
    EXPECT_EQ(same.exitCode, 0);
    EXPECT_EQ(same.out, "");
    const ProgramResult differ = RunProgram(VTCFG_PATH, {"compare-states", device, di});
    EXPECT_EQ(differ.exitCode, 1);
    EXPECT_NE(differ.out.find("SysTabControl32 id=101 \"Tab1\": selection \"Device\" but \"DI\""),
              std::string::npos)
        << differ.out;
    EXPECT_NE(differ.out.find("visible but hidden"), std::string::npos) << differ.out;
    dir_.Write("broken.txt", "Button at nowhere\n");
    EXPECT_EQ(
        RunProgram(VTCFG_PATH, {"compare-states", device, dir_.path() + "/broken.txt"}).exitCode,
        2);
}

TEST_F(Vtcfg, FailingCommandStopsTheScriptWithItsLine)
{
    const ProgramResult result = Run("select VTC-4100\nsave\nshow\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("error: Save: "), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("edit.vtcfg:2: the command failed"), std::string::npos);
    EXPECT_EQ(result.out.find("tree:"), std::string::npos) << "show did not run";

    const ProgramResult going =
        Run("select Nowhere\nselect VTC-4100 Template0\nshow\n", {"--keep-going"});
    EXPECT_EQ(going.exitCode, 1);
    EXPECT_NE(going.out.find("page Device: model VTC-4100, SwitchID 1"), std::string::npos)
        << going.out;
    EXPECT_EQ(Run("switchid 16\n").exitCode, 2);
    EXPECT_EQ(Run("frobnicate\n").exitCode, 2);
}

TEST_F(Vtcfg, LibraryNameChoosesTheScriptAndAnUnknownOneIsRefused)
{
    const ProgramResult vtm =
        Run("select VTM-6200K Template0\nshow\n", {"--as", "VTM6200KCfg.dll"});
    ASSERT_EQ(vtm.exitCode, 0) << vtm.err;
    EXPECT_NE(vtm.out.find("Device_Drivers/VTM6200K/VTM6200K.reg"), std::string::npos) << vtm.out;
    const ProgramResult unknown = Run("show\n", {"--as", "Nothing.dll"});
    EXPECT_EQ(unknown.exitCode, 3);
    EXPECT_NE(unknown.err.find("Nothing.dll: the library does not load"), std::string::npos);
}

TEST_F(Vtcfg, ShellReadsCommandsFromItsInput)
{
    const ProgramResult result =
        RunProgram(VTCFG_PATH, {"shell", "--root", tree_},
                   "select VTC-4100 Template0\nswitchid 3\nshow\nquit\nshow\n");
    EXPECT_NE(result.out.find("message \"VTC4100Cfg\": SwitchID already used! [OK] -> OK"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("SwitchID 1"), std::string::npos);
    EXPECT_EQ(result.out.find("tree:", result.out.find("tree:") + 1), std::string::npos)
        << "nothing runs after quit";
}

// The round trip through the tools: vtcfg saves a template, vtsim boots
// from the tree and shows the matching board's trigger-edge register.
TEST_F(Vtcfg, TargetBootsFromTheEditedTree)
{
    const std::string machine = dir_.Write("machine.toml", R"(
[[board]]
model = "VTC-4100"
slot = 4
switch = 12
io_base = 0xD000
irq = 7
)");
    auto trigger = [&] {
        const ProgramResult shown =
            RunProgram(VTSIM_PATH, {"--tree", tree_, "--machine", machine, "registers"});
        EXPECT_EQ(shown.exitCode, 0) << shown.err;
        const std::size_t at = shown.out.find("trigger ");
        return at == std::string::npos ? std::string("none") : shown.out.substr(at + 8, 2);
    };
    EXPECT_EQ(trigger(), "00") << "no template selects switch 12 yet";
    const ProgramResult edited =
        Run("select VTC-4100\nadd\nswitchid 12\ntab DI\n"
            "edge 2 falling\nedge 3 falling\nsave\nclose\n");
    ASSERT_EQ(edited.exitCode, 0) << edited.err;
    EXPECT_EQ(trigger(), "0C");

    const ProgramResult missing =
        RunProgram(VTSIM_PATH, {"--tree", dir_.path() + "/nowhere", "registers"});
    EXPECT_EQ(missing.exitCode, 4);  // a file option that cannot be used
    EXPECT_NE(missing.err.find(dir_.path() + "/nowhere: no such file or directory"),
              std::string::npos)
        << missing.err;
}

}  // namespace
