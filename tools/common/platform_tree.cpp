#include "tools/common/platform_tree.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/host/control/host_files.h"
#include "platform/host/control/target.h"

namespace vttools {
namespace fs = std::filesystem;

namespace {

constexpr const char* kDriversFolder = "Public/Korvel/Device_Drivers";

bool CheckScript(const fs::path& path, std::string* error)
{
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        *error = path.string() + ": no such file";
        return false;
    }
    const auto size = fs::file_size(path, ec);
    if (ec) {
        *error = path.string() + ": " + ec.message();
        return false;
    }
    if (size > vtsim::kMaxHostFileBytes) {
        *error = path.string() + ": larger than " + vtsim::kMaxHostFileText;
        return false;
    }
    if (!std::ifstream(path, std::ios::binary)) {
        *error = path.string() + ": cannot be read";
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
    std::vector<std::string> folders;
    for (const auto& entry : fs::directory_iterator(fs::path(root) / kDriversFolder, ec)) {
        if (entry.is_directory()) {
            folders.push_back(entry.path().filename().string());
        }
    }
    std::sort(folders.begin(), folders.end());
    for (const std::string& folder : folders) {
        const std::string script = PackageScriptPath(root, folder);
        if (!fs::exists(script, ec)) {
            continue;  // a folder without its script: nothing of this package
        }
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
