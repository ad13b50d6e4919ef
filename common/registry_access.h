// The table-driven registry accessor that the driver and the library share.
#pragma once

#include "platform/types.h"

// One row of a table handed to AccessRegistryValues; a row whose name is
// null ends the table.
struct RegistryValueEntry {
    const WCHAR* name;
    DWORD type;  // REG_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ; on reading, the stored type
    DWORD size;  // reading: buffer capacity in, stored size out; writing: REG_BINARY size
    void* data;
};

constexpr DWORD REGISTRY_ACCESS_WRITE = 1;
constexpr DWORD REGISTRY_ACCESS_READ = 0;

// Reads (mode other than 1) or writes (mode 1) the rows' values in the key
// keyPath (relative to HKEY_LOCAL_MACHINE). Writing into an existing key
// writes nothing unless overwrite is nonzero. Returns 1 on success, 0 on the
// first failing row (rows before it keep what was read or written); a null
// key path or table fails at once. A row whose data cannot be read while
// writing fails the call instead of faulting.
DWORD AccessRegistryValues(const WCHAR* keyPath, RegistryValueEntry* table, DWORD mode,
                           DWORD overwrite);
