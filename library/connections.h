// Device connections of the driver library and the handle table that maps
// the 32-bit handles given to applications onto them.
//
// A connection exists from the first successful DeviceOpen of its device
// number until the DeviceClose that gives back its last open reference. Every
// operation that takes a handle holds a call reference on the connection for
// its duration (ConnectionRef); the records and handles of a released
// connection are freed by whichever of the final DeviceClose and the last
// call still running finishes last, so a thread blocked in CheckEvent while
// another thread closes the device never touches freed memory.
#pragma once

#include <atomic>
#include <mutex>

#include "library/settings.h"
#include "platform/types.h"

constexpr DWORD EVENT_COUNT = 4;  // event indexes 0 to 3

struct DeviceConnection {
    DeviceConnection* next;   // next in the connection list (open/close only)
    DeviceSettings settings;  // copied at the first open; TriggerMode changes
    DWORD deviceNumber;
    DWORD refCount;  // opens not yet closed
    HANDLE stream;   // the opened stream device
    // Element 0: the stop event (manual reset); 1 to 4: the named interrupt
    // events of event indexes 0 to 3, null until EnableEvent opens them.
    // CheckEvent waits on the five as one array.
    std::atomic<HANDLE> waitHandles[1 + EVENT_COUNT];
    std::atomic<DWORD> alias2Enabled;
    std::atomic<DWORD> alias3Enabled;
    LONG handle;  // the value given to applications
    // Held across each DO write, and across the readback and write of a
    // masked write, so that masked writes from threads of this process to
    // different bits never undo each other.
    std::mutex outputLock;
};

// The connection's edge selection (bit i: event index i on the falling
// edge), read and changed while other threads use the connection.
DWORD LoadTriggerMode(DeviceConnection& connection);
void StoreTriggerMode(DeviceConnection& connection, DWORD triggerMode);

// A call reference on the connection that a handle maps to; empty when the
// handle maps to no live connection.
class ConnectionRef {
public:
    explicit ConnectionRef(LONG handle);
    ~ConnectionRef();
    ConnectionRef(const ConnectionRef&) = delete;
    ConnectionRef& operator=(const ConnectionRef&) = delete;

    explicit operator bool() const
    {
        return connection_ != nullptr;
    }
    DeviceConnection* operator->() const
    {
        return connection_;
    }
    DeviceConnection& operator*() const
    {
        return *connection_;
    }

private:
    DeviceConnection* connection_ = nullptr;
    unsigned slot_ = 0;
};

// Sends a device control request on the connection's stream device. The
// thread's last error is cleared first, so that a failure the driver reports
// without an error value reads as reason 0, not as an older error.
BOOL SendRequest(const DeviceConnection& connection, DWORD code, const void* input, DWORD inputSize,
                 void* output, DWORD outputSize);

// True when the connection's stream device still answers a request: false
// once its driver has been unloaded (the target shut down or restarted),
// after which every request on the connection fails.
bool StreamAnswers(const DeviceConnection& connection);

// ApiDeviceStatus(device number, StatusFromLastError()) of a failed request.
LONG RequestFailureStatus(const DeviceConnection& connection);
