// Saving a file's whole content all or nothing: a temporary file beside it,
// flushed, then put in its place.
#include <string>

#include "platform/file_io.h"
#include "platform/framework/file.h"
#include "platform/kernel.h"

namespace vtfw {
namespace {

using Text = std::basic_string<WCHAR>;

// Bytes go to the disk in pieces of this size.
constexpr std::size_t kWriteChunk = 64 * 1024;

class HandleCloser {
public:
    explicit HandleCloser(HANDLE handle) : handle_(handle) {}
    ~HandleCloser()
    {
        Close();
    }
    HandleCloser(const HandleCloser&) = delete;
    HandleCloser& operator=(const HandleCloser&) = delete;
    HANDLE get() const
    {
        return handle_;
    }
    // Closes the handle; false when the close reports a failure.
    bool Close()
    {
        if (handle_ == INVALID_HANDLE_VALUE) {
            return true;
        }
        const BOOL closed = CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

private:
    HANDLE handle_;
};

bool Fail(FileException* failure, FileException::Operation operation, DWORD error)
{
    if (failure) {
        *failure = FileException(operation, error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE);
    }
    return false;
}

// The name of the file that path leads to, links resolved: the name the
// system gives for an open of it, without a "\\?\" prefix before a drive.
bool FinalName(LPCWSTR path, Text* name, DWORD* error)
{
    HandleCloser file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    DWORD needed = GetFinalPathNameByHandleW(file.get(), nullptr, 0, 0);
    if (needed == 0) {
        *error = GetLastError();
        return false;
    }
    name->assign(needed, WCHAR{0});
    const DWORD length = GetFinalPathNameByHandleW(file.get(), name->data(), needed, 0);
    if (length == 0 || length >= needed) {
        *error = length == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER;
        return false;
    }
    name->resize(length);
    static constexpr WCHAR kLongPrefix[] = {'\\', '\\', '?', '\\'};
    if (name->size() > 6 && name->compare(0, 4, kLongPrefix, 4) == 0 && (*name)[5] == ':') {
        name->erase(0, 4);
    }
    return true;
}

}  // namespace

bool SaveFileAtomically(LPCWSTR path, const void* data, std::size_t size, FileException* failure)
{
    using Operation = FileException::Operation;
    Text target;
    DWORD error = ERROR_SUCCESS;
    if (!path || !FinalName(path, &target, &error)) {
        return Fail(failure, Operation::Open, path ? error : ERROR_INVALID_PARAMETER);
    }
    static constexpr WCHAR kSuffix[] = {'.', 's', 'a', 'v', 'e', '.', 't', 'm', 'p', 0};
    const Text temporary = target + kSuffix;

    // What an interrupted save left goes first; CREATE_NEW then makes the
    // file anew (and follows no link planted in its place).
    DeleteFileW(temporary.c_str());
    HandleCloser file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        return Fail(failure, Operation::Create, GetLastError());
    }
    auto abandon = [&](Operation operation, DWORD code) {
        file.Close();
        DeleteFileW(temporary.c_str());
        return Fail(failure, operation, code);
    };
    const char* bytes = static_cast<const char*>(data);
    for (std::size_t done = 0; done < size;) {
        const DWORD piece =
            static_cast<DWORD>(size - done < kWriteChunk ? size - done : kWriteChunk);
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes + done, piece, &written, nullptr)) {
            return abandon(Operation::Write, GetLastError());
        }
        if (written != piece) {
            return abandon(Operation::Write, ERROR_DISK_FULL);
        }
        done += piece;
    }
    if (!FlushFileBuffers(file.get())) {
        return abandon(Operation::Flush, GetLastError());
    }
    if (!file.Close()) {
        return abandon(Operation::Write, GetLastError());
    }
    // No flags: the write-through flag is not supported everywhere, and the
    // replacement's bytes are already on the disk.
    if (!ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, 0, nullptr, nullptr)) {
        return abandon(Operation::Replace, GetLastError());
    }
    return true;
}

}  // namespace vtfw
