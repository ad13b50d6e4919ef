// The reason number of a failed device control request.
#include "library/status.h"

#include "common/control_codes.h"
#include "library/include/rlx4100.h"
#include "platform/kernel.h"

DWORD StatusFromLastError()
{
    const DWORD error = GetLastError();
    if (error == 0) {
        return 0;
    }
    if (error == 0xFFFFFFFFu) {
        return API_SYS_UNKNOWN;
    }
    if ((error & DRV_STATUS_APPLICATION_BIT) != 0) {
        return error & ~DRV_STATUS_APPLICATION_BIT;
    }
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return API_SYS_FILE_NOT_FOUND;
    case ERROR_INVALID_HANDLE:
        return API_SYS_INVALID_HANDLE;
    case 56:  // too many commands
        return API_SYS_TOO_MANY_COMMANDS;
    case ERROR_NOACCESS:
        return API_SYS_NO_ACCESS;
    default:
        return error;
    }
}
