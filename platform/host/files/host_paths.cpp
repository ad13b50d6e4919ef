// Windows-style file names on the host: separators, drive letters and the
// drive map.
#include "platform/host/files/host_paths.h"

#include <array>
#include <mutex>

#include "platform/host/control/files.h"
#include "platform/host/kernel/utf.h"

namespace vtsim {
namespace internal {
namespace {

struct DriveMap {
    std::mutex mutex;
    std::array<std::string, 26> directories;  // "" = not mapped
};

DriveMap& Drives()
{
    static DriveMap* map = new DriveMap;  // lives until process exit
    return *map;
}

int DriveIndex(char16_t letter)
{
    if (letter >= u'a' && letter <= u'z') {
        return letter - u'a';
    }
    if (letter >= u'A' && letter <= u'Z') {
        return letter - u'A';
    }
    return -1;
}

bool IsSeparator(char16_t c)
{
    return c == u'\\' || c == u'/';
}

// Characters that the target refuses anywhere in a file name (':' is judged
// by its place).
bool IsForbidden(char16_t c)
{
    return c < 0x20 || c == u'<' || c == u'>' || c == u'"' || c == u'|' || c == u'?' || c == u'*';
}

}  // namespace

bool IsDeviceFileName(std::u16string_view name)
{
    if (name.empty() || name.back() != u':') {
        return false;
    }
    for (char16_t c : name) {
        if (IsSeparator(c)) {
            return false;
        }
    }
    return true;
}

DWORD HostPathFor(std::u16string_view name, std::string* hostPath)
{
    if (name.empty()) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1])) {
        return ERROR_BAD_NETPATH;
    }

    std::string prefix;
    std::u16string_view rest = name;
    if (name.size() >= 2 && name[1] == u':' && DriveIndex(name[0]) >= 0) {
        if (name.size() < 3 || !IsSeparator(name[2])) {
            return ERROR_PATH_NOT_FOUND;  // "C:a.reg"
        }
        DriveMap& drives = Drives();
        std::lock_guard lock(drives.mutex);
        prefix = drives.directories[DriveIndex(name[0])];
        if (prefix.empty()) {
            return ERROR_PATH_NOT_FOUND;
        }
        rest = name.substr(2);  // keeps the separator after "C:"
    }
    std::u16string path;
    path.reserve(rest.size());
    for (char16_t c : rest) {
        if (IsForbidden(c) || c == u':') {
            return ERROR_INVALID_NAME;
        }
        path.push_back(c == u'\\' ? u'/' : c);
    }
    *hostPath = prefix + ToUtf8(path);
    return ERROR_SUCCESS;
}

}  // namespace internal

bool MapDrive(char letter, const std::string& hostDirectory)
{
    int index = internal::DriveIndex(static_cast<unsigned char>(letter));
    if (index < 0 || hostDirectory.empty()) {
        return false;
    }
    std::string directory = hostDirectory;
    while (directory.size() > 1 && directory.back() == '/') {
        directory.pop_back();
    }
    if (directory == "/") {
        directory = "/.";  // joined with "/TREE/a.reg"
    }
    internal::DriveMap& drives = internal::Drives();
    std::lock_guard lock(drives.mutex);
    drives.directories[index] = directory;
    return true;
}

void UnmapDrive(char letter)
{
    int index = internal::DriveIndex(static_cast<unsigned char>(letter));
    if (index < 0) {
        return;
    }
    internal::DriveMap& drives = internal::Drives();
    std::lock_guard lock(drives.mutex);
    drives.directories[index].clear();
}

void UnmapAllDrives()
{
    internal::DriveMap& drives = internal::Drives();
    std::lock_guard lock(drives.mutex);
    for (auto& directory : drives.directories) {
        directory.clear();
    }
}

}  // namespace vtsim
