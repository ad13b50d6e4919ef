#include "tools/common/file_options.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/host/control/host_files.h"
#include "tools/common/platform_tree.h"

namespace vttools {

namespace {

using vtsim::HostErrorText;

// The reason a regular file that is there cannot be read, or "".
std::string ReadProblem(const std::string& path, const struct stat& info)
{
    if (S_ISDIR(info.st_mode)) {
        return HostErrorText(EISDIR);
    }
    if (!S_ISREG(info.st_mode)) {
        return "not a regular file";
    }
    if (static_cast<unsigned long long>(info.st_size) > vtsim::kMaxHostFileBytes) {
        return std::string("larger than ") + vtsim::kMaxHostFileText;
    }
    if (::access(path.c_str(), R_OK) != 0) {
        return HostErrorText(errno);
    }
    return {};
}

// The reason a new file cannot be made beside target, or "".
std::string FolderProblem(const std::string& target)
{
    const std::string folder = vtsim::HostFolderOf(target);
    struct stat info = {};
    if (::stat(folder.c_str(), &info) != 0) {
        return "folder " + folder + ": " + HostErrorText(errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return "folder " + folder + ": " + HostErrorText(ENOTDIR);
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return "folder " + folder + ": " + HostErrorText(errno);
    }
    return {};
}

}  // namespace

std::string FileProblem(const std::string& path, FileUse use)
{
    if (path.empty()) {
        return "no file named";
    }
    struct stat info = {};
    const bool there = ::stat(path.c_str(), &info) == 0;
    const int statError = errno;
    if (!there && (use == FileUse::Read || use == FileUse::Folder || use == FileUse::Tree ||
                   statError != ENOENT)) {
        return HostErrorText(statError);
    }
    switch (use) {
    case FileUse::Read:
        return ReadProblem(path, info);
    case FileUse::Folder:
    case FileUse::Tree:
        return S_ISDIR(info.st_mode) ? std::string() : HostErrorText(ENOTDIR);
    case FileUse::Keep:
    case FileUse::Write: {
        if (there) {
            const std::string problem = use == FileUse::Keep
                                            ? ReadProblem(path, info)
                                            : (S_ISDIR(info.st_mode) ? HostErrorText(EISDIR) : "");
            if (!problem.empty()) {
                return problem;
            }
            // A hive made read-only is left as it is rather than replaced
            // at the end (which the folder's permissions would allow).
            if (use == FileUse::Keep &&
                ((info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)) {
                return "read-only (it is saved at the end: make it writable, or use a copy)";
            }
        }
        std::string target, error;
        if (!vtsim::FollowHostLinks(path, &target, &error)) {
            return error.substr(error.find(": ") + 2);
        }
        return FolderProblem(target);
    }
    }
    return {};
}

CLI::Option* FileOptions::Add(CLI::App* command, const std::string& name, std::string* value,
                              FileUse use, const std::string& description)
{
    CLI::Option* option = command->add_option(name, *value, description);
    entries_.push_back({option, [value] { return std::vector<std::string>{*value}; }, use});
    return option;
}

CLI::Option* FileOptions::Add(CLI::App* command, const std::string& name,
                              std::vector<std::string>* values, FileUse use,
                              const std::string& description)
{
    CLI::Option* option = command->add_option(name, *values, description);
    entries_.push_back({option, [values] { return *values; }, use});
    return option;
}

bool FileOptions::Check(std::string* error) const
{
    for (const Entry& entry : entries_) {
        if (entry.option->count() == 0) {
            continue;
        }
        for (const std::string& path : entry.paths()) {
            const std::string problem = FileProblem(path, entry.use);
            if (!problem.empty()) {
                *error = (path.empty() ? std::string("''") : path) + ": " + problem;
                return false;
            }
            std::vector<std::string> scripts;
            if (entry.use == FileUse::Tree && !TreeScripts(path, &scripts, error)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace vttools
