// vtdio config: the driver library's device setting dialog on the simulated
// target, one-shot and step by step in a session, observed in what the
// tool prints of the registry and the board's register.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/tools/tool_fixture.h"

namespace {

using vttest::ProgramResult;

// kTwoBoards: device 0 is a VTC-4100 with trigger mode 5, device 1 a
// VTM-6200K with trigger mode 1.
class VtdioConfigTest : public vttest::ToolFixture {
protected:
    VtdioConfigTest() : ToolFixture(vttest::kTwoBoards) {}

    ProgramResult Run(const std::string& script)
    {
        return Vtdio({"run", dir_.Write("script.txt", script), "--keep-going"});
    }
};

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST_F(VtdioConfigTest, ClicksTheEdgesGivenThenOkStoresAndWritesThem)
{
    const std::string picture = dir_.path() + "/dialog.png";
    const ProgramResult r =
        Vtdio({"config", "0", "--rising", "0,2", "--falling", "1,3", "--picture", picture});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "confirmed\n"
              "registry TriggerMode: 0x0a (bit0 rising, bit1 falling, bit2 rising, bit3 "
              "falling)\n"
              "board trigger register: 0x0a\n");
    // Alone, without a hive, the change ends with the run: it says so, as
    // readback does; with a hive it stays, and nothing is said.
    EXPECT_TRUE(Contains(r.err,
                         "note: config runs on a target booted for this command alone: "
                         "the edges stored in its registry are gone when vtdio ends"))
        << r.err;
    const std::string hive = dir_.path() + "/config.hive";
    const ProgramResult kept = Vtdio({"--hive", hive, "config", "0", "--rising", "0"});
    ASSERT_EQ(kept.exitCode, 0) << kept.err;
    EXPECT_EQ(kept.err, "");
    EXPECT_TRUE(Contains(Vtdio({"--hive", hive, "reg", "read", "0", "+0x0c"}).out, "0x04"));
    std::ifstream png(picture, std::ios::binary);
    char signature[4] = {};
    png.read(signature, 4);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");

    // Without clicks OK confirms the stored edges: bits the VTM-6200K lacks
    // stay 0.
    const ProgramResult vtm = Vtdio({"config", "1"});
    ASSERT_EQ(vtm.exitCode, 0) << vtm.err;
    EXPECT_TRUE(Contains(vtm.out, "registry TriggerMode: 0x01 (bit0 falling, bit1 rising)\n"))
        << vtm.out;
    EXPECT_TRUE(Contains(vtm.out, "board trigger register: 0x01\n")) << vtm.out;
}

TEST_F(VtdioConfigTest, CancelAndRefusedClicksWriteNothing)
{
    ProgramResult r = Vtdio({"config", "0", "--falling", "0,1,2,3", "--cancel"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "") << "nothing stored, nothing to lose";
    EXPECT_TRUE(Contains(r.out, "cancelled: nothing written\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "registry TriggerMode: 0x05")) << r.out;
    EXPECT_TRUE(Contains(r.out, "board trigger register: 0x05")) << r.out;

    // The VTM-6200K's Bit2 buttons are disabled: the dialog is cancelled.
    r = Vtdio({"config", "1", "--rising", "0", "--falling", "2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "bit 2 cannot interrupt on this board")) << r.err;
    EXPECT_FALSE(Contains(r.out, "confirmed")) << r.out;

    r = Vtdio({"config", "7"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "device 7 has no readable registry entry")) << r.err;

    EXPECT_EQ(Vtdio({"config", "0", "--rising", "4"}).exitCode, 2);
    EXPECT_EQ(Vtdio({"config", "0", "--rising", "1", "--falling", "0,1"}).exitCode, 2);
    EXPECT_EQ(Vtdio({"config", "0", "--rising", "1,,2"}).exitCode, 2);
    // A repeated option in the tool's own words, with the way to list bits.
    r = Vtdio({"config", "0", "--rising", "0", "--rising", "2"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
              "error: --rising can be given once only, not 2 times: input bits to set to the "
              "rising edge, e.g. 0,2")
        << r.err;
}

TEST_F(VtdioConfigTest, ASessionDrivesTheDialogStepByStep)
{
    const std::string picture = dir_.path() + "/step.png";
    const ProgramResult r =
        Run("config 0\n"
            "rising 0\n"
            "click 1014\n"
            "dialog\n"
            "list\n"
            "picture " +
            picture +
            "\n"
            "ok\n"
            "reg read 0 +0x0c\n"
            "config 1\n"
            "click 1012\n"
            "click Cancel\n"
            "ok\n");
    EXPECT_EQ(r.out,
              "device setting dialog of device 0 open\n"
              "Bit0: falling\nBit1: rising\nBit2: falling\nBit3: rising\n"
              "Bit0: rising\nBit1: falling\nBit2: falling\nBit3: rising\n"
              "confirmed\n"
              "registry TriggerMode: 0x06 (bit0 rising, bit1 falling, bit2 falling, bit3 "
              "rising)\n"
              "board trigger register: 0x06\n"
              "0x06\n"
              "device setting dialog of device 1 open\n"
              "Bit0: falling\nBit1: rising\nBit2: disabled\nBit3: disabled\n"
              "cancelled: nothing written\n"
              "registry TriggerMode: 0x01 (bit0 falling, bit1 rising)\n"
              "board trigger register: 0x01\n");
    // Device commands wait until the dialog is closed; ok without a dialog
    // fails.
    EXPECT_TRUE(Contains(r.err, "script.txt:5: exit code 1")) << r.err;
    EXPECT_TRUE(Contains(r.err, "the device setting dialog is open")) << r.err;
    EXPECT_TRUE(Contains(r.err, "script.txt:12: exit code 1")) << r.err;
    EXPECT_TRUE(std::ifstream(picture).good());
}

TEST_F(VtdioConfigTest, ASessionEndingWithTheDialogOpenCancelsIt)
{
    const ProgramResult r = Run("config 0\nfalling 1\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const ProgramResult after = Vtdio({"reg", "read", "0", "+0x0c"});
    EXPECT_EQ(after.out, "0x05\n");
}

}  // namespace
