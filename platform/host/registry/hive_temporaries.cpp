#include "platform/host/registry/hive_temporaries.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string_view>

#include "platform/host/control/host_files.h"

namespace vtsim::registry {

namespace {

constexpr std::size_t kUniqueChars = 6;  // what mkstemp puts in place of XXXXXX
constexpr std::time_t kOldFormAgeSeconds = 60;

std::string FileNameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsUniquePart(std::string_view text)
{
    if (text.size() != kUniqueChars) {
        return false;
    }
    for (char c : text) {
        const bool alnum =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alnum) {
            return false;
        }
    }
    return true;
}

// What a name after "<hive>.tmp." tells: the writer's pid (0 for the older
// form without one), or false when it is not a temporary's name at all.
bool ParseTemporaryRest(std::string_view rest, long* pid)
{
    if (IsUniquePart(rest)) {
        *pid = 0;
        return true;
    }
    const std::size_t dot = rest.find('.');
    if (dot == 0 || dot == std::string_view::npos || dot > 9 ||
        !IsUniquePart(rest.substr(dot + 1))) {
        return false;
    }
    long value = 0;
    for (char c : rest.substr(0, dot)) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    *pid = value;
    return value > 0;
}

bool ProcessRuns(long pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Removes the temporary name in the folder dir when it is stale (see the
// header); true when it was removed.
bool RemoveIfStale(int dir, const char* name, long pid)
{
    if (pid != 0 && (pid == static_cast<long>(::getpid()) || ProcessRuns(pid))) {
        return false;
    }
    const int fd = ::openat(dir, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool removed = false;
    struct stat opened = {};
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
        (pid != 0 || std::time(nullptr) - opened.st_mtime > kOldFormAgeSeconds) &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // The name must still be the file whose lock is held.
        struct stat named = {};
        if (::fstatat(dir, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
            removed = ::unlinkat(dir, name, 0) == 0;
        }
    }
    ::close(fd);
    return removed;
}

}  // namespace

int CreateHiveTemporary(const std::string& target, std::string* path)
{
    std::string name = target + ".tmp." + std::to_string(::getpid()) + ".XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    if (::flock(fd, LOCK_EX) != 0) {
        const int saved = errno;
        ::unlink(name.c_str());
        ::close(fd);
        errno = saved;
        return -1;
    }
    *path = std::move(name);
    return fd;
}

int RemoveStaleHiveTemporaries(const std::string& target)
{
    const std::string prefix = FileNameOf(target) + ".tmp.";
    DIR* folder = ::opendir(HostFolderOf(target).c_str());
    if (folder == nullptr) {
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name(entry->d_name);
        long pid = 0;
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
            ParseTemporaryRest(name.substr(prefix.size()), &pid) &&
            RemoveIfStale(::dirfd(folder), entry->d_name, pid)) {
            ++removed;
        }
    }
    ::closedir(folder);
    return removed;
}

}  // namespace vtsim::registry
