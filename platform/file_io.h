// Files: opening files and device files by name, and reading, writing,
// seeking, sizing and cutting files on the file system.
//
// Handles from CreateFileW are kernel handles, closed with CloseHandle
// (platform/kernel.h). One handle has one file position, shared by every
// thread that uses the handle; each call on a handle is atomic with respect to
// the other calls on the same handle. Calls on a handle that is not an open
// file fail with ERROR_INVALID_HANDLE. lpOverlapped must be NULL everywhere
// (no asynchronous I/O); a non-NULL one fails with ERROR_INVALID_PARAMETER.
#pragma once

#if defined(_WIN32)
#include "platform/windows/sdk.h"
#else

#include "platform/types.h"

constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;
constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFF;

extern "C" {

// Opens a device file or a file.
//
// Device files: a name that ends in ':' and holds no '\' or '/' ("VTD1:") is
// a device name, opened through the device manager as
// platform/device_file.h describes; the creation disposition is not looked
// at there.
//
// Files: any other name is a path, '\' and '/' both separating its parts
// ("C:\TREE\a.reg", "\tmp\a.reg", "sub\a.reg" relative to the current
// directory). desiredAccess: GENERIC_READ and/or GENERIC_WRITE (a read on a
// handle without GENERIC_READ, or a write, cut or extension without
// GENERIC_WRITE, fails with ERROR_ACCESS_DENIED). creationDisposition:
// CREATE_NEW (fails with ERROR_FILE_EXISTS when the file exists),
// CREATE_ALWAYS (empties an existing file), OPEN_EXISTING, OPEN_ALWAYS,
// TRUNCATE_EXISTING (needs GENERIC_WRITE). On success the position is 0 and
// the last error is 0, or ERROR_ALREADY_EXISTS when CREATE_ALWAYS or
// OPEN_ALWAYS found the file. Failures: ERROR_FILE_NOT_FOUND (no such file, or
// an empty name), ERROR_PATH_NOT_FOUND (a missing folder, or a drive letter
// that names no drive), ERROR_ACCESS_DENIED (no permission, or a folder),
// ERROR_INVALID_NAME (one of < > " | ? * or a control character, or ':'
// anywhere but after a drive letter), ERROR_BAD_NETPATH (a "\\server\share"
// name), ERROR_INVALID_PARAMETER (a bad disposition or a NULL name).
// share mode, security, flags and template are accepted; the host does not
// enforce share modes.
//
// Returns the handle, or INVALID_HANDLE_VALUE with the last error set.
HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode,
                   LPSECURITY_ATTRIBUTES security, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);

// The size of the file in bytes: the low 32 bits are returned and the high 32
// bits stored in *fileSizeHigh when it is not NULL. On success the last error
// is NO_ERROR (so that a size whose low part is 0xFFFFFFFF can be told from a
// failure); on failure returns INVALID_FILE_SIZE with the last error set.
DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh);

// Moves the file position by a signed distance from FILE_BEGIN, FILE_CURRENT
// or FILE_END. distanceToMoveHigh NULL: the distance is the 32-bit signed
// distanceToMove, and the new position must fit in 32 bits; otherwise the
// distance is the 64-bit value (*distanceToMoveHigh << 32 | distanceToMove)
// and *distanceToMoveHigh receives the high 32 bits of the new position.
// Positions past the end are allowed (a write there extends the file, the gap
// reading as zero bytes). Returns the low 32 bits of the new position with
// last error NO_ERROR; on failure INVALID_SET_FILE_POINTER, the position
// unchanged and the last error ERROR_NEGATIVE_SEEK (a position before the
// start), ERROR_INVALID_PARAMETER (a bad method, or a position beyond 32 bits
// without distanceToMoveHigh) or ERROR_INVALID_HANDLE.
DWORD SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh, DWORD moveMethod);

// Makes the current position the end of the file: bytes after it are cut
// off, or the file is extended with zero bytes up to it. The position does
// not move. FALSE with the last error set on failure.
BOOL SetEndOfFile(HANDLE file);

// Reads up to numberOfBytesToRead bytes at the position into buffer and
// advances the position by the count read, stored in *numberOfBytesRead
// (which must not be NULL). Reading at or past the end succeeds with 0 bytes.
// FALSE with the last error set on failure (*numberOfBytesRead then holds
// what was read before the failure).
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD numberOfBytesToRead, LPDWORD numberOfBytesRead,
              LPOVERLAPPED overlapped);

// Writes numberOfBytesToWrite bytes at the position (extending the file as
// needed) and advances the position by the count written, stored in
// *numberOfBytesWritten (which must not be NULL). Writing 0 bytes changes
// nothing. FALSE with the last error set on failure, e.g. ERROR_DISK_FULL
// when the device has no room (*numberOfBytesWritten then holds the part
// that was written).
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD numberOfBytesToWrite,
               LPDWORD numberOfBytesWritten, LPOVERLAPPED overlapped);

// Writes what the handle's file holds in the system's buffers to the disk
// and returns once it is there. FALSE with the last error set on failure
// (ERROR_WRITE_FAULT when the disk does not take it; ERROR_ACCESS_DENIED on
// a handle opened without GENERIC_WRITE).
BOOL FlushFileBuffers(HANDLE file);

// Deletes the file fileName (a symbolic link itself, not its target). FALSE
// with the last error set: ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND,
// ERROR_ACCESS_DENIED (no permission, or a folder), or a CreateFileW name
// error.
BOOL DeleteFileW(LPCWSTR fileName);

// Replaces the file replacedFileName with the file replacementFileName in one
// step: afterwards the name gives the replacement's bytes, or, when the call
// fails, still the old file's (never a mixture), and replacementFileName is
// gone on success. The replaced file's permissions and owner pass to the
// replacement. A symbolic link at replacedFileName stays a link: the file it
// leads to is what is replaced, so the replacement must be in that file's
// folder (see GetFinalPathNameByHandleW). On the simulated target the
// folder's new entry is on the disk when the call returns, with or without
// REPLACEFILE_WRITE_THROUGH. backupFileName must be NULL (the host keeps no
// backup; ERROR_INVALID_PARAMETER otherwise), exclude and reserved are not
// used. FALSE with the last error set: ERROR_FILE_NOT_FOUND (either file
// missing), ERROR_UNABLE_TO_REMOVE_REPLACED (the replaced file may not be
// removed: no permission in its folder, or it is immutable),
// ERROR_UNABLE_TO_MOVE_REPLACEMENT (the move failed, for example across file
// systems), ERROR_ACCESS_DENIED (one of them is a folder), or a CreateFileW
// name error.
BOOL ReplaceFileW(LPCWSTR replacedFileName, LPCWSTR replacementFileName, LPCWSTR backupFileName,
                  DWORD replaceFlags, LPVOID exclude, LPVOID reserved);

// The full name of the file open on the handle, with every symbolic link on
// the way resolved, into path (capacity in characters). flags must be
// FILE_NAME_NORMALIZED | VOLUME_NAME_DOS (0). On the simulated target the
// name is the host's absolute path with '\' separators ("\tmp\a.reg"),
// which CreateFileW opens again; on Windows it may begin with "\\?\".
// Returns the length without the terminator; when it does not fit, the
// capacity needed with the terminator (path untouched); 0 with the last error
// set on failure (ERROR_INVALID_HANDLE for a handle that is no file).
DWORD GetFinalPathNameByHandleW(HANDLE file, LPWSTR path, DWORD capacity, DWORD flags);

}  // extern "C"

#endif  // _WIN32
