// CreateFileW: device names go to the device manager, every other name to
// the host's file system.
#include <string>

#include "platform/file_io.h"
#include "platform/host/devices/device_manager.h"
#include "platform/host/files/disk_file.h"
#include "platform/host/files/host_paths.h"
#include "platform/kernel.h"

extern "C" HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode,
                              LPSECURITY_ATTRIBUTES, DWORD creationDisposition, DWORD, HANDLE)
{
    using namespace vtsim::internal;
    if (!fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const std::u16string name(fileName);
    if (IsDeviceFileName(name)) {
        return OpenDeviceFileByName(name, desiredAccess, shareMode);
    }

    std::string hostPath;
    DWORD error = HostPathFor(name, &hostPath);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    auto file = OpenDiskFile(hostPath, desiredAccess, creationDisposition, &error);
    if (!file) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = InsertHandle(file);  // on failure the file closes as it dies
    if (!handle) {
        return INVALID_HANDLE_VALUE;
    }
    SetLastError(error);  // ERROR_SUCCESS or ERROR_ALREADY_EXISTS
    return handle;
}
