// Device files: the open of a device name (for CreateFileW), DeviceIoControl
// and the close of the handle, routed to the loaded driver's Open, IOControl
// and Close.
#include "platform/device_file.h"

#include <typeinfo>

#include "platform/host/devices/device_manager.h"
#include "platform/host/kernel/counters_and_faults.h"
#include "platform/kernel.h"

namespace vtsim::internal {

BOOL OpenDeviceFile::OnHandleClosed()
{
    // Requests in flight on this handle finish before the driver sees Close.
    gate_.Shut();
    if (!device_->gate.Enter()) {
        // The device is being unloaded (or was): the unload closes the file,
        // which stays on the device's list until the unload takes it.
        return TRUE;
    }
    const BOOL result = CloseInDriverOnce();
    device_->RemoveFile(this);
    device_->gate.Leave();
    return result;
}

bool OpenDeviceFile::AdmitRequest(KernelObject& object)
{
    return typeid(object) == typeid(OpenDeviceFile) &&
           static_cast<OpenDeviceFile&>(object).gate_.Enter();
}

BOOL OpenDeviceFile::ControlAdmitted(DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                                     LPDWORD returned)
{
    BOOL result = device_->entry.ioControl(openContext_, code, static_cast<PBYTE>(in), inSize,
                                           static_cast<PBYTE>(out), outSize, returned);
    gate_.Leave();  // the last use of this file
    return result;
}

void OpenDeviceFile::CloseForUnload()
{
    gate_.Shut();
    CloseInDriverOnce();
}

BOOL OpenDeviceFile::CloseInDriverOnce()
{
    if (driverClosed_.exchange(true)) {
        return TRUE;
    }
    return device_->entry.close(openContext_);
}

HANDLE OpenDeviceFileByName(const std::u16string& fileName, DWORD desiredAccess, DWORD shareMode)
{
    if (vtsim::internal::ShouldFail(vtsim::Fault::DeviceOpen)) {
        SetLastError(ERROR_GEN_FAILURE);
        return INVALID_HANDLE_VALUE;
    }
    auto device = vtsim::internal::FindDevice(fileName);
    if (!device || !device->gate.Enter()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    SetLastError(ERROR_SUCCESS);
    DWORD_PTR openContext = device->entry.open(device->deviceContext, desiredAccess, shareMode);
    if (openContext == 0) {
        if (GetLastError() == ERROR_SUCCESS) {
            SetLastError(ERROR_GEN_FAILURE);
        }
        device->gate.Leave();
        return INVALID_HANDLE_VALUE;
    }
    auto file = std::make_shared<OpenDeviceFile>(device, openContext);
    device->AddFile(file);
    HANDLE handle = vtsim::internal::InsertHandle(file);
    if (!handle) {
        DWORD error = GetLastError();
        device->RemoveFile(file.get());
        file->CloseForUnload();  // gives the open back to the driver
        SetLastError(error);
        device->gate.Leave();
        return INVALID_HANDLE_VALUE;
    }
    device->gate.Leave();
    return handle;
}

}  // namespace vtsim::internal

using vtsim::internal::OpenDeviceFile;

extern "C" {

BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer, DWORD inSize,
                     LPVOID outBuffer, DWORD outSize, LPDWORD bytesReturned, LPOVERLAPPED)
{
    // Admitted into the file's gate under the handle table's lock, the file
    // needs no reference of its own: its close waits for admitted requests.
    auto* file = static_cast<OpenDeviceFile*>(
        vtsim::internal::LookupHandleAdmitted(device, &OpenDeviceFile::AdmitRequest));
    if (file == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return file->ControlAdmitted(ioControlCode, inBuffer, inSize, outBuffer, outSize,
                                 bytesReturned);
}

}  // extern "C"
