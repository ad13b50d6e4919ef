// Where the target takes its default registry scripts and driver modules
// from: the environment first, then the build tree that these tests run in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/host/control/locations.h"
#include "platform/host/control/target.h"
#include "platform/host/devices/driver_modules.h"

namespace {

namespace fs = std::filesystem;
using vtsim::LocationOrigin;

// Sets an environment variable for the test's lifetime and restores it.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name)
    {
        const char* old = std::getenv(name);
        hadValue_ = old != nullptr;
        if (hadValue_) {
            old_ = old;
        }
        setenv(name, value, 1);
    }
    ~ScopedVariable()
    {
        if (hadValue_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    bool hadValue_ = false;
    std::string old_;
};

class DataFolder {
public:
    DataFolder()
    {
        std::random_device random;
        root_ = fs::temp_directory_path() / ("vt-data-" + std::to_string(random()));
        fs::create_directories(root_);
    }
    ~DataFolder()
    {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    DataFolder(const DataFolder&) = delete;
    DataFolder& operator=(const DataFolder&) = delete;

    std::string Write(const std::string& relative)
    {
        const fs::path file = root_ / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "REGEDIT4\n";
        return file.string();
    }
    std::string path() const
    {
        return root_.string();
    }

private:
    fs::path root_;
};

TEST(Locations, TheBuildTreeIsUsedUnlessTheEnvironmentNamesAFolder)
{
    unsetenv(vtsim::kDataDirVariable);
    unsetenv(vtsim::kModuleDirVariable);
    vtsim::Location data = vtsim::DefaultDataLocation();
    EXPECT_EQ(data.origin, LocationOrigin::BuildTree);
    EXPECT_TRUE(fs::equivalent(data.dir, VT_TEST_SOURCE_DIR)) << data.dir;
    EXPECT_EQ(vtsim::DefaultRegistryScripts().front(),
              (fs::path(data.dir) / "platform" / "image" / "platform.reg").string());
    EXPECT_EQ(vtsim::DefaultModuleLocation().origin, LocationOrigin::BuildTree);

    // An empty variable counts as not set.
    ScopedVariable empty(vtsim::kDataDirVariable, "");
    EXPECT_EQ(vtsim::DefaultDataLocation().origin, LocationOrigin::BuildTree);
}

TEST(Locations, TheEnvironmentChoosesTheScriptsAndTheModules)
{
    DataFolder folder;
    const std::string base = folder.Write("platform/image/platform.reg");
    const std::string a = folder.Write("packages/A.reg");
    const std::string b = folder.Write("packages/B.reg");
    folder.Write("packages/notes.txt");
    folder.Write("packages/sub.reg/C.reg");
    ScopedVariable data(vtsim::kDataDirVariable, folder.path().c_str());
    ScopedVariable modules(vtsim::kModuleDirVariable, "/opt/drivers");

    EXPECT_EQ(vtsim::DefaultDataLocation().dir, folder.path());
    EXPECT_EQ(vtsim::DefaultDataLocation().origin, LocationOrigin::Environment);
    // The base script first, then the package's scripts in name order; other
    // files and folders are not scripts.
    EXPECT_EQ(vtsim::DefaultRegistryScripts(), (std::vector<std::string>{base, a, b}));

    EXPECT_EQ(vtsim::internal::ModulePathFor(u"Rlx4100S.dll", ""), "/opt/drivers/Rlx4100S.so");
    EXPECT_EQ(vtsim::internal::ModulePathFor(u"Rlx4100S.dll", "/given"), "/given/Rlx4100S.so");
    EXPECT_EQ(vtsim::DescribeLocation(vtsim::DefaultModuleLocation(), vtsim::kModuleDirVariable),
              "/opt/drivers (from VT_MODULE_DIR)");
}

TEST(Locations, DescriptionsSayWhereAFolderComesFrom)
{
    EXPECT_EQ(vtsim::DescribeLocation({"/src", LocationOrigin::BuildTree}, "VT_DATA_DIR"),
              "/src (build tree)");
    EXPECT_EQ(
        vtsim::DescribeLocation({"/usr/share/rlx4100", LocationOrigin::Installed}, "VT_DATA_DIR"),
        "/usr/share/rlx4100 (installed)");
}

}  // namespace
