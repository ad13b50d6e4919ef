#include "tools/common/platform_tree.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/host/control/host_files.h"
#include "platform/host/control/target.h"
#include "tools/common/file_options.h"

namespace vttools {
namespace fs = std::filesystem;

namespace {

constexpr const char* kDriversFolder = "Public/Korvel/Device_Drivers";

// One of the tree's scripts, checked as every file a tool reads: the line
// names the file and gives the system's reason ("no such file or
// directory", "is a directory", "permission denied", ...).
bool CheckScript(const fs::path& path, std::string* error)
{
    const std::string problem = FileProblem(path.string(), FileUse::Read);
    if (!problem.empty()) {
        *error = path.string() + ": " + problem;
        return false;
    }
    return true;
}

}  // namespace

std::string ImageScriptPath(const std::string& root)
{
    return (fs::path(root) / "Platform" / "platform.reg").string();
}

std::string PackageScriptPath(const std::string& root, const std::string& folder)
{
    return (fs::path(root) / kDriversFolder / folder / (folder + ".reg")).string();
}

bool TreeScripts(const std::string& root, std::vector<std::string>* scripts, std::string* error)
{
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        *error = root + ": no such folder";
        return false;
    }
    scripts->clear();
    const std::string image = ImageScriptPath(root);
    if (!CheckScript(image, error)) {
        return false;
    }
    scripts->push_back(image);
    const fs::path drivers = fs::path(root) / kDriversFolder;
    const std::string driversProblem = FileProblem(drivers.string(), FileUse::Folder);
    if (!driversProblem.empty()) {
        *error = drivers.string() + ": " + driversProblem;
        return false;
    }
    std::vector<std::string> folders;
    for (const auto& entry : fs::directory_iterator(drivers, ec)) {
        if (entry.is_directory(ec)) {
            folders.push_back(entry.path().filename().string());
        }
    }
    if (ec) {
        *error = drivers.string() + ": " + vtsim::HostErrorText(ec.value());
        return false;
    }
    std::sort(folders.begin(), folders.end());
    // Every package folder holds its script: a folder without it is
    // refused rather than booted without its package.
    for (const std::string& folder : folders) {
        const std::string script = PackageScriptPath(root, folder);
        if (!CheckScript(script, error)) {
            return false;
        }
        scripts->push_back(script);
    }
    return true;
}

bool LayOutTree(const std::string& root, bool replace, std::vector<std::string>* written,
                std::string* error)
{
    const std::vector<std::string> sources = vtsim::DefaultRegistryScripts();
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const fs::path source(sources[i]);
        const std::string target =
            i == 0 ? ImageScriptPath(root) : PackageScriptPath(root, source.stem().string());
        std::error_code ec;
        if (!replace && fs::exists(target, ec)) {
            continue;
        }
        fs::create_directories(fs::path(target).parent_path(), ec);
        if (ec) {
            *error = fs::path(target).parent_path().string() + ": " + ec.message();
            return false;
        }
        fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
        if (ec) {
            *error = target + ": " + ec.message();
            return false;
        }
        written->push_back(target);
    }
    return true;
}

}  // namespace vttools
