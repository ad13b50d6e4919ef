// Files by name on the host's file system: deleting one, replacing one with
// another in one step, and the resolved name of an open file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/file_io.h"
#include "platform/host/control/host_files.h"
#include "platform/host/files/disk_file.h"
#include "platform/host/files/host_paths.h"
#include "platform/host/kernel/counters_and_faults.h"
#include "platform/host/kernel/objects.h"
#include "platform/host/kernel/utf.h"
#include "platform/kernel.h"

namespace {

using namespace vtsim::internal;

// The host path of a file name, or false with the last error set.
bool HostFileName(LPCWSTR name, std::string* path)
{
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const DWORD error = HostPathFor(name, path);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return false;
    }
    return true;
}

DWORD MissingFileError(const std::string& path)
{
    const std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ERROR_FILE_NOT_FOUND;
    }
    struct stat info {};
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? ERROR_FILE_NOT_FOUND
                                                                     : ERROR_PATH_NOT_FOUND;
}

// Makes the folder's entries durable (after a rename in it).
void SyncFolder(const std::string& path)
{
    const int fd = open(vtsim::HostFolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

extern "C" {

BOOL DeleteFileW(LPCWSTR fileName)
{
    std::string path;
    if (!HostFileName(fileName, &path)) {
        return FALSE;
    }
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        SetLastError(errno == ENOENT ? MissingFileError(path) : ErrorFromErrno(errno));
        return FALSE;
    }
    if (S_ISDIR(info.st_mode) || unlink(path.c_str()) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

BOOL ReplaceFileW(LPCWSTR replacedFileName, LPCWSTR replacementFileName, LPCWSTR backupFileName,
                  DWORD, LPVOID, LPVOID)
{
    if (backupFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string replaced;
    std::string replacement;
    if (!HostFileName(replacedFileName, &replaced) ||
        !HostFileName(replacementFileName, &replacement)) {
        return FALSE;
    }
    std::string target;
    std::string why;
    if (!vtsim::FollowHostLinks(replaced, &target, &why)) {
        SetLastError(ERROR_UNABLE_TO_REMOVE_REPLACED);
        return FALSE;
    }
    struct stat old {};
    struct stat fresh {};
    if (stat(target.c_str(), &old) != 0) {
        SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : ErrorFromErrno(errno));
        return FALSE;
    }
    if (lstat(replacement.c_str(), &fresh) != 0) {
        SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : ErrorFromErrno(errno));
        return FALSE;
    }
    if (S_ISDIR(old.st_mode) || !S_ISREG(fresh.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (ShouldFail(vtsim::Fault::FileReplace)) {
        SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
        return FALSE;
    }
    // The replacement takes the old file's owner (as far as this process may
    // give it) and then its permissions: a change of owner may clear set-id
    // bits that the mode restores.
    if (fresh.st_uid != old.st_uid || fresh.st_gid != old.st_gid) {
        (void)!lchown(replacement.c_str(), old.st_uid, old.st_gid);
    }
    if (chmod(replacement.c_str(), old.st_mode & 07777) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    if (rename(replacement.c_str(), target.c_str()) != 0) {
        const int cause = errno;
        SetLastError(cause == EXDEV                      ? ERROR_UNABLE_TO_MOVE_REPLACEMENT
                     : cause == EACCES || cause == EPERM ? ERROR_UNABLE_TO_REMOVE_REPLACED
                                                         : ErrorFromErrno(cause));
        return FALSE;
    }
    SyncFolder(target);
    return TRUE;
}

DWORD GetFinalPathNameByHandleW(HANDLE file, LPWSTR path, DWORD capacity, DWORD flags)
{
    if (flags != (FILE_NAME_NORMALIZED | VOLUME_NAME_DOS)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto disk = LookupHandleAs<DiskFile>(file);
    if (!disk) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    std::string host;
    if (!disk->FinalPath(&host)) {
        return 0;
    }
    std::u16string name;
    std::size_t bad = 0;
    if (!DecodeUtf8(host, &name, &bad)) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    for (char16_t& c : name) {
        c = c == u'/' ? u'\\' : c;
    }
    if (name.size() + 1 > capacity || !path) {
        return static_cast<DWORD>(name.size() + 1);
    }
    name.copy(path, name.size());
    path[name.size()] = u'\0';
    return static_cast<DWORD>(name.size());
}

}  // extern "C"
