// The target's file calls on the host: CreateFileW for paths, ReadFile,
// WriteFile, SetFilePointer, SetEndOfFile, GetFileSize and CloseHandle, with
// the target's results and error codes, Windows-style paths and the drive
// map.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/file_io.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/faults.h"
#include "platform/host/control/files.h"
#include "platform/kernel.h"
#include "tests/support/scratch_folder.h"

namespace {

class FileIoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vtsim::DisarmAllFaults();
        handlesBefore_ = vtsim::GetLiveCounts().handles;
    }
    void TearDown() override
    {
        vtsim::DisarmAllFaults();
        EXPECT_EQ(vtsim::GetLiveCounts().handles, handlesBefore_) << "a handle was left open";
    }

    HANDLE Open(const std::string& relative, DWORD access = GENERIC_READ | GENERIC_WRITE,
                DWORD disposition = OPEN_EXISTING)
    {
        return CreateFileW(folder_.TargetPath(relative).c_str(), access, 0, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    // The error of an open that must fail.
    DWORD OpenError(const std::u16string& name, DWORD access = GENERIC_READ,
                    DWORD disposition = OPEN_EXISTING)
    {
        SetLastError(0);
        HANDLE file = CreateFileW(name.c_str(), access, 0, nullptr, disposition, 0, nullptr);
        EXPECT_EQ(file, INVALID_HANDLE_VALUE);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
        return GetLastError();
    }
    static std::string ReadAll(HANDLE file)
    {
        EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_BEGIN), 0u);
        char buffer[256];
        DWORD got = 0;
        EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr));
        return std::string(buffer, got);
    }
    static void Put(HANDLE file, const std::string& bytes)
    {
        DWORD put = 0;
        EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr));
        EXPECT_EQ(put, bytes.size());
    }

    test_support::ScratchFolder folder_;
    std::size_t handlesBefore_ = 0;
};

TEST_F(FileIoTest, ReadWriteSeekSizeAndCut)
{
    EXPECT_EQ(OpenError(folder_.TargetPath("sub/a.bin"), GENERIC_WRITE, CREATE_NEW),
              ERROR_PATH_NOT_FOUND)
        << "no folder sub yet";
    std::filesystem::create_directory(folder_.HostPath("sub"));
    HANDLE file = Open("sub/a.bin", GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_EQ(vtsim::GetLiveCounts().handles, handlesBefore_ + 1) << "files are kernel handles";

    Put(file, "hello world");
    DWORD high = 7;
    EXPECT_EQ(GetFileSize(file, &high), 11u);
    EXPECT_EQ(high, 0u);
    EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_END), 6u);
    EXPECT_EQ(SetFilePointer(file, 2, nullptr, FILE_CURRENT), 8u);
    char buffer[16] = {};
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "rld");
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr)) << "at the end";
    EXPECT_EQ(got, 0u);

    // Cut at the position, which stays; then extend with zero bytes.
    EXPECT_EQ(SetFilePointer(file, 5, nullptr, FILE_BEGIN), 5u);
    EXPECT_TRUE(SetEndOfFile(file));
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 5u);
    EXPECT_EQ(SetFilePointer(file, 8, nullptr, FILE_BEGIN), 8u);
    EXPECT_TRUE(SetEndOfFile(file));
    EXPECT_EQ(ReadAll(file), std::string("hello\0\0\0", 8));
    // A write past the end fills the gap with zero bytes.
    EXPECT_EQ(SetFilePointer(file, 10, nullptr, FILE_BEGIN), 10u);
    Put(file, "!");
    EXPECT_EQ(ReadAll(file), std::string("hello\0\0\0\0\0!", 11));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(folder_.Read("sub/a.bin"), std::string("hello\0\0\0\0\0!", 11));
}

TEST_F(FileIoTest, SeekFailuresLeaveThePosition)
{
    folder_.Write("a.bin", "0123456789");
    HANDLE file = Open("a.bin");
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SetFilePointer(file, 4, nullptr, FILE_BEGIN), 4u);

    EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, 3), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    // Without the high part the new position must fit in 32 bits.
    EXPECT_EQ(SetFilePointer(file, 0x7FFFFFFF, nullptr, FILE_BEGIN), 0x7FFFFFFFu);
    EXPECT_EQ(SetFilePointer(file, 0x7FFFFFFF, nullptr, FILE_CURRENT), 0xFFFFFFFEu);
    EXPECT_EQ(SetFilePointer(file, 2, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    // With it, 64-bit positions; the high half comes back.
    LONG high = 1;
    EXPECT_EQ(SetFilePointer(file, 5, &high, FILE_BEGIN), 5u);
    EXPECT_EQ(high, 1);
    high = 0;
    EXPECT_EQ(SetFilePointer(file, 0, &high, FILE_CURRENT), 5u);
    EXPECT_EQ(high, 1);
    EXPECT_EQ(GetLastError(), NO_ERROR);
    high = -1;
    EXPECT_EQ(SetFilePointer(file, -2, &high, FILE_END), 8u) << "a 64-bit -2 from the end";
    EXPECT_EQ(high, 0);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(folder_.Read("a.bin"), "0123456789") << "seeking changes no byte";
}

TEST_F(FileIoTest, CreationDispositions)
{
    folder_.Write("old.txt", "old");
    EXPECT_EQ(OpenError(folder_.TargetPath("old.txt"), GENERIC_WRITE, CREATE_NEW),
              ERROR_FILE_EXISTS);
    EXPECT_EQ(OpenError(folder_.TargetPath("none.txt"), GENERIC_READ, OPEN_EXISTING),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenError(folder_.TargetPath("old.txt"), GENERIC_READ, TRUNCATE_EXISTING),
              ERROR_INVALID_PARAMETER)
        << "truncating needs write access";
    EXPECT_EQ(OpenError(folder_.TargetPath("old.txt"), GENERIC_READ, 0), ERROR_INVALID_PARAMETER);

    HANDLE file = Open("old.txt", GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(ReadAll(file), "old");
    EXPECT_TRUE(CloseHandle(file));
    file = Open("old.txt", GENERIC_WRITE, CREATE_ALWAYS);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(GetFileSize(file, nullptr), 0u) << "emptied";
    EXPECT_TRUE(CloseHandle(file));
    file = Open("new.txt", GENERIC_WRITE, OPEN_ALWAYS);
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_TRUE(CloseHandle(file));
    folder_.Write("old.txt", "again");
    file = Open("old.txt", GENERIC_WRITE, TRUNCATE_EXISTING);
    EXPECT_EQ(GetFileSize(file, nullptr), 0u);
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(FileIoTest, AccessModesAreEnforced)
{
    folder_.Write("a.txt", "abc");
    char buffer[4];
    DWORD count = 9;
    HANDLE reader = Open("a.txt", GENERIC_READ);
    EXPECT_FALSE(WriteFile(reader, "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(SetEndOfFile(reader));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    HANDLE writer = Open("a.txt", GENERIC_WRITE);
    EXPECT_FALSE(ReadFile(writer, buffer, 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    // Two handles, two positions.
    Put(writer, "XY");
    EXPECT_TRUE(ReadFile(reader, buffer, 2, &count, nullptr));
    EXPECT_EQ(std::string(buffer, count), "XY");
    EXPECT_TRUE(ReadFile(reader, buffer, 2, &count, nullptr));
    EXPECT_EQ(std::string(buffer, count), "c");
    EXPECT_TRUE(CloseHandle(reader));
    EXPECT_TRUE(CloseHandle(writer));
}

TEST_F(FileIoTest, BadHandlesAndArguments)
{
    folder_.Write("a.txt", "abc");
    HANDLE file = Open("a.txt");
    char buffer[4];
    DWORD count = 0;
    EXPECT_FALSE(ReadFile(file, buffer, 1, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(ReadFile(file, nullptr, 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_NOACCESS);
    EXPECT_FALSE(WriteFile(file, buffer, 1, &count, reinterpret_cast<LPOVERLAPPED>(buffer)));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(CloseHandle(file));

    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    for (HANDLE bad : {file, event, static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
        SetLastError(0);
        EXPECT_FALSE(ReadFile(bad, buffer, 1, &count, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_FALSE(WriteFile(bad, buffer, 1, &count, nullptr));
        EXPECT_EQ(GetFileSize(bad, nullptr), INVALID_FILE_SIZE);
        EXPECT_EQ(SetFilePointer(bad, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
        EXPECT_FALSE(SetEndOfFile(bad));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    EXPECT_TRUE(CloseHandle(event));
    EXPECT_EQ(folder_.Read("a.txt"), "abc");
}

TEST_F(FileIoTest, WindowsStylePaths)
{
    folder_.Write("TREE/Public/a.reg", "A");
    HANDLE file = CreateFileW((folder_.TargetPath("TREE/Public/a.reg")).c_str(), GENERIC_READ, 0,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadAll(file), "A");
    EXPECT_TRUE(CloseHandle(file));

    // A host path written with either separator, and a lower-case drive
    // letter mapped again elsewhere.
    std::u16string absolute;
    for (char c : folder_.HostPath("TREE/Public/a.reg").string()) {
        absolute.push_back(c == '/' ? u'\\' : static_cast<char16_t>(c));
    }
    file = CreateFileW(absolute.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(file));
    ASSERT_TRUE(vtsim::MapDrive('q', folder_.HostPath("TREE").string() + "/"));
    file = CreateFileW(u"Q:/Public\\a.reg", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(file));
    vtsim::UnmapDrive('Q');

    EXPECT_EQ(OpenError(u"Q:\\Public\\a.reg"), ERROR_PATH_NOT_FOUND) << "unmapped drive";
    EXPECT_EQ(OpenError(folder_.TargetPath("TREE/none/a.reg")), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(OpenError(folder_.TargetPath("TREE/public/a.reg")), ERROR_PATH_NOT_FOUND)
        << "case is kept";
    EXPECT_EQ(OpenError(u"T:a.reg"), ERROR_PATH_NOT_FOUND) << "drive-relative";
    EXPECT_EQ(OpenError(folder_.TargetPath("TREE"), GENERIC_READ), ERROR_ACCESS_DENIED)
        << "a folder";
    EXPECT_EQ(OpenError(folder_.TargetPath("TREE/a?.reg")), ERROR_INVALID_NAME);
    EXPECT_EQ(OpenError(folder_.TargetPath("TREE/a.reg:stream")), ERROR_INVALID_NAME);
    EXPECT_EQ(OpenError(u"\\\\server\\share\\a.reg"), ERROR_BAD_NETPATH);
    EXPECT_EQ(OpenError(u""), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(vtsim::MapDrive('1', "/tmp"));
    EXPECT_FALSE(vtsim::MapDrive('R', ""));
}

TEST_F(FileIoTest, DeviceNamesNeverReachTheFileSystem)
{
    // No driver is loaded: a device name is not found, and no file of that
    // name appears, whatever the disposition.
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(folder_.HostPath(""));
    EXPECT_EQ(OpenError(u"NOFILE:", GENERIC_WRITE, CREATE_ALWAYS), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(std::filesystem::exists(folder_.HostPath("NOFILE:")));
    // A relative name with a separator is a path.
    folder_.Write("sub/rel.txt", "r");
    HANDLE file = CreateFileW(u"sub\\rel.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    if (file != INVALID_HANDLE_VALUE) {
        EXPECT_TRUE(CloseHandle(file));
    }
    std::filesystem::current_path(cwd);
}

TEST_F(FileIoTest, InjectedFailures)
{
    folder_.Write("a.txt", "abc");
    HANDLE file = Open("a.txt");
    char buffer[4];
    DWORD count = 9;
    vtsim::ArmFault(vtsim::Fault::FileWrite, 1);
    EXPECT_FALSE(WriteFile(file, "xyz", 3, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_EQ(count, 0u);
    vtsim::ArmFault(vtsim::Fault::FileRead, 1);
    EXPECT_FALSE(ReadFile(file, buffer, 3, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_READ_FAULT);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 0u) << "nothing moved";
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(folder_.Read("a.txt"), "abc");
}

}  // namespace
