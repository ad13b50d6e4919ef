// Where the default registry scripts and driver modules are: named by the
// environment, in the build tree, or next to the installed platform library.
#include "platform/host/control/locations.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

// Set by the build (platform/CMakeLists.txt): where the build put this
// library, where its data and modules are in the build tree, and where the
// installed data and modules are relative to the installed library's folder.
#if !defined(VT_BUILD_LIBRARY_DIR) || !defined(VT_BUILD_DATA_DIR) ||    \
    !defined(VT_BUILD_MODULE_DIR) || !defined(VT_INSTALLED_DATA_DIR) || \
    !defined(VT_INSTALLED_MODULE_DIR)
#error "the build defines where the platform's data and modules are"
#endif

namespace vtsim {

namespace {

namespace fs = std::filesystem;

// The folder that this library was loaded from, or empty when the loader
// cannot tell (then only the environment and the build tree apply).
const fs::path& LibraryFolder()
{
    static const fs::path folder = [] {
        Dl_info info{};
        if (dladdr(reinterpret_cast<const void*>(&DefaultDataLocation), &info) == 0 ||
            info.dli_fname == nullptr || info.dli_fname[0] == '\0') {
            return fs::path();
        }
        std::error_code ec;
        fs::path file = fs::weakly_canonical(fs::absolute(info.dli_fname, ec), ec);
        return ec ? fs::path() : file.parent_path();
    }();
    return folder;
}

bool RunsFromBuildTree()
{
    static const bool fromBuildTree = [] {
        std::error_code ec;
        return !LibraryFolder().empty() &&
               fs::equivalent(LibraryFolder(), fs::path(VT_BUILD_LIBRARY_DIR), ec);
    }();
    return fromBuildTree;
}

Location Find(const char* variable, const char* buildTreeDir, const char* installedRelative)
{
    const char* fromEnvironment = std::getenv(variable);
    if (fromEnvironment != nullptr && fromEnvironment[0] != '\0') {
        return {fromEnvironment, LocationOrigin::Environment};
    }
    if (RunsFromBuildTree()) {
        return {buildTreeDir, LocationOrigin::BuildTree};
    }
    const fs::path installed = (LibraryFolder() / installedRelative).lexically_normal();
    return {installed.string(), LocationOrigin::Installed};
}

}  // namespace

Location DefaultDataLocation()
{
    return Find(kDataDirVariable, VT_BUILD_DATA_DIR, VT_INSTALLED_DATA_DIR);
}

Location DefaultModuleLocation()
{
    return Find(kModuleDirVariable, VT_BUILD_MODULE_DIR, VT_INSTALLED_MODULE_DIR);
}

std::string DescribeLocation(const Location& location, const char* variable)
{
    switch (location.origin) {
    case LocationOrigin::Environment:
        return location.dir + " (from " + variable + ")";
    case LocationOrigin::BuildTree:
        return location.dir + " (build tree)";
    case LocationOrigin::Installed:
        break;
    }
    return location.dir + " (installed)";
}

}  // namespace vtsim
