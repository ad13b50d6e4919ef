// Device connections: DeviceOpen, DeviceClose and the handle table.
#include "library/connections.h"

#include <cstdint>
#include <mutex>
#include <new>

#include "common/control_codes.h"
#include "common/registry_layout.h"
#include "library/include/rlx4100.h"
#include "library/status.h"
#include "platform/device_file.h"
#include "platform/kernel.h"
#include "platform/ui.h"

namespace {

// ---- Handle table ----------------------------------------------------------
//
// A handle is (generation << 8) | slot: the slot holds the connection, the
// generation tells a released handle from the slot's next connection. A
// slot's state packs the generation (high 32 bits), the LIVE flag (set from
// issue until the final DeviceClose) and the number of call references
// (operations running on the connection).

constexpr unsigned SLOT_COUNT = 256;
constexpr std::uint64_t LIVE = 1ull << 31;
constexpr std::uint64_t LOW_WORD = 0xFFFFFFFFull;
constexpr DWORD MAX_GENERATION = 0x7FFFFF;  // keeps handles positive

struct HandleSlot {
    std::atomic<std::uint64_t> state{0};
    std::atomic<DeviceConnection*> connection{nullptr};
    std::atomic<bool> inUse{false};  // from issue until the record is freed
    DWORD generation = 0;            // changed under the open/close lock
};

HandleSlot slots[SLOT_COUNT];

// DeviceOpen and DeviceClose run one at a time; they alone touch the
// connection list and the reference counts of opens.
std::mutex openCloseLock;
DeviceConnection* connectionList = nullptr;

// Reserves a free slot for the connection and returns its handle, or 0 when
// every slot is taken. Open/close lock held.
LONG IssueHandle(DeviceConnection* connection)
{
    for (unsigned index = 0; index < SLOT_COUNT; ++index) {
        HandleSlot& slot = slots[index];
        bool expected = false;
        if (!slot.inUse.compare_exchange_strong(expected, true, std::memory_order_acq_rel)) {
            continue;
        }
        slot.generation = slot.generation >= MAX_GENERATION ? 1 : slot.generation + 1;
        slot.connection.store(connection, std::memory_order_relaxed);
        slot.state.store((std::uint64_t{slot.generation} << 32) | LIVE, std::memory_order_release);
        return static_cast<LONG>((slot.generation << 8) | index);
    }
    return 0;
}

HandleSlot* SlotOf(LONG handle)
{
    if (handle <= 0) {
        return nullptr;
    }
    return &slots[static_cast<DWORD>(handle) & 0xFF];
}

DWORD GenerationOf(LONG handle)
{
    return static_cast<DWORD>(handle) >> 8;
}

// Closes what the connection holds and frees its record.
void DestroyConnection(DeviceConnection* connection)
{
    for (auto& waitHandle : connection->waitHandles) {
        HANDLE handle = waitHandle.load(std::memory_order_acquire);
        if (handle != nullptr) {
            CloseHandle(handle);
        }
    }
    if (connection->stream != nullptr) {
        CloseHandle(connection->stream);
    }
    connection->~DeviceConnection();
    LocalFree(connection);
}

// Drops a call reference; the last reference of a retired connection frees it.
void ReleaseSlot(HandleSlot& slot)
{
    const std::uint64_t before = slot.state.fetch_sub(1, std::memory_order_acq_rel);
    if ((before & LOW_WORD) == 1) {
        DestroyConnection(slot.connection.load(std::memory_order_acquire));
        slot.connection.store(nullptr, std::memory_order_relaxed);
        slot.inUse.store(false, std::memory_order_release);
    }
}

// Makes the handle refuse every further call. The record lives on until the
// last call reference is dropped.
void RetireSlot(HandleSlot& slot)
{
    slot.state.fetch_and(~LIVE, std::memory_order_acq_rel);
}

// Creates the record and the stop event, opens the stream device and checks
// that it is the board the registry entry describes. On failure everything
// acquired is released and the status is returned.
LONG CreateConnection(DWORD deviceNumber, const DeviceSettings& settings,
                      DeviceConnection** created)
{
    void* memory = LocalAlloc(LPTR, sizeof(DeviceConnection));
    if (memory == nullptr) {
        return ApiDeviceStatus(deviceNumber, API_ALLOC_FAILED);
    }
    auto* connection = new (memory) DeviceConnection();
    connection->settings = settings;
    connection->refCount = 1;
    connection->deviceNumber = deviceNumber;
    connection->next = nullptr;

    HANDLE stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (stopEvent == nullptr) {
        DestroyConnection(connection);
        return ApiDeviceStatus(deviceNumber, API_ALLOC_FAILED);
    }
    connection->waitHandles[0].store(stopEvent, std::memory_order_relaxed);

    HANDLE stream = CreateFileW(connection->settings.CallName, GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (stream == INVALID_HANDLE_VALUE || stream == nullptr) {
        DestroyConnection(connection);
        return ApiDeviceStatus(deviceNumber, API_DRIVER_OPEN_FAILED);
    }
    connection->stream = stream;

    // The request's own result is not needed: a device that does not answer
    // leaves the zeroed record, which matches no registered board.
    BoardInfoRecord info{};
    SendRequest(*connection, IOCTL_GET_BOARD_INFO, nullptr, 0, &info, sizeof(info));
    if (info.boardType != settings.BoardID || info.busNumber != settings.BusNumber ||
        info.slotNumber != settings.SlotNumber) {
        DestroyConnection(connection);
        return ApiDeviceStatus(deviceNumber, API_DRIVER_OPEN_FAILED);
    }

    *created = connection;
    return API_SUCCESS;
}

void AppendConnection(DeviceConnection* connection)
{
    DeviceConnection** link = &connectionList;
    while (*link != nullptr) {
        link = &(*link)->next;
    }
    *link = connection;
}

void UnlinkConnection(DeviceConnection* connection)
{
    for (DeviceConnection** link = &connectionList; *link != nullptr; link = &(*link)->next) {
        if (*link == connection) {
            *link = connection->next;
            connection->next = nullptr;
            return;
        }
    }
}

DeviceConnection* FindConnection(DWORD deviceNumber)
{
    for (DeviceConnection* connection = connectionList; connection != nullptr;
         connection = connection->next) {
        if (connection->deviceNumber == deviceNumber) {
            return connection;
        }
    }
    return nullptr;
}

// The final release of a listed connection (open/close lock held): wake any
// CheckEvent waiter, unlink it and retire its handle. The record and its
// handles are freed when the last running call ends (at the latest when the
// caller's own reference goes, or here when it holds none).
void EndConnection(DeviceConnection* connection)
{
    HandleSlot& slot = *SlotOf(connection->handle);
    // A call reference of our own, so that the record outlives this function
    // whatever the other calls do.
    slot.state.fetch_add(1, std::memory_order_acq_rel);
    UnlinkConnection(connection);
    SetEvent(connection->waitHandles[0].load(std::memory_order_relaxed));
    Sleep(0);
    RetireSlot(slot);
    ReleaseSlot(slot);
}

}  // namespace

// ---- Call references ---------------------------------------------------------

ConnectionRef::ConnectionRef(LONG handle)
{
    HandleSlot* slot = SlotOf(handle);
    if (slot == nullptr) {
        return;
    }
    const DWORD generation = GenerationOf(handle);
    std::uint64_t state = slot->state.load(std::memory_order_acquire);
    for (;;) {
        if ((state >> 32) != generation || (state & LIVE) == 0) {
            return;
        }
        if (slot->state.compare_exchange_weak(state, state + 1, std::memory_order_acq_rel)) {
            break;
        }
    }
    connection_ = slot->connection.load(std::memory_order_acquire);
    slot_ = static_cast<unsigned>(slot - slots);
}

ConnectionRef::~ConnectionRef()
{
    if (connection_ != nullptr) {
        ReleaseSlot(slots[slot_]);
    }
}

// ---- Shared helpers --------------------------------------------------------------

DWORD LoadTriggerMode(DeviceConnection& connection)
{
    return std::atomic_ref<DWORD>(connection.settings.TriggerMode).load(std::memory_order_relaxed);
}

void StoreTriggerMode(DeviceConnection& connection, DWORD triggerMode)
{
    std::atomic_ref<DWORD>(connection.settings.TriggerMode)
        .store(triggerMode, std::memory_order_relaxed);
}

BOOL SendRequest(const DeviceConnection& connection, DWORD code, const void* input, DWORD inputSize,
                 void* output, DWORD outputSize)
{
    DWORD returned = 0;
    SetLastError(0);
    return DeviceIoControl(connection.stream, code, const_cast<void*>(input), inputSize, output,
                           outputSize, &returned, nullptr);
}

bool StreamAnswers(const DeviceConnection& connection)
{
    BoardInfoRecord info{};
    return SendRequest(connection, IOCTL_GET_BOARD_INFO, nullptr, 0, &info, sizeof(info)) != FALSE;
}

LONG RequestFailureStatus(const DeviceConnection& connection)
{
    return ApiDeviceStatus(connection.deviceNumber, StatusFromLastError());
}

// ---- Exports -------------------------------------------------------------------------

LONG DeviceOpen(DWORD deviceNumber, LONG* handle)
{
    if (handle == nullptr) {
        // A number no registry entry can have gets the plain status of a
        // missing entry: its device-qualified status would not fit.
        return deviceNumber > MAX_DEVICE_NUMBER
                   ? API_CONFIG_NOT_FOUND
                   : ApiDeviceStatus(deviceNumber, API_INVALID_PARAMETER);
    }

    // The entry is read on every open, also when the connection exists. The
    // message box runs a message loop until it is dismissed: the open/close
    // lock is not taken yet, so code run from that loop, and other threads'
    // DeviceClose, may open and close meanwhile.
    DeviceSettings settings{};
    if (ReadDeviceSettings(deviceNumber, &settings) != 1) {
        MessageBoxW(nullptr, TEXT("DeviceOpen"), TEXT("Error"), MB_OK);
        return API_CONFIG_NOT_FOUND;
    }

    std::lock_guard<std::mutex> lock(openCloseLock);
    if (DeviceConnection* existing = FindConnection(deviceNumber)) {
        if (StreamAnswers(*existing)) {
            ++existing->refCount;
            ResetEvent(existing->waitHandles[0].load(std::memory_order_relaxed));
            *handle = existing->handle;
            return API_SUCCESS;
        }
        // The stream device behind the connection is gone (its driver was
        // unloaded, the target restarted): the connection ends for every
        // reference, and this open makes a new one.
        EndConnection(existing);
    }

    DeviceConnection* connection = nullptr;
    const LONG status = CreateConnection(deviceNumber, settings, &connection);
    if (status != API_SUCCESS) {
        return status;
    }
    const LONG issued = IssueHandle(connection);
    if (issued == 0) {
        DestroyConnection(connection);
        return ApiDeviceStatus(deviceNumber, API_ALLOC_FAILED);
    }
    connection->handle = issued;
    AppendConnection(connection);
    *handle = issued;
    return API_SUCCESS;
}

LONG DeviceClose(LONG* handle)
{
    if (handle == nullptr || *handle == 0) {
        return API_INVALID_HANDLE;
    }
    std::lock_guard<std::mutex> lock(openCloseLock);
    ConnectionRef connection(*handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }

    // Every close tells the driver to close the device's named events and
    // disable its interrupts, also while other references remain.
    const DWORD processId = GetCurrentProcessId();
    SendRequest(*connection, IOCTL_DIO_CLOSE_EVENTS, &processId, sizeof(processId), nullptr, 0);

    if (connection->refCount > 1) {
        --connection->refCount;
        *handle = 0;
        return API_SUCCESS;
    }

    EndConnection(&*connection);
    *handle = 0;
    return API_SUCCESS;
}
