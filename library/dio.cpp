// Digital I/O: port ranges, bytes, bits, words and double words of the DI
// and DO ports.
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
    return ApiDeviceStatus(connection.deviceNumber, reason);
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
    return DWORD{bytes[0]} | DWORD{bytes[1]} << 8 | DWORD{bytes[2]} << 16 | DWORD{bytes[3]} << 24;
}

// A range of count ports from firstPort that lies on a board of a known
// type, then a data address: the board type, the range and the address are
// tested in this order.
LONG CheckPortRange(const DeviceConnection& connection, const void* data, DWORD firstPort,
                    DWORD count)
{
    const DWORD ports = PortsOf(connection);
    if (ports == 0) {
        return Fail(connection, API_BOARD_NOT_SUPPORTED);
    }
    if (firstPort >= ports || count == 0 || count > ports - firstPort) {
        return Fail(connection, API_PORT_OUT_OF_RANGE);
    }
    if (data == nullptr) {
        return Fail(connection, API_INVALID_PARAMETER);
    }
    return API_SUCCESS;
}

// Reads count DI ports (IOCTL_DIO_READ_DI_PORTS) or DO readback values
// (IOCTL_DIO_GET_CURRENT_DO_PORTS) from firstPort into buffer.
LONG ReadPorts(const DeviceConnection& connection, DWORD code, DWORD firstPort, DWORD count,
               BYTE* buffer)
{
    const LONG range = CheckPortRange(connection, buffer, firstPort, count);
    if (range != API_SUCCESS) {
        return range;
    }
    const PortRangeRecord record{firstPort, count};
    if (!SendRequest(connection, code, &record, sizeof(record), buffer, count)) {
        return RequestFailureStatus(connection);
    }
    return API_SUCCESS;
}

LONG WritePorts(const DeviceConnection& connection, DWORD firstPort, DWORD count, const BYTE* data)
{
    const LONG range = CheckPortRange(connection, data, firstPort, count);
    if (range != API_SUCCESS) {
        return range;
    }
    BYTE record[DO_WRITE_HEADER_SIZE + MAX_PORTS];
    const PortRangeRecord head{firstPort, count};
    std::memcpy(record, &head, sizeof(head));
    std::memcpy(record + DO_WRITE_HEADER_SIZE, data, count);
    if (!SendRequest(connection, IOCTL_DIO_WRITE_DO_PORTS, record, DO_WRITE_HEADER_SIZE + count,
                     nullptr, 0)) {
        return RequestFailureStatus(connection);
    }
    return API_SUCCESS;
}

// How a multi-port access treats a start port beyond the board's last port.
// Both refuse such a port with n = 7; they differ in what happens first.
enum class StartBeyondBoard {
    // Refused at once: the ports left are counted as a signed number, and
    // none left means n = 7 before anything is stored or sent.
    RefusedAtOnce,
    // Left to the port request: the ports left are counted unsigned, so a
    // start past the board wraps to the widest access, whose mask is stored
    // (reads) before the port request refuses the start port with n = 7.
    // A start port equal to the port count is still refused at once.
    LeftToPortRequest,
};

// How many of up to `widest` ports from `port` a multi-port access covers,
// after the board-type test.
LONG MultiPortCount(const DeviceConnection& connection, WORD port, DWORD widest,
                    StartBeyondBoard beyond, DWORD* count)
{
    const DWORD ports = PortsOf(connection);
    if (ports == 0) {
        return Fail(connection, API_BOARD_NOT_SUPPORTED);
    }
    DWORD remaining = ports - port;  // wraps for a start past the board
    if (beyond == StartBeyondBoard::RefusedAtOnce && port >= ports) {
        remaining = 0;
    }
    if (remaining == 0) {
        return Fail(connection, API_PORT_OUT_OF_RANGE);
    }
    *count = remaining < widest ? remaining : widest;
    return API_SUCCESS;
}

// Reads up to `widest` ports from `port` as one little-endian value with its
// valid-bits mask. Both result addresses are tested before the board type:
// a caller may rely on n = 10 for a missing one whatever the board.
template <typename Value>
LONG ReadMultiPort(LONG handle, DWORD code, DWORD widest, StartBeyondBoard beyond, WORD port,
                   Value* validMask, Value* value)
{
    ConnectionRef connection(handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }
    if (validMask == nullptr || value == nullptr) {
        return Fail(*connection, API_INVALID_PARAMETER);
    }
    DWORD count = 0;
    const LONG span = MultiPortCount(*connection, port, widest, beyond, &count);
    if (span != API_SUCCESS) {
        return span;
    }
    const DWORD mask = ValidBitsOf(count);
    *validMask = static_cast<Value>(mask);

    BYTE bytes[4] = {0, 0, 0, 0};
    const LONG status = ReadPorts(*connection, code, port, count, bytes);
    if (status != API_SUCCESS) {
        return status;
    }
    *value = static_cast<Value>(Assemble(bytes) & mask);
    return API_SUCCESS;
}

// Read-modify-write of count DO ports from `port`: the masked bits take the
// state, the others keep the values last written. The readback refuses a
// board of unknown type and ports off the board.
LONG MergeDoPorts(DeviceConnection& connection, DWORD port, DWORD count, DWORD mask, DWORD state)
{
    std::lock_guard<std::mutex> lock(connection.outputLock);
    BYTE bytes[4] = {0, 0, 0, 0};
    const LONG status = ReadPorts(connection, IOCTL_DIO_GET_CURRENT_DO_PORTS, port, count, bytes);
    if (status != API_SUCCESS) {
        return status;
    }
    const DWORD setBits = state & mask;
    for (int i = 3; i >= 0; --i) {
        const DWORD shift = 8u * static_cast<DWORD>(i);
        bytes[i] = static_cast<BYTE>((bytes[i] & ~(mask >> shift)) | (setBits >> shift));
    }
    return WritePorts(connection, port, count, bytes);
}

// A masked write of up to `widest` DO ports from `port` (see
// MultiPortCount); mask bits beyond the ports covered are dropped.
LONG WriteMultiPort(LONG handle, DWORD widest, StartBeyondBoard beyond, WORD port, DWORD mask,
                    DWORD state)
{
    ConnectionRef connection(handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }
    DWORD count = 0;
    const LONG span = MultiPortCount(*connection, port, widest, beyond, &count);
    if (span != API_SUCCESS) {
        return span;
    }
    return MergeDoPorts(*connection, port, count, mask & ValidBitsOf(count), state);
}

// Count DI ports or DO readback values from firstPort (ReadPorts) on a
// handle; one port for the byte reads.
LONG ReadPortRange(LONG handle, DWORD code, DWORD firstPort, DWORD count, BYTE* buffer)
{
    ConnectionRef connection(handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }
    return ReadPorts(*connection, code, firstPort, count, buffer);
}

// One DI port or DO readback value, then one bit of it: the board type, the
// port and the result address are tested as for a port range; the bit
// number only after the port was read, so a bad bit number still costs a
// request.
LONG ReadBit(const DeviceConnection& connection, DWORD code, WORD port, WORD bit, WORD* value)
{
    const LONG range = CheckPortRange(connection, value, port, 1);
    if (range != API_SUCCESS) {
        return range;
    }
    BYTE byte = 0;
    const LONG status = ReadPorts(connection, code, port, 1, &byte);
    if (status != API_SUCCESS) {
        return status;
    }
    if (bit > 7) {
        return Fail(connection, API_INVALID_PARAMETER);
    }
    *value = static_cast<WORD>((byte >> bit) & 1u);
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
    if (!connection) {
        return API_INVALID_HANDLE;
    }
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
    ConnectionRef connection(handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }
    return ReadBit(*connection, IOCTL_DIO_READ_DI_PORTS, port, bit, value);
}

LONG DioReadPortWord(LONG handle, WORD port, WORD* validMask, WORD* value)
{
    return ReadMultiPort(handle, IOCTL_DIO_READ_DI_PORTS, 2, StartBeyondBoard::RefusedAtOnce, port,
                         validMask, value);
}

LONG DioReadPortDword(LONG handle, WORD port, DWORD* validMask, DWORD* value)
{
    return ReadMultiPort(handle, IOCTL_DIO_READ_DI_PORTS, 4, StartBeyondBoard::RefusedAtOnce, port,
                         validMask, value);
}

// ---- Output readback ----------------------------------------------------------------

// The DO readbacks of a byte and a bit test their result address before the
// board type: n = 10 for a missing one whatever the board and port.
LONG DioGetCurrentDOByte(LONG handle, WORD port, BYTE* value)
{
    ConnectionRef connection(handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }
    if (value == nullptr) {
        return Fail(*connection, API_INVALID_PARAMETER);
    }
    return ReadPorts(*connection, IOCTL_DIO_GET_CURRENT_DO_PORTS, port, 1, value);
}

LONG DioGetCurrentDOBit(LONG handle, WORD port, WORD bit, WORD* value)
{
    ConnectionRef connection(handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }
    if (value == nullptr) {
        return Fail(*connection, API_INVALID_PARAMETER);
    }
    return ReadBit(*connection, IOCTL_DIO_GET_CURRENT_DO_PORTS, port, bit, value);
}

// A start port past the board stores the widest mask and then fails with
// n = 7 from the readback request.
LONG DioGetCurrentDOWord(LONG handle, WORD port, WORD* validMask, WORD* value)
{
    return ReadMultiPort(handle, IOCTL_DIO_GET_CURRENT_DO_PORTS, 2,
                         StartBeyondBoard::LeftToPortRequest, port, validMask, value);
}

LONG DioGetCurrentDODword(LONG handle, WORD port, DWORD* validMask, DWORD* value)
{
    return ReadMultiPort(handle, IOCTL_DIO_GET_CURRENT_DO_PORTS, 4,
                         StartBeyondBoard::LeftToPortRequest, port, validMask, value);
}

// ---- Masked output writes --------------------------------------------------------------

LONG DioWritePortByte(LONG handle, WORD port, WORD mask, WORD state)
{
    return WriteMultiPort(handle, 1, StartBeyondBoard::RefusedAtOnce, port, mask, state);
}

// The bit number is tested before the board type: a bad one sends nothing.
LONG DioWriteBit(LONG handle, WORD port, WORD bit, WORD state)
{
    ConnectionRef connection(handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }
    if (bit > 7) {
        return Fail(*connection, API_INVALID_PARAMETER);
    }
    // Any non-zero state sets the bit; it never spills into a neighbour.
    return MergeDoPorts(*connection, port, 1, 1u << bit, state != 0 ? 0xFFu : 0u);
}

LONG DioWritePortWord(LONG handle, WORD port, WORD mask, WORD state)
{
    return WriteMultiPort(handle, 2, StartBeyondBoard::RefusedAtOnce, port, mask, state);
}

// A start port past the board asks for four ports and the readback refuses
// it with n = 7; nothing is written.
LONG DioWritePortDword(LONG handle, WORD port, DWORD mask, DWORD state)
{
    return WriteMultiPort(handle, 4, StartBeyondBoard::LeftToPortRequest, port, mask, state);
}
