// Registry services of the target platform.
//
// One hive under HKEY_LOCAL_MACHINE. Key paths use backslashes; key and value
// names are matched without regard to case and keep the case they were
// created with. Results are ERROR_* codes (ERROR_SUCCESS on success). Keys
// are handles: every opened or created key must be closed with RegCloseKey.
// All services are thread-safe.
#pragma once

#if defined(_WIN32)
#include "platform/windows/sdk.h"
#else

#include "platform/types.h"

#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002u)))

extern "C" {

// Opens an existing key below root (a predefined root or an open key).
// subKey NULL or empty opens root again. ERROR_FILE_NOT_FOUND when a path
// element is missing; ERROR_INVALID_HANDLE for a bad root; ERROR_INVALID_PARAMETER
// for a NULL result pointer.
LONG RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);

// Opens the key, creating it and any missing parents. disposition (may be
// NULL) receives REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
// ERROR_INVALID_PARAMETER for a malformed path (an empty element, a name
// longer than 255 characters or holding a control character); nothing is
// created then.
LONG RegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD reserved, LPWSTR className, DWORD options,
                     REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                     LPDWORD disposition);

// Names the index-th subkey (in creation order). On entry *nameChars is the
// capacity of name in characters including the terminator; on success it is
// the name's length without the terminator. ERROR_MORE_DATA when the name
// and its terminator do not fit (nothing is copied); ERROR_NO_MORE_ITEMS when
// index is past the last subkey.
LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameChars, LPDWORD reserved,
                   LPWSTR className, LPDWORD classChars, PFILETIME lastWrite);

// Reads a value. type (may be NULL) receives its type. With data NULL and
// size given, *size receives the stored size in bytes. With data, *size is
// the buffer's capacity: when the value fits it is copied and *size is the
// stored size; otherwise ERROR_MORE_DATA with *size set to the stored size.
// ERROR_FILE_NOT_FOUND when the value does not exist. REG_SZ values are
// stored as UTF-16 bytes including the terminator.
LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size);

// Writes a value of the given type and size (bytes copied as given).
// ERROR_INVALID_PARAMETER when data is NULL with a non-zero size or the
// name holds a control character.
LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD size);

// Closes a key handle. ERROR_INVALID_HANDLE for a bad handle. Closing a
// predefined root is allowed and does nothing.
LONG RegCloseKey(HKEY key);

}  // extern "C"

#endif  // _WIN32
