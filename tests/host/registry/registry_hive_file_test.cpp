// The hive file: round trip, refusal of damaged files, atomic replacement.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "tests/host/registry/registry_test_support.h"

namespace {

using namespace registry_test;
namespace fs = std::filesystem;

class HiveFile : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        dir_ = fs::path(::testing::TempDir()) /
               ("hive_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "system.hv").string();
    }
    void TearDown() override
    {
        fs::remove_all(dir_);
        RegistryTest::TearDown();
    }

    static void Fill(const char* marker, int keys)
    {
        std::string script;
        for (int i = 0; i < keys; ++i) {
            script += "[HKLM\\SYSTEM\\CurrentControlSet\\Services\\RLXDAQ\\Device" +
                      std::to_string(i) + "]\n\"DeviceName\"=\"" + marker +
                      "\"\n\"Blob\"=hex:01,02,03\n\"BoardID\"=dword:87\n";
        }
        std::string error;
        ASSERT_TRUE(vtsim::ImportRegistryScript(script, &error)) << error;
    }

    std::vector<std::string> DirectoryEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    std::string ReadFile() const
    {
        std::ifstream in(path_, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    void WriteFile(const std::string& bytes) const
    {
        std::ofstream(path_, std::ios::binary) << bytes;
    }

    fs::path dir_;
    std::string path_;
};

TEST_F(HiveFile, SaveAndLoadRoundTripAndLoadReplacesTheHive)
{
    Fill("saved", 3);
    HKEY key = Create(u"Binary");
    const BYTE odd[] = {0, 0xFF, 0x80};
    RegSetValueExW(key, u"Odd", 0, 0x1234, odd, sizeof(odd));
    RegCloseKey(key);
    const std::string before = vtsim::ExportRegistryScript();
    std::string error;
    ASSERT_TRUE(vtsim::SaveHive(path_, &error)) << error;
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"system.hv"})
        << "no temporary file is left";

    RegCloseKey(Create(u"AddedLater"));
    ASSERT_TRUE(vtsim::LoadHive(path_, &error)) << error;
    EXPECT_EQ(vtsim::ExportRegistryScript(), before);
    EXPECT_EQ(Query(u"AddedLater", u"").result, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Query(u"Binary", u"Odd").type, 0x1234u);

    ASSERT_TRUE(vtsim::SaveHive(path_, &error)) << "saving over an existing file: " << error;
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"system.hv"});
}

TEST_F(HiveFile, DamagedFilesAreRefusedAndTheHiveIsKept)
{
    Fill("saved", 2);
    std::string error;
    ASSERT_TRUE(vtsim::SaveHive(path_, &error)) << error;
    const std::string good = ReadFile();
    vtsim::ResetRegistry();
    Fill("current", 1);
    const std::string current = vtsim::ExportRegistryScript();

    std::vector<std::string> damaged;
    for (std::size_t length :
         {std::size_t{0}, std::size_t{5}, std::size_t{12}, good.size() / 2, good.size() - 1}) {
        damaged.push_back(good.substr(0, length));  // torn writes
    }
    damaged.push_back(good + "x");  // trailing bytes
    for (std::size_t at : {std::size_t{3}, std::size_t{9}, good.size() / 2, good.size() - 2}) {
        std::string flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x10);
        damaged.push_back(flipped);
    }
    damaged.push_back("[HKLM\\A]\n\"V\"=dword:1\n");  // not a hive file
    for (const std::string& bytes : damaged) {
        WriteFile(bytes);
        error.clear();
        EXPECT_FALSE(vtsim::LoadHive(path_, &error))
            << "a file of " << bytes.size() << " bytes was accepted";
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(vtsim::ExportRegistryScript(), current);
    }
    EXPECT_FALSE(vtsim::LoadHive((dir_ / "missing.hv").string(), &error));
    EXPECT_EQ(vtsim::ExportRegistryScript(), current);
}

TEST_F(HiveFile, AFailedSaveLeavesNothingBehind)
{
    Fill("x", 1);
    std::string error;
    EXPECT_FALSE(vtsim::SaveHive((dir_ / "no_such_dir" / "system.hv").string(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(DirectoryEntries().empty());
}

TEST_F(HiveFile, LoadingMakesOpenHandlesStaleWithoutCrashing)
{
    Fill("saved", 1);
    std::string error;
    ASSERT_TRUE(vtsim::SaveHive(path_, &error)) << error;
    HKEY key = Create(u"SYSTEM\\CurrentControlSet\\Services\\RLXDAQ\\Device0");
    ASSERT_TRUE(vtsim::LoadHive(path_, &error)) << error;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"BoardID", nullptr, nullptr, nullptr, &size),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

// Whatever depth the registry takes, the hive file holds: the deepest key
// it creates saves and loads again, and a deeper one is refused where it
// would be made (by the registry services and by the script importer).
TEST_F(HiveFile, TheDeepestKeyTheRegistryTakesSavesAndLoadsAgain)
{
    std::string path;
    for (int level = 0; level < 512; ++level) {
        path += level == 0 ? "K" : "\\K";
    }
    std::string error;
    ASSERT_TRUE(vtsim::ImportRegistryScript("[HKLM\\" + path + "]\n\"v\"=dword:00000001\n", &error))
        << error;
    EXPECT_FALSE(vtsim::ImportRegistryScript("[HKLM\\" + path + "\\Deeper]\n", &error));
    EXPECT_NE(error.find("deeper than 512 levels"), std::string::npos) << error;
    HKEY deepest = nullptr;
    const std::u16string widePath(path.begin(), path.end());
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, widePath.c_str(), 0, KEY_READ, &deepest),
              ERROR_SUCCESS);
    HKEY deeper = nullptr;
    EXPECT_EQ(RegCreateKeyExW(deepest, u"Deeper", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &deeper,
                              nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(deeper, nullptr);
    RegCloseKey(deepest);

    const std::string hive = vtsim::ExportRegistryScript();
    ASSERT_TRUE(vtsim::SaveHive(path_, &error)) << error;
    vtsim::ResetRegistry();
    ASSERT_TRUE(vtsim::LoadHive(path_, &error)) << error;
    EXPECT_EQ(vtsim::ExportRegistryScript(), hive);
}

// A process killed at random moments while saving over and over: the file
// is always either the old hive or a complete new one. Each round starts
// from the old hive on disk, so that every kill can land in a replacement.
TEST_F(HiveFile, AKilledSaveLeavesTheOldOrTheNewHive)
{
    Fill("new", 400);
    const std::string newHive = vtsim::ExportRegistryScript();
    vtsim::ResetRegistry();
    Fill("old", 20);
    const std::string oldHive = vtsim::ExportRegistryScript();

    const unsigned seed = static_cast<unsigned>(::getpid());
    std::srand(seed);
    constexpr int ROUNDS = 60;
    int newSeen = 0;
    int oldSeen = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", round " + std::to_string(round));
        std::string error;
        ASSERT_TRUE(vtsim::SaveHive(path_, &error)) << error;
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            vtsim::ResetRegistry();
            Fill("new", 400);
            for (;;) {
                vtsim::SaveHive(path_, nullptr);
            }
        }
        // Anywhere from before the child's first save to well into its
        // saves; the last round gives it time enough to finish some.
        const int micros = round == ROUNDS - 1 ? 300000 : std::rand() % 6000;
        std::this_thread::sleep_for(std::chrono::microseconds(micros));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        vtsim::ResetRegistry();
        ASSERT_TRUE(vtsim::LoadHive(path_, &error)) << error;
        const std::string loaded = vtsim::ExportRegistryScript();
        EXPECT_TRUE(loaded == oldHive || loaded == newHive) << "a mixed hive";
        // The load took away the temporary the killed save left.
        EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"system.hv"});
        newSeen += loaded == newHive ? 1 : 0;
        oldSeen += loaded == oldHive ? 1 : 0;
        vtsim::ResetRegistry();
        Fill("old", 20);
    }
    EXPECT_GT(newSeen, 0) << "the saving child never completed a save";
    EXPECT_GT(oldSeen, 0) << "no kill landed before a save completed";
}

// What an interrupted save leaves is removed by the next save or load of
// that hive, and only that: a temporary whose writer still runs or still
// holds its lock, a recent one of the older form, and every other file stay.
TEST_F(HiveFile, StaleTemporariesGoAtTheNextSaveOrLoadAndNothingElse)
{
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) {
        ::_exit(0);
    }
    ::waitpid(gone, nullptr, 0);
    const pid_t alive = ::fork();
    ASSERT_GE(alive, 0);
    if (alive == 0) {
        ::pause();
        ::_exit(0);
    }
    const std::string dead = std::to_string(gone);
    auto touch = [&](const std::string& name) {
        std::ofstream(dir_ / name, std::ios::binary) << std::string(4096, 'h');
    };
    const std::vector<std::string> stale = {
        "system.hv.tmp." + dead + ".a1B2c3",
        "system.hv.tmp.Zx9Qw1",  // the older form, an hour old
    };
    const std::vector<std::string> kept = {
        "system.hv.tmp." + std::to_string(alive) + ".a1B2c3",  // its writer runs
        "system.hv.tmp." + dead + ".L0cked",                   // its lock is held
        "system.hv.tmp.Recent",                                // older form, just written
        "system.hv.tmp." + dead + ".a1B2c3.old",
        "system.hv.tmp." + dead + ".abc",
        "system.hv.tmp.x" + dead + ".a1B2c3",
        "other.hv.tmp." + dead + ".a1B2c3",
        "system.hv.tmp." + dead + ".Folder",  // a folder
        "system.hv.tmp." + dead + ".Linked",  // a link to a file
    };
    for (const std::string& name : stale) {
        touch(name);
    }
    for (const std::string& name : kept) {
        if (name.find("Folder") != std::string::npos) {
            fs::create_directory(dir_ / name);
        } else if (name.find("Linked") != std::string::npos) {
            touch("linked_file");
            fs::create_symlink(dir_ / "linked_file", dir_ / name);
        } else {
            touch(name);
        }
    }
    fs::last_write_time(dir_ / stale[1], fs::file_time_type::clock::now() - std::chrono::hours(1));
    const int locker = ::open((dir_ / kept[1]).c_str(), O_RDONLY);
    ASSERT_GE(locker, 0);
    ASSERT_EQ(::flock(locker, LOCK_EX), 0);

    Fill("x", 2);
    std::string error;
    ASSERT_TRUE(vtsim::SaveHive(path_, &error)) << error;
    std::vector<std::string> expected = kept;
    expected.push_back("linked_file");
    expected.push_back("system.hv");
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> entries = DirectoryEntries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, expected);

    // Once the lock and the writer are gone, a load removes theirs too.
    ::close(locker);
    ::kill(alive, SIGKILL);
    ::waitpid(alive, nullptr, 0);
    ASSERT_TRUE(vtsim::LoadHive(path_, &error)) << error;
    entries = DirectoryEntries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), kept[0]), 0);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), kept[1]), 0);
    EXPECT_EQ(entries.size(), expected.size() - 2);
}

// A save's own temporary is locked while it is written, and is named after
// its writer: another process's clean-up cannot take it away mid-save.
TEST_F(HiveFile, SavesInTwoProcessesAtOnceBothSucceed)
{
    Fill("both", 300);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        bool ok = true;
        for (int i = 0; i < 40; ++i) {
            ok = vtsim::SaveHive(path_, nullptr) && ok;
        }
        ::_exit(ok ? 0 : 1);
    }
    int failures = 0;
    for (int i = 0; i < 40; ++i) {
        std::string error;
        failures += vtsim::SaveHive(path_, &error) ? 0 : 1;
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(failures, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"system.hv"});
}

}  // namespace
