// Booting from a platform tree (--tree): every script of the tree is
// checked before the boot, a package folder without its script included,
// and what was edited in the tree reaches the boards also over a kept hive.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/tools/tool_fixture.h"

namespace {

using vttest::ProgramResult;
using vttest::RunProgram;
namespace fs = std::filesystem;

// kTwoBoards: device 0 is a VTC-4100 on switch 1 (template mode 5), device
// 1 a VTM-6200K on switch 3 (template mode 1).
class TreeBootTest : public vttest::ToolFixture {
protected:
    TreeBootTest() : ToolFixture(vttest::kTwoBoards)
    {
        tree_ = dir_.path() + "/tree";
        fs::create_directories(tree_ + "/Platform");
        fs::copy_file(VT_TEST_SOURCE_DIR "/platform/image/platform.reg",
                      tree_ + "/Platform/platform.reg");
        for (const char* package : {"VTC4100", "VTM6200K"}) {
            const std::string folder = Drivers() + package;
            fs::create_directories(folder);
            fs::copy_file(std::string(PACKAGES_DIR) + "/" + package + ".reg",
                          folder + "/" + package + ".reg");
        }
    }

    std::string Drivers() const
    {
        return tree_ + "/Public/Korvel/Device_Drivers/";
    }
    std::string VtcScript() const
    {
        return Drivers() + "VTC4100/VTC4100.reg";
    }

    // The trigger-edge register of a device, read through the library.
    std::string TriggerRegister(const std::vector<std::string>& options, const char* device,
                                std::string* err = nullptr)
    {
        std::vector<std::string> args = options;
        args.insert(args.end(), {"reg", "read", device, "+0x0c"});
        const ProgramResult r = Vtdio(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        if (err != nullptr) {
            *err = r.err;
        }
        return r.out;
    }

    std::string tree_;
};

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Each bad part of a tree: exit 4 and one line naming the file with the
// system's reason, from vtdio and vtsim alike, before anything boots.
TEST_F(TreeBootTest, ABadScriptOrAPackageWithoutItsScriptIsRefusedInOneLine)
{
    ASSERT_EQ(Vtdio({"--tree", tree_, "list"}).exitCode, 0);
    const std::string vtm = Drivers() + "VTM6200K/VTM6200K.reg";
    auto expectRefused = [&](const std::string& path, const std::string& reason) {
        for (const std::string& tool : {std::string(VTDIO_PATH), std::string(VTSIM_PATH)}) {
            const ProgramResult r = RunProgram(tool, {"--machine", machine_, "--tree", tree_,
                                                      tool == VTDIO_PATH ? "list" : "boards"});
            EXPECT_EQ(r.exitCode, 4) << tool << ": " << r.err;
            EXPECT_EQ(r.err, "error: " + path + ": " + reason + "\n") << tool;
            EXPECT_EQ(r.out, "") << tool;
        }
    };

    fs::rename(vtm, dir_.path() + "/aside.reg");
    expectRefused(vtm, "no such file or directory");
    fs::create_directory(vtm);
    expectRefused(vtm, "is a directory");
    fs::remove(vtm);
    ASSERT_EQ(::mkfifo(vtm.c_str(), 0600), 0);  // a read would block for ever
    expectRefused(vtm, "not a regular file");
    fs::remove(vtm);
    fs::rename(dir_.path() + "/aside.reg", vtm);

    fs::rename(tree_ + "/Public", dir_.path() + "/Public");
    expectRefused(Drivers().substr(0, Drivers().size() - 1), "no such file or directory");
    fs::rename(dir_.path() + "/Public", tree_ + "/Public");
    fs::remove(tree_ + "/Platform/platform.reg");
    expectRefused(tree_ + "/Platform/platform.reg", "no such file or directory");
}

// An edit of a template in the tree reaches the board over a kept hive
// (whose device entries would otherwise keep the old edges), once; edges
// stored by the device setting dialog stay while their template is
// unchanged, and a device whose template did not change keeps its own.
TEST_F(TreeBootTest, AnEditedTemplateReachesItsBoardOverAKeptHive)
{
    const std::vector<std::string> options = {"--tree", tree_, "--hive", dir_.path() + "/h.hive"};
    EXPECT_EQ(TriggerRegister(options, "0"), "0x05\n");

    std::string script = Contents(VtcScript());
    const std::size_t at = script.find("\"TriggerMode\"=dword:5");
    ASSERT_NE(at, std::string::npos);
    script.replace(at, 21, "\"TriggerMode\"=dword:a");
    std::ofstream(VtcScript(), std::ios::binary) << script;

    std::string err;
    EXPECT_EQ(TriggerRegister(options, "0", &err), "0x0a\n");
    EXPECT_EQ(err,
              "note: device 0 (VTC-4100, switch 1): trigger mode 0x0a of its changed template, "
              "was 0x05 in the kept hive\n");
    EXPECT_EQ(TriggerRegister(options, "1", &err), "0x01\n");
    EXPECT_EQ(err, "") << "the template of device 1 did not change";

    // The dialog's choice over the same tree: kept, with no note.
    std::vector<std::string> config = options;
    config.insert(config.end(), {"config", "0", "--rising", "1,3"});
    const ProgramResult dialog = Vtdio(config);
    ASSERT_EQ(dialog.exitCode, 0) << dialog.err;
    EXPECT_EQ(TriggerRegister(options, "0", &err), "0x00\n");
    EXPECT_EQ(err, "");
}

}  // namespace
