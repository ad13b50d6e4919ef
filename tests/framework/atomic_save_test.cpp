// Saving a file all or nothing: the bytes, the file's permissions and a link
// to it kept, and every failing step leaving the old bytes and no temporary.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <filesystem>
#include <string>

#include "platform/framework/file.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/faults.h"
#include "platform/kernel.h"
#include "tests/support/scratch_folder.h"

namespace {

using Operation = vtfw::FileException::Operation;
namespace fs = std::filesystem;

class AtomicSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        vtsim::DisarmAllFaults();
        handlesBefore_ = vtsim::GetLiveCounts().handles;
        folder_.Write("pkg/a.reg", "old text");
    }
    void TearDown() override
    {
        vtsim::DisarmAllFaults();
        EXPECT_EQ(vtsim::GetLiveCounts().handles, handlesBefore_) << "a handle was left open";
    }
    bool Save(const std::string& relative, const std::string& bytes, vtfw::FileException* failure)
    {
        const std::u16string path = folder_.TargetPath(relative);
        return vtfw::SaveFileAtomically(path.c_str(), bytes.data(), bytes.size(), failure);
    }
    bool NoTemporaryIn(const std::string& relativeFolder) const
    {
        for (const auto& entry : fs::directory_iterator(folder_.HostPath(relativeFolder))) {
            if (entry.path().filename().string().find(".save.tmp") != std::string::npos) {
                return false;
            }
        }
        return true;
    }

    test_support::ScratchFolder folder_;
    std::size_t handlesBefore_ = 0;
    vtfw::FileException failure_{Operation::Write, 0};
};

TEST_F(AtomicSave, ReplacesTheBytesKeepsThePermissionsAndRemovesALeftOverTemporary)
{
    const std::string big(300 * 1024 + 7, 'x');  // several pieces
    fs::permissions(folder_.HostPath("pkg/a.reg"), fs::perms(0640));
    folder_.Write("pkg/a.reg.save.tmp", "left by a killed save");
    ASSERT_TRUE(Save("pkg/a.reg", big, &failure_));
    EXPECT_EQ(folder_.Read("pkg/a.reg"), big);
    EXPECT_EQ(fs::status(folder_.HostPath("pkg/a.reg")).permissions(), fs::perms(0640));
    EXPECT_TRUE(NoTemporaryIn("pkg"));
}

TEST_F(AtomicSave, ThroughALinkTheTargetIsReplacedInItsOwnFolderAndTheLinkStays)
{
    fs::create_directories(folder_.HostPath("links"));
    fs::create_symlink(folder_.HostPath("pkg/a.reg"), folder_.HostPath("links/a.reg"));
    ASSERT_TRUE(Save("links/a.reg", "new text", &failure_));
    EXPECT_TRUE(fs::is_symlink(folder_.HostPath("links/a.reg")));
    EXPECT_EQ(folder_.Read("pkg/a.reg"), "new text");
    EXPECT_TRUE(NoTemporaryIn("pkg"));
    EXPECT_TRUE(NoTemporaryIn("links"));
}

TEST_F(AtomicSave, EveryFailingStepLeavesTheOldBytesAndNoTemporary)
{
    const std::string big(200 * 1024, 'y');
    const struct {
        vtsim::Fault fault;
        unsigned nth;
        Operation operation;
        DWORD error;
    } steps[] = {
        {vtsim::Fault::FileWrite, 1, Operation::Write, ERROR_DISK_FULL},
        {vtsim::Fault::FileWrite, 3, Operation::Write, ERROR_DISK_FULL},
        {vtsim::Fault::FileWrite, 4, Operation::Write, ERROR_DISK_FULL},
        {vtsim::Fault::FileFlush, 1, Operation::Flush, ERROR_WRITE_FAULT},
        {vtsim::Fault::FileReplace, 1, Operation::Replace, ERROR_UNABLE_TO_MOVE_REPLACEMENT},
    };
    for (const auto& step : steps) {
        vtsim::ArmFault(step.fault, step.nth);
        EXPECT_FALSE(Save("pkg/a.reg", big, &failure_));
        EXPECT_EQ(failure_.operation(), step.operation);
        EXPECT_EQ(failure_.Error(), step.error);
        EXPECT_EQ(folder_.Read("pkg/a.reg"), "old text");
        EXPECT_TRUE(NoTemporaryIn("pkg"));
        vtsim::DisarmAllFaults();
    }
    // A missing file, a folder and a FIFO are refused before anything is made.
    EXPECT_FALSE(Save("pkg/none.reg", "x", &failure_));
    EXPECT_EQ(failure_.operation(), Operation::Open);
    EXPECT_EQ(failure_.Error(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(Save("pkg", "x", &failure_));
    EXPECT_EQ(failure_.Error(), ERROR_ACCESS_DENIED);
    ASSERT_EQ(mkfifo(folder_.HostPath("pkg/fifo.reg").c_str(), 0600), 0);
    EXPECT_FALSE(Save("pkg/fifo.reg", "x", &failure_));
    EXPECT_EQ(failure_.Error(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(NoTemporaryIn("pkg"));
}

TEST_F(AtomicSave, TheSystemWordsItsReasons)
{
    WCHAR text[128];
    ASSERT_GT(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             ERROR_DISK_FULL, 0, text, 128, nullptr),
              0u);
    EXPECT_EQ(std::u16string(text), u"There is not enough space on the disk.\r\n");
    EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             ERROR_DISK_FULL, 0, text, 10, nullptr),
              0u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             0x7777, 0, text, 128, nullptr),
              0u);
}

}  // namespace
