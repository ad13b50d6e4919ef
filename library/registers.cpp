// Raw board registers by I/O address: bytes and words read and written
// through the stream driver, within the board's I/O range.
#include <cstring>

#include "common/control_codes.h"
#include "library/connections.h"
#include "library/include/rlx4100.h"
#include "library/status.h"

namespace {

// Offset of an I/O address from the board's first port (only the low 16
// bits of the address count), or false when it lies outside the board's
// I/O range. An offset equal to the range's length is left for the stream
// driver to refuse.
bool RegisterOffset(const DeviceConnection& connection, DWORD ioAddress, DWORD* offset)
{
    *offset = (ioAddress & 0xFFFF) - connection.settings.BaseAddress;
    return *offset <= connection.settings.IoPortCount;
}

LONG ReadRegister(LONG handle, DWORD code, DWORD width, DWORD ioAddress, WORD* value)
{
    ConnectionRef connection(handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }
    DWORD offset = 0;
    if (value == nullptr || !RegisterOffset(*connection, ioAddress, &offset)) {
        return ApiDeviceStatus(connection->deviceNumber, API_INVALID_PARAMETER);
    }
    BYTE bytes[2] = {0, 0};
    if (!SendRequest(*connection, code, &offset, sizeof(offset), bytes, width)) {
        return RequestFailureStatus(*connection);
    }
    *value = static_cast<WORD>(bytes[0] | (width == 2 ? bytes[1] << 8 : 0));
    return API_SUCCESS;
}

LONG WriteRegister(LONG handle, DWORD code, DWORD width, DWORD ioAddress, WORD value)
{
    ConnectionRef connection(handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }
    DWORD offset = 0;
    if (!RegisterOffset(*connection, ioAddress, &offset)) {
        return ApiDeviceStatus(connection->deviceNumber, API_INVALID_PARAMETER);
    }
    BYTE record[sizeof(DWORD) + sizeof(WORD)];
    std::memcpy(record, &offset, sizeof(offset));
    record[4] = static_cast<BYTE>(value);
    record[5] = static_cast<BYTE>(value >> 8);
    if (!SendRequest(*connection, code, record, sizeof(DWORD) + width, nullptr, 0)) {
        return RequestFailureStatus(*connection);
    }
    return API_SUCCESS;
}

}  // namespace

LONG ReadPortByte(LONG handle, DWORD ioAddress, WORD* value)
{
    return ReadRegister(handle, IOCTL_PORT_READ_BYTE, 1, ioAddress, value);
}

LONG ReadPortWord(LONG handle, DWORD ioAddress, WORD* value)
{
    return ReadRegister(handle, IOCTL_PORT_READ_WORD, 2, ioAddress, value);
}

LONG WritePortByte(LONG handle, DWORD ioAddress, WORD value)
{
    return WriteRegister(handle, IOCTL_PORT_WRITE_BYTE, 1, ioAddress, value);
}

LONG WritePortWord(LONG handle, DWORD ioAddress, WORD value)
{
    return WriteRegister(handle, IOCTL_PORT_WRITE_WORD, 2, ioAddress, value);
}
