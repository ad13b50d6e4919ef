// The desktop framework's file: one open file on disk, read and written in
// place, whose failures are raised as FileException.
//
// Written over the Win32 file calls of platform/file_io.h only, so that it
// builds for the simulated target and for Windows alike. Sizes and positions
// are 32-bit: the files it serves (registry scripts) are small, and a file of
// 4 GiB or more is refused as too large.
//
// Threads: an object is used by one thread at a time.
//
//     vtfw::File file;
//     if (file.OpenForReadWrite(TEXT("C:\\TREE\\a.reg")) != ERROR_SUCCESS) return;
//     try {
//         file.SeekToEnd();
//         file.Write("\r\n", 2);
//     } catch (const vtfw::FileException& e) { /* e.Error() is the platform's code */ }
#pragma once

#include <cstddef>
#include <exception>

#include "platform/file_io.h"
#include "platform/types.h"

namespace vtfw {

// A failed file operation: which one, and the platform's error code
// (GetLastError at the failure, or the code named by the raising member).
class FileException : public std::exception {
public:
    // Open: opening a file; Create: making the temporary file of a save;
    // Flush: putting a file's bytes on the disk; Replace: putting the saved
    // file in the old one's place.
    enum class Operation { Length, Seek, SetLength, Read, Write, Open, Create, Flush, Replace };

    FileException(Operation operation, DWORD error) noexcept;
    Operation operation() const noexcept
    {
        return operation_;
    }
    DWORD Error() const noexcept
    {
        return error_;
    }
    // "file write failed, error 112" and the like.
    const char* what() const noexcept override
    {
        return text_;
    }

private:
    Operation operation_;
    DWORD error_;
    char text_[48];
};

class File {
public:
    File() noexcept = default;
    // Closes the file if it is open; never raises.
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens an existing file for reading and writing (others may read it while
    // it is open, not write it), at position 0; a file already open in this
    // object is closed first. Returns ERROR_SUCCESS, or the platform's error
    // code for the failed open (ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND,
    // ERROR_ACCESS_DENIED, ...), the object then holding no file. Never raises.
    DWORD OpenForReadWrite(LPCWSTR path) noexcept;
    // The same for reading only (every member that would change the file
    // then raises with ERROR_ACCESS_DENIED).
    DWORD OpenForRead(LPCWSTR path) noexcept;
    bool IsOpen() const noexcept
    {
        return handle_ != INVALID_HANDLE_VALUE;
    }

    // The file's length in bytes. Raises Length (ERROR_FILE_TOO_LARGE for a
    // file of 4 GiB or more).
    DWORD Length() const;

    // Moves the position to offset from FILE_BEGIN, FILE_CURRENT or FILE_END
    // and returns the new position; past the end is allowed. Raises Seek
    // (ERROR_NEGATIVE_SEEK before the start, ERROR_INVALID_PARAMETER for a bad
    // origin or a position beyond 32 bits); the position is then unchanged.
    DWORD Seek(LONG offset, DWORD origin);
    void SeekToBegin()
    {
        Seek(0, FILE_BEGIN);
    }
    // Returns the length.
    DWORD SeekToEnd()
    {
        return Seek(0, FILE_END);
    }

    // Cuts the file to length bytes, or extends it with zero bytes; the
    // position is then length. Raises SetLength.
    void SetLength(DWORD length);

    // Reads up to count bytes at the position into buffer and returns how
    // many were read (fewer than count only at the end of the file); the
    // position moves past them. Raises Read.
    DWORD Read(void* buffer, DWORD count);

    // Writes count bytes at the position, extending the file as needed; the
    // position moves past them. Raises Write when the platform fails or
    // writes fewer bytes (ERROR_DISK_FULL then); what was written stays.
    void Write(const void* data, DWORD count);

    // Closes the file if it is open; never raises (a handle that does not
    // close is given up either way).
    void Close() noexcept;

    // Every member that touches the file raises its operation with
    // ERROR_INVALID_HANDLE when no file is open.

private:
    HANDLE RequireOpen(FileException::Operation operation) const;
    DWORD OpenExisting(LPCWSTR path, DWORD access) noexcept;

    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Replaces the whole content of the existing file at path with size bytes at
// data, all or nothing: the bytes go to a temporary file in the folder of the
// file that path leads to (symbolic links followed), named after it with
// ".save.tmp" appended, are flushed to the disk, and the temporary file then
// takes the file's place by ReplaceFileW, which keeps the file's
// permissions and owner and leaves a link at path a link. Whatever stops it
// (a failure, the process killed, the power lost), the file afterwards holds
// its old bytes or the new ones. A temporary file that an interrupted save
// left is removed by the next save; one that this save made is removed when
// it fails.
// Returns true; false with *failure set to the step that failed (Open: the
// file itself, Create, Write, Flush, Replace) and the platform's error code.
// Never raises. One thread at a time per file.
bool SaveFileAtomically(LPCWSTR path, const void* data, std::size_t size, FileException* failure);

}  // namespace vtfw
