// The table-driven registry accessor.
//
// Writing never reads a row's data directly: every byte of it (and of the
// strings whose length decides its size) is fetched through the platform's
// guarded copy into a local buffer first, so a row with a bad data pointer
// makes the call fail instead of faulting, in the driver as in the library.
#include "common/registry_access.h"

#include <cstdint>

#include "platform/ddk.h"
#include "platform/kernel.h"
#include "platform/registry.h"

namespace {

constexpr DWORD LOCAL_BUFFER_BYTES = 256;
constexpr std::uint64_t MAX_VALUE_BYTES = 0xFFFFFFFFu;

// Reads one character through the guarded copy.
bool ReadChar(const WCHAR* at, WCHAR* c)
{
    return CeSafeCopyMemory(c, at, sizeof(WCHAR)) != FALSE;
}

// Length in characters of the string at text, measured through guarded reads.
bool GuardedLength(const WCHAR* text, std::uint64_t* chars)
{
    std::uint64_t n = 0;
    for (;;) {
        WCHAR c = 0;
        if (!ReadChar(text + n, &c)) {
            return false;
        }
        if (c == 0) {
            *chars = n;
            return true;
        }
        if (++n * sizeof(WCHAR) >= MAX_VALUE_BYTES) {
            return false;
        }
    }
}

// The size in bytes that a row of this type writes: REG_SZ (characters + 1)
// x 2; REG_BINARY the row's size; REG_DWORD 4; REG_MULTI_SZ (sum of
// characters + 1 over the strings, plus 1) x 2. False for any other type or
// unreadable data.
bool WriteSize(const RegistryValueEntry& row, DWORD* size)
{
    std::uint64_t chars = 0;
    switch (row.type) {
    case REG_SZ:
        if (!GuardedLength(static_cast<const WCHAR*>(row.data), &chars)) {
            return false;
        }
        *size = static_cast<DWORD>((chars + 1) * sizeof(WCHAR));
        return true;
    case REG_BINARY:
        *size = row.size;
        return true;
    case REG_DWORD:
        *size = sizeof(DWORD);
        return true;
    case REG_MULTI_SZ: {
        const WCHAR* text = static_cast<const WCHAR*>(row.data);
        std::uint64_t total = 0;
        for (;;) {
            std::uint64_t length = 0;
            if (!GuardedLength(text + total, &length)) {
                return false;
            }
            total += length + 1;
            if (length == 0) {
                break;  // the empty string that ends the list
            }
            if (total * sizeof(WCHAR) >= MAX_VALUE_BYTES) {
                return false;
            }
        }
        *size = static_cast<DWORD>(total * sizeof(WCHAR));
        return true;
    }
    default:
        return false;
    }
}

// Writes one row through a local copy of its data.
bool WriteRow(HKEY key, const RegistryValueEntry& row)
{
    DWORD size = 0;
    if (!WriteSize(row, &size)) {
        return false;
    }
    alignas(DWORD) BYTE local[LOCAL_BUFFER_BYTES];
    BYTE* buffer = local;
    if (size > sizeof(local)) {
        buffer = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, size));
        if (buffer == nullptr) {
            return false;
        }
    }
    bool ok = CeSafeCopyMemory(buffer, row.data, size) != FALSE;
    if (ok && (row.type == REG_SZ || row.type == REG_MULTI_SZ)) {
        // The terminator measured a moment ago stays a terminator even if
        // the caller's string changed meanwhile.
        buffer[size - 1] = 0;
        buffer[size - 2] = 0;
    }
    ok = ok && RegSetValueExW(key, row.name, 0, row.type, buffer, size) == ERROR_SUCCESS;
    if (buffer != local) {
        LocalFree(buffer);
    }
    return ok;
}

DWORD ReadValues(const WCHAR* keyPath, RegistryValueEntry* table)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, 0, &key) != ERROR_SUCCESS) {
        return 0;
    }
    for (RegistryValueEntry* row = table; row->name != nullptr; ++row) {
        if (RegQueryValueExW(key, row->name, nullptr, &row->type, static_cast<LPBYTE>(row->data),
                             &row->size) != ERROR_SUCCESS) {
            RegCloseKey(key);
            return 0;
        }
    }
    RegCloseKey(key);
    return 1;
}

DWORD WriteValues(const WCHAR* keyPath, const RegistryValueEntry* table, DWORD overwrite)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, 0, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        if (overwrite == 0) {
            return 1;
        }
    }
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, 0,
                        nullptr, &key, &disposition) != ERROR_SUCCESS) {
        return 0;
    }
    for (const RegistryValueEntry* row = table; row->name != nullptr; ++row) {
        if (!WriteRow(key, *row)) {
            RegCloseKey(key);
            return 0;
        }
    }
    RegCloseKey(key);
    return 1;
}

}  // namespace

DWORD AccessRegistryValues(const WCHAR* keyPath, RegistryValueEntry* table, DWORD mode,
                           DWORD overwrite)
{
    if (keyPath == nullptr || table == nullptr) {
        return 0;
    }
    if (mode == REGISTRY_ACCESS_WRITE) {
        return WriteValues(keyPath, table, overwrite);
    }
    return ReadValues(keyPath, table);
}
