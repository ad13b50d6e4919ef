#include "platform/windows/ce_compat.h"

// The system copies on the process's behalf and reports an unreadable or
// unwritable range as a failure, which is the guard the CE call gives.
BOOL CeSafeCopyMemory(LPVOID dst, LPCVOID src, DWORD size)
{
    if (size == 0) {
        return TRUE;
    }
    SIZE_T copied = 0;
    return ReadProcessMemory(GetCurrentProcess(), src, dst, size, &copied) && copied == size
               ? TRUE
               : FALSE;
}
