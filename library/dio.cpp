// Digital I/O: port ranges, bytes, bits, words and double words of the DI
// and DO ports, and raw board registers by I/O address.
#include <cstring>
#include <mutex>

#include "common/board_types.h"
#include "common/control_codes.h"
#include "library/connections.h"
#include "library/include/rlx4100.h"
#include "library/status.h"

namespace {

LONG Fail(const DeviceConnection& connection, DWORD reason)
{
    return DeviceStatus(connection.deviceNumber, reason);
}

// Ports of the connection's board type; 0 for a type the library does not
// know.
DWORD PortsOf(const DeviceConnection& connection)
{
    return PortCountOf(connection.settings.BoardID);
}

// Bits of a multi-port value that belong to count real ports (1 to 4).
constexpr DWORD ValidBitsOf(DWORD count)
{
    return count >= 4 ? 0xFFFFFFFFu : (1u << (8 * count)) - 1u;
}

DWORD Assemble(const BYTE (&bytes)[4])
{
    return DWORD{bytes[0]} | DWORD{bytes[1]} << 8 | DWORD{bytes[2]} << 16 |
           DWORD{bytes[3]} << 24;
}

// A range of count ports from firstPort that lies on a board of a known
// type, then a data address: the board type, the range and the address are
// tested in this order.
LONG CheckPortRange(const DeviceConnection& connection, const void* data, DWORD firstPort,
                    DWORD count)
{
    const DWORD ports = PortsOf(connection);
    if (ports == 0)
        return Fail(connection, API_BOARD_NOT_SUPPORTED);
    if (firstPort >= ports || count == 0 || count > ports - firstPort)
        return Fail(connection, API_PORT_OUT_OF_RANGE);
    if (data == nullptr)
        return Fail(connection, API_INVALID_PARAMETER);
    return API_SUCCESS;
}

// Reads count DI ports (IOCTL_DIO_READ_DI_PORTS) or DO readback values
// (IOCTL_DIO_GET_CURRENT_DO_PORTS) from firstPort into buffer.
LONG ReadPorts(const DeviceConnection& connection, DWORD code, DWORD firstPort, DWORD count,
               BYTE* buffer)
{
    const LONG range = CheckPortRange(connection, buffer, firstPort, count);
    if (range != API_SUCCESS)
        return range;
    const PortRangeRecord record{firstPort, count};
    if (!SendRequest(connection, code, &record, sizeof(record), buffer, count))
        return RequestFailureStatus(connection);
    return API_SUCCESS;
}

LONG WritePorts(const DeviceConnection& connection, DWORD firstPort, DWORD count,
                const BYTE* data)
{
    const LONG range = CheckPortRange(connection, data, firstPort, count);
    if (range != API_SUCCESS)
        return range;
    BYTE record[DO_WRITE_HEADER_SIZE + MAX_PORTS];
    const PortRangeRecord head{firstPort, count};
    std::memcpy(record, &head, sizeof(head));
    std::memcpy(record + DO_WRITE_HEADER_SIZE, data, count);
    if (!SendRequest(connection, IOCTL_DIO_WRITE_DO_PORTS, record, DO_WRITE_HEADER_SIZE + count,
                     nullptr, 0))
        return RequestFailureStatus(connection);
    return API_SUCCESS;
}

// How many of up to `widest` ports from `port` a multi-port access covers.
// remainingSigned: a start port beyond the board gives no ports (n = 7
// here); otherwise the remaining count wraps to the widest access and the
// port request refuses the start port.
LONG MultiPortCount(const DeviceConnection& connection, WORD port, DWORD widest,
                    bool remainingSigned, DWORD* count)
{
    const DWORD ports = PortsOf(connection);
    if (ports == 0)
        return Fail(connection, API_BOARD_NOT_SUPPORTED);
    if (remainingSigned) {
        const LONG remaining = static_cast<LONG>(ports) - static_cast<LONG>(port);
        if (remaining <= 0)
            return Fail(connection, API_PORT_OUT_OF_RANGE);
        *count = static_cast<DWORD>(remaining) < widest ? static_cast<DWORD>(remaining) : widest;
    } else {
        const DWORD remaining = ports - port;
        if (remaining == 0)
            return Fail(connection, API_PORT_OUT_OF_RANGE);
        *count = remaining < widest ? remaining : widest;
    }
    return API_SUCCESS;
}

// Reads up to `widest` ports from `port` as one little-endian value with its
// valid-bits mask.
template <typename Value>
LONG ReadMultiPort(LONG handle, DWORD code, DWORD widest, bool remainingSigned, WORD port,
                   Value* validMask, Value* value)
{
    ConnectionRef connection(handle);
    if (!connection)
        return API_INVALID_HANDLE;
    if (validMask == nullptr || value == nullptr)
        return Fail(*connection, API_INVALID_PARAMETER);
    DWORD count = 0;
    const LONG span = MultiPortCount(*connection, port, widest, remainingSigned, &count);
    if (span != API_SUCCESS)
        return span;
    const DWORD mask = ValidBitsOf(count);
    *validMask = static_cast<Value>(mask);

    BYTE bytes[4] = {0, 0, 0, 0};
    const LONG status = ReadPorts(*connection, code, port, count, bytes);
    if (status != API_SUCCESS)
        return status;
    *value = static_cast<Value>(Assemble(bytes) & mask);
    return API_SUCCESS;
}

// Read-modify-write of count DO ports from `port`: the masked bits take the
// state, the others keep the values last written. The readback refuses a
// board of unknown type and ports off the board.
LONG MergeDoPorts(DeviceConnection& connection, DWORD port, DWORD count, DWORD mask,
                  DWORD state)
{
    std::lock_guard<std::mutex> lock(connection.outputLock);
    BYTE bytes[4] = {0, 0, 0, 0};
    const LONG status =
        ReadPorts(connection, IOCTL_DIO_GET_CURRENT_DO_PORTS, port, count, bytes);
    if (status != API_SUCCESS)
        return status;
    const DWORD setBits = state & mask;
    for (int i = 3; i >= 0; --i) {
        const DWORD shift = 8u * static_cast<DWORD>(i);
        bytes[i] = static_cast<BYTE>((bytes[i] & ~(mask >> shift)) | (setBits >> shift));
    }
    return WritePorts(connection, port, count, bytes);
}

// A masked write of up to `widest` DO ports from `port` (see
// MultiPortCount); mask bits beyond the ports covered are dropped.
LONG WriteMultiPort(LONG handle, DWORD widest, bool remainingSigned, WORD port, DWORD mask,
                    DWORD state)
{
    ConnectionRef connection(handle);
    if (!connection)
        return API_INVALID_HANDLE;
    DWORD count = 0;
    const LONG span = MultiPortCount(*connection, port, widest, remainingSigned, &count);
    if (span != API_SUCCESS)
        return span;
    return MergeDoPorts(*connection, port, count, mask & ValidBitsOf(count), state);
}

// Count DI ports or DO readback values from firstPort (ReadPorts) on a
// handle; one port for the byte reads.
LONG ReadPortRange(LONG handle, DWORD code, DWORD firstPort, DWORD count, BYTE* buffer)
{
    ConnectionRef connection(handle);
    if (!connection)
        return API_INVALID_HANDLE;
    return ReadPorts(*connection, code, firstPort, count, buffer);
}

// One DI or DO port, then one bit of it.
LONG ReadBit(LONG handle, DWORD code, WORD port, WORD bit, WORD* value)
{
    ConnectionRef connection(handle);
    if (!connection)
        return API_INVALID_HANDLE;
    if (value == nullptr)
        return Fail(*connection, API_INVALID_PARAMETER);
    BYTE byte = 0;
    const LONG status = ReadPorts(*connection, code, port, 1, &byte);
    if (status != API_SUCCESS)
        return status;
    if (bit > 7)
        return Fail(*connection, API_INVALID_PARAMETER);
    *value = static_cast<WORD>((byte >> bit) & 1u);
    return API_SUCCESS;
}

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
    if (!connection)
        return API_INVALID_HANDLE;
    DWORD offset = 0;
    if (value == nullptr || !RegisterOffset(*connection, ioAddress, &offset))
        return Fail(*connection, API_INVALID_PARAMETER);
    BYTE bytes[2] = {0, 0};
    if (!SendRequest(*connection, code, &offset, sizeof(offset), bytes, width))
        return RequestFailureStatus(*connection);
    *value = static_cast<WORD>(bytes[0] | (width == 2 ? bytes[1] << 8 : 0));
    return API_SUCCESS;
}

LONG WriteRegister(LONG handle, DWORD code, DWORD width, DWORD ioAddress, WORD value)
{
    ConnectionRef connection(handle);
    if (!connection)
        return API_INVALID_HANDLE;
    DWORD offset = 0;
    if (!RegisterOffset(*connection, ioAddress, &offset))
        return Fail(*connection, API_INVALID_PARAMETER);
    BYTE record[sizeof(DWORD) + sizeof(WORD)];
    std::memcpy(record, &offset, sizeof(offset));
    record[4] = static_cast<BYTE>(value);
    record[5] = static_cast<BYTE>(value >> 8);
    if (!SendRequest(*connection, code, record, sizeof(DWORD) + width, nullptr, 0))
        return RequestFailureStatus(*connection);
    return API_SUCCESS;
}

}  // namespace

// ---- Port ranges -----------------------------------------------------------------

LONG DioReadDiPorts(LONG handle, DWORD firstPort, DWORD portCount, BYTE* buffer)
{
    return ReadPortRange(handle, IOCTL_DIO_READ_DI_PORTS, firstPort, portCount, buffer);
}

LONG DioWriteDoPorts(LONG handle, DWORD firstPort, DWORD portCount, const BYTE* data)
{
    ConnectionRef connection(handle);
    if (!connection)
        return API_INVALID_HANDLE;
    std::lock_guard<std::mutex> lock(connection->outputLock);
    return WritePorts(*connection, firstPort, portCount, data);
}

LONG DioGetCurrentDoPortsState(LONG handle, DWORD firstPort, DWORD portCount, BYTE* buffer)
{
    return ReadPortRange(handle, IOCTL_DIO_GET_CURRENT_DO_PORTS, firstPort, portCount, buffer);
}

// ---- Inputs ------------------------------------------------------------------------

LONG DioReadPortByte(LONG handle, WORD port, BYTE* value)
{
    return ReadPortRange(handle, IOCTL_DIO_READ_DI_PORTS, port, 1, value);
}

LONG DioReadBit(LONG handle, WORD port, WORD bit, WORD* value)
{
    return ReadBit(handle, IOCTL_DIO_READ_DI_PORTS, port, bit, value);
}

LONG DioReadPortWord(LONG handle, WORD port, WORD* validMask, WORD* value)
{
    return ReadMultiPort(handle, IOCTL_DIO_READ_DI_PORTS, 2, true, port, validMask, value);
}

LONG DioReadPortDword(LONG handle, WORD port, DWORD* validMask, DWORD* value)
{
    return ReadMultiPort(handle, IOCTL_DIO_READ_DI_PORTS, 4, true, port, validMask, value);
}

// ---- Output readback ----------------------------------------------------------------

// The result address is tested before the board type here.
LONG DioGetCurrentDOByte(LONG handle, WORD port, BYTE* value)
{
    ConnectionRef connection(handle);
    if (!connection)
        return API_INVALID_HANDLE;
    if (value == nullptr)
        return Fail(*connection, API_INVALID_PARAMETER);
    return ReadPorts(*connection, IOCTL_DIO_GET_CURRENT_DO_PORTS, port, 1, value);
}

LONG DioGetCurrentDOBit(LONG handle, WORD port, WORD bit, WORD* value)
{
    return ReadBit(handle, IOCTL_DIO_GET_CURRENT_DO_PORTS, port, bit, value);
}

LONG DioGetCurrentDOWord(LONG handle, WORD port, WORD* validMask, WORD* value)
{
    return ReadMultiPort(handle, IOCTL_DIO_GET_CURRENT_DO_PORTS, 2, false, port, validMask,
                         value);
}

LONG DioGetCurrentDODword(LONG handle, WORD port, DWORD* validMask, DWORD* value)
{
    return ReadMultiPort(handle, IOCTL_DIO_GET_CURRENT_DO_PORTS, 4, false, port, validMask,
                         value);
}

// ---- Masked output writes --------------------------------------------------------------

LONG DioWritePortByte(LONG handle, WORD port, WORD mask, WORD state)
{
    return WriteMultiPort(handle, 1, true, port, mask, state);
}

LONG DioWriteBit(LONG handle, WORD port, WORD bit, WORD state)
{
    ConnectionRef connection(handle);
    if (!connection)
        return API_INVALID_HANDLE;
    if (bit > 7)
        return Fail(*connection, API_INVALID_PARAMETER);
    // Any non-zero state sets the bit; it never spills into a neighbour.
    return MergeDoPorts(*connection, port, 1, 1u << bit, state != 0 ? 0xFFu : 0u);
}

LONG DioWritePortWord(LONG handle, WORD port, WORD mask, WORD state)
{
    return WriteMultiPort(handle, 2, true, port, mask, state);
}

// A start port beyond the board asks for four ports and the readback
// refuses it.
LONG DioWritePortDword(LONG handle, WORD port, DWORD mask, DWORD state)
{
    return WriteMultiPort(handle, 4, false, port, mask, state);
}

// ---- Raw board registers -------------------------------------------------------------------

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
