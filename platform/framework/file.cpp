// The framework's file over the Win32 file calls.
#include "platform/framework/file.h"

#include <cstdio>

#include "platform/kernel.h"

namespace vtfw {
namespace {

const char* NameOf(FileException::Operation operation)
{
    switch (operation) {
    case FileException::Operation::Length:
        return "length";
    case FileException::Operation::Seek:
        return "seek";
    case FileException::Operation::SetLength:
        return "set length";
    case FileException::Operation::Read:
        return "read";
    case FileException::Operation::Write:
        return "write";
    case FileException::Operation::Open:
        return "open";
    case FileException::Operation::Create:
        return "create";
    case FileException::Operation::Flush:
        return "flush";
    case FileException::Operation::Replace:
        return "replace";
    }
    return "operation";
}

[[noreturn]] void Raise(FileException::Operation operation, DWORD error)
{
    throw FileException(operation, error);
}

}  // namespace

FileException::FileException(Operation operation, DWORD error) noexcept
    : operation_(operation), error_(error)
{
    std::snprintf(text_, sizeof text_, "file %s failed, error %lu", NameOf(operation),
                  static_cast<unsigned long>(error));
}

File::~File()
{
    Close();
}

DWORD File::OpenForReadWrite(LPCWSTR path) noexcept
{
    return OpenExisting(path, GENERIC_READ | GENERIC_WRITE);
}

DWORD File::OpenForRead(LPCWSTR path) noexcept
{
    return OpenExisting(path, GENERIC_READ);
}

DWORD File::OpenExisting(LPCWSTR path, DWORD access) noexcept
{
    Close();
    HANDLE handle = CreateFileW(path, access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
    }
    handle_ = handle;
    return ERROR_SUCCESS;
}

HANDLE File::RequireOpen(FileException::Operation operation) const
{
    if (!IsOpen()) {
        Raise(operation, ERROR_INVALID_HANDLE);
    }
    return handle_;
}

DWORD File::Length() const
{
    HANDLE handle = RequireOpen(FileException::Operation::Length);
    DWORD high = 0;
    SetLastError(NO_ERROR);  // a length whose low part is 0xFFFFFFFF is valid
    DWORD low = GetFileSize(handle, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        Raise(FileException::Operation::Length, GetLastError());
    }
    if (high != 0) {
        Raise(FileException::Operation::Length, ERROR_FILE_TOO_LARGE);
    }
    return low;
}

DWORD File::Seek(LONG offset, DWORD origin)
{
    HANDLE handle = RequireOpen(FileException::Operation::Seek);
    // A position of 0xFFFFFFFF is valid, so only the last error tells failure.
    SetLastError(NO_ERROR);
    DWORD position = SetFilePointer(handle, offset, nullptr, origin);
    if (position == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
        Raise(FileException::Operation::Seek, GetLastError());
    }
    return position;
}

void File::SetLength(DWORD length)
{
    HANDLE handle = RequireOpen(FileException::Operation::SetLength);
    // Lengths above 2 GiB do not fit the signed low part alone.
    LONG high = 0;
    SetLastError(NO_ERROR);
    DWORD position = SetFilePointer(handle, static_cast<LONG>(length), &high, FILE_BEGIN);
    if (position == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
        Raise(FileException::Operation::SetLength, GetLastError());
    }
    if (!SetEndOfFile(handle)) {
        Raise(FileException::Operation::SetLength, GetLastError());
    }
}

DWORD File::Read(void* buffer, DWORD count)
{
    HANDLE handle = RequireOpen(FileException::Operation::Read);
    DWORD done = 0;
    if (!ReadFile(handle, buffer, count, &done, nullptr)) {
        Raise(FileException::Operation::Read, GetLastError());
    }
    return done;
}

void File::Write(const void* data, DWORD count)
{
    HANDLE handle = RequireOpen(FileException::Operation::Write);
    DWORD done = 0;
    if (!WriteFile(handle, data, count, &done, nullptr)) {
        Raise(FileException::Operation::Write, GetLastError());
    }
    if (done != count) {
        Raise(FileException::Operation::Write, ERROR_DISK_FULL);
    }
}

void File::Close() noexcept
{
    if (!IsOpen()) {
        return;
    }
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

}  // namespace vtfw
