// The framework's file class: its members on a real file, the exceptions it
// raises, and that it never keeps a handle it should not.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/framework/file.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/faults.h"
#include "tests/support/scratch_folder.h"

namespace {

using Operation = vtfw::FileException::Operation;

class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vtsim::DisarmAllFaults();
        handlesBefore_ = vtsim::GetLiveCounts().handles;
        folder_.Write("a.reg", "0123456789");
        path_ = folder_.TargetPath("a.reg");
    }
    void TearDown() override
    {
        vtsim::DisarmAllFaults();
        EXPECT_EQ(vtsim::GetLiveCounts().handles, handlesBefore_) << "a handle was left open";
    }

    // Runs action, which must raise; returns what it raised.
    template <class Action>
    static vtfw::FileException Raised(Action action)
    {
        try {
            action();
        } catch (const vtfw::FileException& e) {
            return e;
        }
        ADD_FAILURE() << "nothing raised";
        return vtfw::FileException(Operation::Length, 0);
    }

    test_support::ScratchFolder folder_;
    std::u16string path_;
    std::size_t handlesBefore_ = 0;
};

TEST_F(FileTest, ReadsWritesSeeksAndSetsTheLength)
{
    vtfw::File file;
    ASSERT_EQ(file.OpenForReadWrite(path_.c_str()), ERROR_SUCCESS);
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Length(), 10u);

    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(file.Seek(-3, FILE_END), 7u);
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 3u) << "fewer at the end";
    EXPECT_EQ(file.SeekToEnd(), 10u);
    file.Write("ab", 2);
    file.SeekToBegin();
    file.Write("X", 1);
    EXPECT_EQ(folder_.Read("a.reg"), "X123456789ab");

    file.SetLength(5);
    EXPECT_EQ(file.Seek(0, FILE_CURRENT), 5u) << "the position is the new end";
    file.Write("!", 1);
    file.SetLength(8);
    EXPECT_EQ(folder_.Read("a.reg"), std::string("X1234!\0\0", 8));
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    file.Close();  // a second close does nothing
}

TEST_F(FileTest, FailuresAreRaisedWithTheirOperationAndCode)
{
    vtfw::File file;
    EXPECT_EQ(file.OpenForReadWrite(folder_.TargetPath("none.reg").c_str()), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(file.IsOpen());
    char buffer[4];
    auto closed = Raised([&] { file.Read(buffer, 1); });
    EXPECT_EQ(closed.operation(), Operation::Read);
    EXPECT_EQ(closed.Error(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(Raised([&] { file.Length(); }).operation(), Operation::Length);
    EXPECT_EQ(Raised([&] { file.SetLength(0); }).Error(), ERROR_INVALID_HANDLE);

    ASSERT_EQ(file.OpenForReadWrite(path_.c_str()), ERROR_SUCCESS);
    file.Seek(4, FILE_BEGIN);
    auto seek = Raised([&] { file.Seek(-5, FILE_CURRENT); });
    EXPECT_EQ(seek.operation(), Operation::Seek);
    EXPECT_EQ(seek.Error(), ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(file.Seek(0, FILE_CURRENT), 4u) << "the position stays";

    vtsim::ArmFault(vtsim::Fault::FileWrite, 1);
    auto write = Raised([&] { file.Write("xy", 2); });
    EXPECT_EQ(write.operation(), Operation::Write);
    EXPECT_EQ(write.Error(), ERROR_DISK_FULL);
    EXPECT_STREQ(write.what(), "file write failed, error 112");
    vtsim::ArmFault(vtsim::Fault::FileRead, 1);
    EXPECT_EQ(Raised([&] { file.Read(buffer, 2); }).Error(), ERROR_READ_FAULT);
    EXPECT_EQ(folder_.Read("a.reg"), "0123456789");
}

TEST_F(FileTest, HandlesAreReleased)
{
    {
        vtfw::File file;
        ASSERT_EQ(file.OpenForReadWrite(path_.c_str()), ERROR_SUCCESS);
        EXPECT_EQ(vtsim::GetLiveCounts().handles, handlesBefore_ + 1);
        // Opening again closes the first file.
        ASSERT_EQ(file.OpenForReadWrite(path_.c_str()), ERROR_SUCCESS);
        EXPECT_EQ(vtsim::GetLiveCounts().handles, handlesBefore_ + 1);
        // A failed open leaves nothing open, not even the earlier file.
        EXPECT_EQ(file.OpenForReadWrite(u"T:\\missing\\a.reg"), ERROR_PATH_NOT_FOUND);
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(vtsim::GetLiveCounts().handles, handlesBefore_);
        ASSERT_EQ(file.OpenForReadWrite(path_.c_str()), ERROR_SUCCESS);
    }  // the destructor closes
    EXPECT_EQ(vtsim::GetLiveCounts().handles, handlesBefore_);
}

}  // namespace
