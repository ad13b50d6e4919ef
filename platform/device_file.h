// Device files: the application side of the stream-interface driver model.
#pragma once

#if defined(_WIN32)
#include "platform/windows/sdk.h"
#else

#include "platform/file_io.h"
#include "platform/types.h"

extern "C" {

// CreateFileW (declared in platform/file_io.h) opens a device file by its
// name ("VTD1:"): the device manager routes the open to the driver's Open
// entry with the access and share modes. It returns INVALID_HANDLE_VALUE on
// failure: ERROR_FILE_NOT_FOUND for a name that no loaded driver has, or the
// error the driver left when its Open failed. The handle is closed with
// CloseHandle, which calls the driver's Close.

// Sends a control request to the driver's IOControl entry, in the calling
// thread. Returns the driver's result; *bytesReturned and the thread's last
// error are as the driver left them. FALSE with ERROR_INVALID_HANDLE when the
// handle is not an open device file.
BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer, DWORD inSize,
                     LPVOID outBuffer, DWORD outSize, LPDWORD bytesReturned,
                     LPOVERLAPPED overlapped);

}  // extern "C"

#endif  // _WIN32
