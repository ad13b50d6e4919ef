// Files on the host's file system: open, read, write, size, seek and cut,
// with the target's results and error codes.
#include "platform/host/files/disk_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>

#include "platform/file_io.h"
#include "platform/host/kernel/counters_and_faults.h"
#include "platform/kernel.h"

namespace vtsim::internal {

DWORD ErrorFromErrno(int error)
{
    switch (error) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EFBIG:
        return ERROR_FILE_TOO_LARGE;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    default:
        return ERROR_GEN_FAILURE;
    }
}

namespace {

// A call that raced with the close of its handle finds the descriptor gone.
bool IsClosed(int descriptor)
{
    if (descriptor >= 0) {
        return false;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return true;
}

// A folder on the way to the file is missing (ENOENT alone does not tell).
bool ParentIsMissing(const std::string& path)
{
    std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return false;
    }
    std::string parent = slash == 0 ? "/" : path.substr(0, slash);
    struct stat info {};
    return stat(parent.c_str(), &info) != 0 || !S_ISDIR(info.st_mode);
}

int OpenFlags(DWORD access)
{
    bool read = (access & GENERIC_READ) != 0;
    bool write = (access & GENERIC_WRITE) != 0;
    // Not blocking, so that opening a FIFO returns at once (and is then refused).
    return O_CLOEXEC | O_NONBLOCK | (write ? (read ? O_RDWR : O_WRONLY) : O_RDONLY);
}

int OpenDescriptor(const std::string& path, DWORD access, DWORD disposition, bool* existed)
{
    const int flags = OpenFlags(access);
    const mode_t mode = 0666;
    *existed = true;
    switch (disposition) {
    case OPEN_EXISTING:
        return open(path.c_str(), flags);
    case TRUNCATE_EXISTING:
        return open(path.c_str(), flags | O_TRUNC);
    case CREATE_NEW:
        *existed = false;
        return open(path.c_str(), flags | O_CREAT | O_EXCL, mode);
    case CREATE_ALWAYS:
    case OPEN_ALWAYS: {
        int fd = open(path.c_str(), flags | O_CREAT | O_EXCL, mode);
        if (fd >= 0 || errno != EEXIST) {
            *existed = false;
            return fd;
        }
        return open(path.c_str(), flags | (disposition == CREATE_ALWAYS ? O_TRUNC : 0));
    }
    default:
        errno = EINVAL;
        return -1;
    }
}

}  // namespace

std::shared_ptr<DiskFile> OpenDiskFile(const std::string& hostPath, DWORD access, DWORD disposition,
                                       DWORD* error)
{
    if (disposition == TRUNCATE_EXISTING && (access & GENERIC_WRITE) == 0) {
        *error = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    bool existed = true;
    int fd = OpenDescriptor(hostPath, access, disposition, &existed);
    if (fd < 0) {
        int cause = errno;
        *error = cause == ENOENT && ParentIsMissing(hostPath) ? ERROR_PATH_NOT_FOUND
                                                              : ErrorFromErrno(cause);
        return nullptr;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);  // a folder, a FIFO, a device or a socket is no file here
        *error = ERROR_ACCESS_DENIED;
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const bool reportExisting =
        existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS);
    *error = reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
    return std::make_shared<DiskFile>(fd, access);
}

DiskFile::~DiskFile()
{
    if (descriptor_ >= 0) {
        close(descriptor_);
    }
}

BOOL DiskFile::OnHandleClosed()
{
    std::lock_guard lock(mutex_);
    int fd = descriptor_;
    descriptor_ = -1;
    if (fd >= 0 && close(fd) != 0 && errno != EINTR) {
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    return TRUE;
}

BOOL DiskFile::Read(void* buffer, DWORD count, DWORD* done)
{
    std::lock_guard lock(mutex_);
    *done = 0;
    if (IsClosed(descriptor_)) {
        return FALSE;
    }
    if ((access_ & GENERIC_READ) == 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (ShouldFail(Fault::FileRead)) {
        SetLastError(ERROR_READ_FAULT);
        return FALSE;
    }
    auto* bytes = static_cast<char*>(buffer);
    while (*done < count) {
        ssize_t got = pread(descriptor_, bytes + *done, count - *done, position_);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            SetLastError(errno == EIO ? ERROR_READ_FAULT : ErrorFromErrno(errno));
            return FALSE;
        }
        if (got == 0) {
            break;  // end of file
        }
        *done += static_cast<DWORD>(got);
        position_ += got;
    }
    return TRUE;
}

BOOL DiskFile::Write(const void* data, DWORD count, DWORD* done)
{
    std::lock_guard lock(mutex_);
    *done = 0;
    if (IsClosed(descriptor_)) {
        return FALSE;
    }
    if ((access_ & GENERIC_WRITE) == 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (count == 0) {
        return TRUE;
    }
    if (ShouldFail(Fault::FileWrite)) {
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    const auto* bytes = static_cast<const char*>(data);
    while (*done < count) {
        ssize_t put = pwrite(descriptor_, bytes + *done, count - *done, position_);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            SetLastError(put == 0 || errno == EIO ? ERROR_WRITE_FAULT : ErrorFromErrno(errno));
            return FALSE;
        }
        *done += static_cast<DWORD>(put);
        position_ += put;
    }
    return TRUE;
}

DWORD DiskFile::Size(DWORD* high)
{
    std::lock_guard lock(mutex_);
    if (IsClosed(descriptor_)) {
        return INVALID_FILE_SIZE;
    }
    struct stat info {};
    if (fstat(descriptor_, &info) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return INVALID_FILE_SIZE;
    }
    auto size = static_cast<std::uint64_t>(info.st_size);
    if (high) {
        *high = static_cast<DWORD>(size >> 32);
    }
    SetLastError(NO_ERROR);
    return static_cast<DWORD>(size);
}

DWORD DiskFile::Move(std::int64_t distance, DWORD method, bool wide, LONG* high)
{
    std::lock_guard lock(mutex_);
    if (IsClosed(descriptor_)) {
        return INVALID_SET_FILE_POINTER;
    }
    std::int64_t base = 0;
    if (method == FILE_CURRENT) {
        base = position_;
    } else if (method == FILE_END) {
        struct stat info {};
        if (fstat(descriptor_, &info) != 0) {
            SetLastError(ErrorFromErrno(errno));
            return INVALID_SET_FILE_POINTER;
        }
        base = info.st_size;
    } else if (method != FILE_BEGIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    std::int64_t target = 0;
    if (__builtin_add_overflow(base, distance, &target)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    if (!wide && target > static_cast<std::int64_t>(UINT32_MAX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    position_ = target;
    if (high) {
        *high = static_cast<LONG>(static_cast<std::uint64_t>(target) >> 32);
    }
    SetLastError(NO_ERROR);
    return static_cast<DWORD>(target);
}

BOOL DiskFile::CutAtPosition()
{
    std::lock_guard lock(mutex_);
    if (IsClosed(descriptor_)) {
        return FALSE;
    }
    if ((access_ & GENERIC_WRITE) == 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (ftruncate(descriptor_, position_) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL DiskFile::Flush()
{
    std::lock_guard lock(mutex_);
    if (IsClosed(descriptor_)) {
        return FALSE;
    }
    if ((access_ & GENERIC_WRITE) == 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (ShouldFail(Fault::FileFlush)) {
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    if (fsync(descriptor_) != 0) {
        SetLastError(errno == EIO ? ERROR_WRITE_FAULT : ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

bool DiskFile::FinalPath(std::string* path)
{
    std::lock_guard lock(mutex_);
    if (IsClosed(descriptor_)) {
        return false;
    }
    const std::string link = "/proc/self/fd/" + std::to_string(descriptor_);
    char buffer[PATH_MAX];
    const ssize_t length = readlink(link.c_str(), buffer, sizeof buffer);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer || buffer[0] != '/') {
        SetLastError(ERROR_GEN_FAILURE);
        return false;
    }
    path->assign(buffer, static_cast<std::size_t>(length));
    return true;
}

}  // namespace vtsim::internal

using vtsim::internal::DiskFile;
using vtsim::internal::LookupHandleAs;

namespace {

// The open file behind a handle, or nullptr with ERROR_INVALID_HANDLE set.
std::shared_ptr<DiskFile> FileOf(HANDLE handle)
{
    auto file = LookupHandleAs<DiskFile>(handle);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return file;
}

}  // namespace

extern "C" {

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD numberOfBytesToRead, LPDWORD numberOfBytesRead,
              LPOVERLAPPED overlapped)
{
    auto disk = FileOf(file);
    if (!disk) {
        return FALSE;
    }
    if (overlapped || !numberOfBytesRead) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!buffer && numberOfBytesToRead != 0) {
        *numberOfBytesRead = 0;
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    return disk->Read(buffer, numberOfBytesToRead, numberOfBytesRead);
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD numberOfBytesToWrite,
               LPDWORD numberOfBytesWritten, LPOVERLAPPED overlapped)
{
    auto disk = FileOf(file);
    if (!disk) {
        return FALSE;
    }
    if (overlapped || !numberOfBytesWritten) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!buffer && numberOfBytesToWrite != 0) {
        *numberOfBytesWritten = 0;
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    return disk->Write(buffer, numberOfBytesToWrite, numberOfBytesWritten);
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh)
{
    auto disk = FileOf(file);
    return disk ? disk->Size(fileSizeHigh) : INVALID_FILE_SIZE;
}

DWORD SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh, DWORD moveMethod)
{
    auto disk = FileOf(file);
    if (!disk) {
        return INVALID_SET_FILE_POINTER;
    }
    std::int64_t distance = distanceToMove;
    if (distanceToMoveHigh) {
        distance = static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(static_cast<DWORD>(*distanceToMoveHigh)) << 32) |
            static_cast<DWORD>(distanceToMove));
    }
    return disk->Move(distance, moveMethod, distanceToMoveHigh != nullptr, distanceToMoveHigh);
}

BOOL SetEndOfFile(HANDLE file)
{
    auto disk = FileOf(file);
    return disk ? disk->CutAtPosition() : FALSE;
}

BOOL FlushFileBuffers(HANDLE file)
{
    auto disk = FileOf(file);
    return disk ? disk->Flush() : FALSE;
}

}  // extern "C"
