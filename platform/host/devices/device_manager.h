// The simulated target's device manager (internal to platform/host/): loads
// stream driver modules for the enumerated boards, keeps the table of loaded
// devices, and gives the device-file services what they need to route opens,
// control requests and closes to a driver.
#pragma once

#include "platform/host/internal_header.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/host/control/target.h"
#include "platform/host/kernel/objects.h"
#include "platform/stream_driver.h"

namespace vtsim::internal {

// Admits calls into a driver until it is shut; Shut() then waits for the
// calls in flight to return. Enter/Leave are one atomic operation each, so a
// control request pays no lock on its way to the driver. Leave() touches
// nothing after its decrement, so once Shut() has returned and no new
// Enter() can begin (the only way to the gate was removed under a lock
// before the Shut), its owner may free it, even while the last caller is
// still returning from Leave(): an object released that way stays alive for
// every admitted call without a reference of its own.
class CallGate {
public:
    // True when the call may go ahead; the caller then owes one Leave().
    bool Enter();
    void Leave();
    // Refuses every later Enter() and waits for the admitted calls to leave.
    // Must not be called from inside an admitted call of the same gate.
    void Shut();
    bool IsShut() const
    {
        return shut_.load();
    }

private:
    std::atomic<int> inFlight_{0};
    std::atomic<bool> shut_{false};
};

// The entry points of one loaded driver module (prefix "VTD" gives VTD_Init, ...).
struct StreamEntryPoints {
    PFN_Init init = nullptr;
    PFN_Deinit deinit = nullptr;
    PFN_Open open = nullptr;
    PFN_Close close = nullptr;
    PFN_IOControl ioControl = nullptr;
    PFN_Read read = nullptr;
    PFN_Write write = nullptr;
    PFN_Seek seek = nullptr;
    PFN_PowerUpDown powerUp = nullptr;
    PFN_PowerUpDown powerDown = nullptr;
};

class OpenDeviceFile;
struct DriverModule;

// One device that the device manager has loaded ("VTD1:").
class StreamDevice {
public:
    LoadedDevice info;
    StreamEntryPoints entry;
    DWORD_PTR deviceContext = 0;
    std::shared_ptr<DriverModule> module;
    // Opens and closes pass through it; shut when the device is unloaded.
    CallGate gate;

    // The device's open files (the device manager closes those still open
    // when it unloads the device). TakeFiles empties the list and returns
    // what it held, so that files and device stop holding each other.
    void AddFile(const std::shared_ptr<OpenDeviceFile>& file);
    void RemoveFile(const OpenDeviceFile* file);
    std::vector<std::shared_ptr<OpenDeviceFile>> TakeFiles();

private:
    std::mutex filesMutex_;
    std::vector<std::shared_ptr<OpenDeviceFile>> files_;
};

// An open device file: the object behind a CreateFileW handle. Control
// requests pass through its gate; the driver's Close runs exactly once, when
// the handle is closed or, if the device is unloaded first, at the unload.
class OpenDeviceFile final : public KernelObject {
public:
    OpenDeviceFile(std::shared_ptr<StreamDevice> device, DWORD_PTR openContext)
        : device_(std::move(device)), openContext_(openContext)
    {}
    BOOL OnHandleClosed() override;

    // Admits one control request into the file, for LookupHandleAdmitted:
    // false when the object is not an open device file, or the file is
    // closed or its device unloaded.
    static bool AdmitRequest(KernelObject& object);
    // The device's IOControl for this open, for a request that AdmitRequest
    // admitted; ends the admission (the file may be gone when it returns).
    BOOL ControlAdmitted(DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                         LPDWORD returned);

    // Shuts the file: waits for the requests in flight, then the driver's
    // Close (once). Called by the device manager while it unloads the device
    // (its gate shut), and by an open whose handle could not be issued.
    void CloseForUnload();

private:
    BOOL CloseInDriverOnce();

    std::shared_ptr<StreamDevice> device_;
    const DWORD_PTR openContext_;
    CallGate gate_;
    std::atomic<bool> driverClosed_{false};
};

// One board that bus enumeration matched to a driver template.
struct DriverBinding {
    std::u16string deviceKey;  // instance key, relative to HKLM
    std::u16string dll;        // template "Dll", e.g. "Rlx4100S.dll"
    std::u16string prefix;     // template "Prefix", e.g. "VTD"
    DWORD order = 0;           // template "Order": lower loads first
};

// Loads a driver for every binding, in ascending Order (enumeration order
// among equal Orders). A binding whose module does not load, lacks a required
// entry point or whose Init returns 0 leaves no device and no active key; the
// reason is recorded (DriverLoadFailures). moduleDir empty: the build's
// module directory.
void LoadDrivers(const std::vector<DriverBinding>& bindings, const std::string& moduleDir);

// Unloads every device in reverse load order: open files are closed through
// the driver's Close, then Deinit, the active key is removed and the module
// released (DllMain detach and dlclose at its last user). A module whose
// Deinit fails is kept loaded: a thread of it may still run.
void UnloadDrivers();

// The loaded device whose name matches (without regard to case), or nullptr.
std::shared_ptr<StreamDevice> FindDevice(const std::u16string& name);

// CreateFileW for a device name ("VTD1:"): routes the open to the driver's
// Open and returns the new handle, or INVALID_HANDLE_VALUE with the last
// error set (see platform/device_file.h).
HANDLE OpenDeviceFileByName(const std::u16string& fileName, DWORD desiredAccess, DWORD shareMode);

std::vector<LoadedDevice> LoadedDevices();
std::vector<std::string> DriverLoadFailures();

}  // namespace vtsim::internal
