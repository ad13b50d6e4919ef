// Device properties: facts about an open device by property id, and the
// connection's interrupt edge selection.
#include <cstring>

#include "common/board_types.h"
#include "library/connections.h"
#include "library/include/rlx4100.h"
#include "library/status.h"

namespace {

enum class PropertyShape {
    Number,       // 4 bytes; the whole buffer is cleared first
    PlainNumber,  // 4 bytes; the rest of the buffer is left alone
    PortBytes,    // one byte per port; the whole buffer is cleared first
};

struct PropertyEntry {
    WORD id;
    PropertyShape shape;
    bool needsBoardType;  // value derived from the port count or event mask
};

constexpr PropertyEntry PropertyTable[] = {
    {PROP_DEVICE_NUMBER, PropertyShape::Number, false},
    {PROP_BOARD_TYPE, PropertyShape::Number, false},
    {PROP_SWITCH_ID, PropertyShape::Number, false},
    {PROP_BASE_ADDRESS, PropertyShape::Number, false},
    {PROP_IRQ, PropertyShape::Number, false},
    {PROP_BUS_NUMBER, PropertyShape::Number, false},
    {PROP_SLOT_NUMBER, PropertyShape::Number, false},
    {PROP_DI_RESERVED, PropertyShape::PlainNumber, false},
    {PROP_DI_CHANNEL_COUNT, PropertyShape::PlainNumber, true},
    {PROP_DI_PORT_COUNT, PropertyShape::PlainNumber, true},
    {PROP_DI_INTERRUPT_BITS, PropertyShape::PortBytes, true},
    {PROP_DI_RISING_EDGE_MASK, PropertyShape::PortBytes, true},
    {PROP_DI_FALLING_EDGE_MASK, PropertyShape::PortBytes, true},
    {PROP_DO_RESERVED, PropertyShape::PlainNumber, false},
    {PROP_DO_CHANNEL_COUNT, PropertyShape::PlainNumber, true},
    {PROP_DO_PORT_COUNT, PropertyShape::PlainNumber, true},
};

const PropertyEntry* FindProperty(WORD id)
{
    for (const PropertyEntry& entry : PropertyTable) {
        if (entry.id == id) {
            return &entry;
        }
    }
    return nullptr;
}

// The 32-bit value of a number property.
DWORD NumberValue(DeviceConnection& connection, WORD id)
{
    const DeviceSettings& settings = connection.settings;
    const DWORD ports = PortCountOf(settings.BoardID);
    switch (id) {
    case PROP_DEVICE_NUMBER:
        return connection.deviceNumber;
    case PROP_BOARD_TYPE:
        return settings.BoardID;
    case PROP_SWITCH_ID:
        return settings.SwitchID;
    case PROP_BASE_ADDRESS:
        return settings.BaseAddress;
    case PROP_IRQ:
        return settings.SystemIRQ;
    case PROP_BUS_NUMBER:
        return settings.BusNumber;
    case PROP_SLOT_NUMBER:
        return settings.SlotNumber;
    case PROP_DI_CHANNEL_COUNT:
    case PROP_DO_CHANNEL_COUNT:
        return ports * 8;
    case PROP_DI_PORT_COUNT:
    case PROP_DO_PORT_COUNT:
        return ports;
    default:  // the reserved ids
        return 0;
    }
}

// Byte 0 of a per-port property; the other ports' bytes are 0.
BYTE FirstPortByte(DeviceConnection& connection, WORD id)
{
    const DWORD eventMask = EventMaskOf(connection.settings.BoardID);
    switch (id) {
    case PROP_DI_INTERRUPT_BITS:
        return 0;  // filled per port below
    case PROP_DI_RISING_EDGE_MASK:
        return static_cast<BYTE>(~LoadTriggerMode(connection) & eventMask);
    default:  // PROP_DI_FALLING_EDGE_MASK
        return static_cast<BYTE>(LoadTriggerMode(connection) & eventMask);
    }
}

}  // namespace

RLX4100_API LONG DeviceGetProperty(LONG handle, WORD id, void* buffer, DWORD* length)
{
    ConnectionRef connection(handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }
    const DWORD deviceNumber = connection->deviceNumber;
    const PropertyEntry* property = FindProperty(id);
    if (property == nullptr) {
        return ApiDeviceStatus(deviceNumber, API_PROPERTY_NOT_SUPPORTED);
    }
    if (length == nullptr) {
        return ApiDeviceStatus(deviceNumber, API_INVALID_PARAMETER);
    }
    const DWORD ports = PortCountOf(connection->settings.BoardID);
    if (property->needsBoardType && ports == 0) {
        return ApiDeviceStatus(deviceNumber, API_BOARD_NOT_SUPPORTED);
    }

    const DWORD size = property->shape == PropertyShape::PortBytes ? ports : sizeof(DWORD);
    if (buffer == nullptr) {
        *length = size;
        return API_SUCCESS;
    }
    if (*length < size) {
        *length = size;
        return ApiDeviceStatus(deviceNumber, API_INVALID_PARAMETER);
    }

    auto* bytes = static_cast<BYTE*>(buffer);
    if (property->shape != PropertyShape::PlainNumber) {
        std::memset(bytes, 0, *length);
    }
    if (property->shape == PropertyShape::PortBytes) {
        if (id == PROP_DI_INTERRUPT_BITS) {
            // The fixed description: 3, 0, 3, 0 on four ports, 3, 0 on two.
            for (DWORD port = 0; port < ports; port += 2) {
                bytes[port] = 3;
            }
        } else {
            bytes[0] = FirstPortByte(*connection, id);
        }
    } else {
        const DWORD value = NumberValue(*connection, id);
        std::memcpy(bytes, &value, sizeof(value));
    }
    *length = size;
    return API_SUCCESS;
}

RLX4100_API LONG DeviceSetProperty(LONG handle, WORD id, void* data, DWORD length)
{
    ConnectionRef connection(handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }
    const DWORD deviceNumber = connection->deviceNumber;
    if (data == nullptr) {
        return ApiDeviceStatus(deviceNumber, API_INVALID_PARAMETER);
    }
    if (id != PROP_DI_RISING_EDGE_MASK && id != PROP_DI_FALLING_EDGE_MASK) {
        return ApiDeviceStatus(deviceNumber, API_INVALID_PARAMETER);
    }
    const DWORD ports = PortCountOf(connection->settings.BoardID);
    if (ports == 0) {
        return ApiDeviceStatus(deviceNumber, API_BOARD_NOT_SUPPORTED);
    }
    if (length < ports) {
        return ApiDeviceStatus(deviceNumber, API_INVALID_PARAMETER);
    }

    const DWORD first = *static_cast<const BYTE*>(data);
    const DWORD eventMask = EventMaskOf(connection->settings.BoardID);
    StoreTriggerMode(*connection,
                     id == PROP_DI_RISING_EDGE_MASK ? (~first & eventMask) : (first & eventMask));
    return API_SUCCESS;
}
