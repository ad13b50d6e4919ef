// Public interface of the RLX4100 driver library.
//
// Applications include this header and link the library (-lRlx4100). Every
// operation returns a signed 32-bit status: 0 on success, a plain code
// (API_CONFIG_NOT_FOUND, API_INVALID_HANDLE, API_UNKNOWN_FUNCTION) or a
// device-qualified code (device number + 1) * 4096 + reason, where the
// reason is one of the API_* reason numbers below or a status of the stream
// driver. Results go to caller-supplied addresses.
//
// A device handle is a 32-bit value issued by DeviceOpen. A handle that was
// never issued or whose connection was released is refused with
// API_INVALID_HANDLE by every operation.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/types.h"

#define RLX4100_API __attribute__((visibility("default")))

// ---------------------------------------------------------------------------
// Status codes

constexpr LONG API_SUCCESS = 0;
// Plain codes, tied to no device.
constexpr LONG API_CONFIG_NOT_FOUND = 2;
constexpr LONG API_INVALID_HANDLE = 3;
constexpr LONG API_UNKNOWN_FUNCTION = 27;

// Reason numbers of device-qualified codes.
constexpr LONG API_ALLOC_FAILED = 1;
constexpr LONG API_PORT_OUT_OF_RANGE = 7;
constexpr LONG API_INVALID_PARAMETER = 10;
constexpr LONG API_BOARD_NOT_SUPPORTED = 24;
constexpr LONG API_DRIVER_OPEN_FAILED = 26;
constexpr LONG API_EVENT_NOT_SUPPORTED = 40;
constexpr LONG API_PROPERTY_NOT_SUPPORTED = 62;
constexpr LONG API_WAIT_FAILED = 63;
constexpr LONG API_SYS_UNKNOWN = 100;
constexpr LONG API_SYS_FILE_NOT_FOUND = 101;
constexpr LONG API_SYS_INVALID_HANDLE = 102;
constexpr LONG API_SYS_TOO_MANY_COMMANDS = 103;
constexpr LONG API_SYS_NO_ACCESS = 105;

// Device-qualified status of a device number and a reason number.
constexpr LONG ApiDeviceStatus(DWORD deviceNumber, DWORD reason)
{
    return static_cast<LONG>((deviceNumber + 1u) * 4096u + reason);
}

// ---------------------------------------------------------------------------
// Event type codes (EnableEvent, CheckEvent and friends)

constexpr WORD EVT_NONE = 0;
constexpr WORD EVT_DI_INTERRUPT0 = 0x3400;
constexpr WORD EVT_DI_INTERRUPT1 = 0x3401;
constexpr WORD EVT_DI_INTERRUPT2 = 0x3410;
constexpr WORD EVT_DI_INTERRUPT3 = 0x3411;
constexpr WORD EVT_DI_INTERRUPT2_ALIAS = 0x3000;  // 12288
constexpr WORD EVT_DI_INTERRUPT3_ALIAS = 0x3001;  // 12289
constexpr WORD EVT_TERMINATED = 0xFFFE;
constexpr WORD EVT_TIMEOUT = 0xFFFF;

// ---------------------------------------------------------------------------
// Property ids (DeviceGetProperty, DeviceSetProperty)

constexpr WORD PROP_DEVICE_NUMBER = 0;
constexpr WORD PROP_BOARD_TYPE = 1;
constexpr WORD PROP_SWITCH_ID = 2;
constexpr WORD PROP_BASE_ADDRESS = 3;
constexpr WORD PROP_IRQ = 4;
constexpr WORD PROP_BUS_NUMBER = 5;
constexpr WORD PROP_SLOT_NUMBER = 6;
constexpr WORD PROP_DI_RESERVED = 0x3C82;
constexpr WORD PROP_DI_CHANNEL_COUNT = 0x3C83;
constexpr WORD PROP_DI_PORT_COUNT = 0x3C84;
constexpr WORD PROP_DI_INTERRUPT_BITS = 0x3C85;     // one byte per DI port
constexpr WORD PROP_DI_RISING_EDGE_MASK = 0x3C86;   // one byte per DI port; settable
constexpr WORD PROP_DI_FALLING_EDGE_MASK = 0x3C87;  // one byte per DI port; settable
constexpr WORD PROP_DO_RESERVED = 0x4806;
constexpr WORD PROP_DO_CHANNEL_COUNT = 0x4807;
constexpr WORD PROP_DO_PORT_COUNT = 0x4808;

// Size of the record that DeviceGetFeatures writes.
constexpr DWORD DEVICE_FEATURES_SIZE = 800;

// The record that DeviceGetFeatures writes: a fixed description of the board
// family, little-endian, the same on every host.
struct DeviceFeatures {
    WCHAR version[8];        // "Ver 1.0", terminated
    WCHAR libraryName[16];   // "RLX4100.DLL", terminated, rest zero
    DWORD boardType;         // 135 for the VTC-4100 family (also the VTC-4100E), 221 for the VTM-6200K
    WORD reserved52[3];      // 0
    WORD diLineCount;        // digital input lines: 32 (four ports) or 16 (two ports)
    WORD doLineCount;        // digital output lines, the same count
    WORD one;                // 1
    BYTE reserved64[720];    // 0
    DWORD marker;            // 0x1500
    BYTE reserved788[12];    // 0
};
static_assert(sizeof(DeviceFeatures) == DEVICE_FEATURES_SIZE);
static_assert(offsetof(DeviceFeatures, libraryName) == 16);
static_assert(offsetof(DeviceFeatures, boardType) == 48);
static_assert(offsetof(DeviceFeatures, diLineCount) == 58);
static_assert(offsetof(DeviceFeatures, doLineCount) == 60);
static_assert(offsetof(DeviceFeatures, one) == 62);
static_assert(offsetof(DeviceFeatures, marker) == 784);

// ---------------------------------------------------------------------------
// DriverProc function codes (only the low 16 bits of a code count)

constexpr DWORD FUNC_DEVICE_OPEN = 0;
constexpr DWORD FUNC_DEVICE_CLOSE = 1;
constexpr DWORD FUNC_DEVICE_GET_FEATURES = 2;
constexpr DWORD FUNC_DIO_READ_PORT_BYTE = 20;
constexpr DWORD FUNC_DIO_WRITE_PORT_BYTE = 21;
constexpr DWORD FUNC_DIO_READ_BIT = 22;
constexpr DWORD FUNC_DIO_WRITE_BIT = 23;
constexpr DWORD FUNC_DIO_GET_CURRENT_DO_BYTE = 24;
constexpr DWORD FUNC_DIO_GET_CURRENT_DO_BIT = 25;
constexpr DWORD FUNC_WRITE_PORT_BYTE = 26;
constexpr DWORD FUNC_WRITE_PORT_WORD = 27;
constexpr DWORD FUNC_READ_PORT_BYTE = 28;
constexpr DWORD FUNC_READ_PORT_WORD = 29;
constexpr DWORD FUNC_ENABLE_EVENT = 77;
constexpr DWORD FUNC_CHECK_EVENT = 78;
constexpr DWORD FUNC_DEVICE_SET_PROPERTY = 108;
constexpr DWORD FUNC_DEVICE_GET_PROPERTY = 109;
constexpr DWORD FUNC_DIO_READ_PORT_WORD = 122;
constexpr DWORD FUNC_DIO_WRITE_PORT_WORD = 123;
constexpr DWORD FUNC_DIO_READ_PORT_DWORD = 124;
constexpr DWORD FUNC_DIO_WRITE_PORT_DWORD = 125;
constexpr DWORD FUNC_DIO_GET_CURRENT_DO_WORD = 126;
constexpr DWORD FUNC_DIO_GET_CURRENT_DO_DWORD = 127;
constexpr DWORD FUNC_DIO_ENABLE_EVENT_AND_SPECIFY_DI_PORTS = 131;
constexpr DWORD FUNC_DIO_DISABLE_EVENT = 132;
constexpr DWORD FUNC_DIO_GET_LATEST_EVENT_DI_PORTS_STATE = 133;
constexpr DWORD FUNC_DIO_READ_DI_PORTS = 134;
constexpr DWORD FUNC_DIO_WRITE_DO_PORTS = 135;
constexpr DWORD FUNC_DIO_GET_CURRENT_DO_PORTS_STATE = 136;

// ---------------------------------------------------------------------------
// DriverProc parameter blocks, one per function code that takes one.
//
// For codes 0 and 1 and 132 the second parameter is not a block: code 0 takes
// the address of the caller's handle variable (first parameter: device
// number), code 1 takes the address of the handle variable as its first
// parameter, code 132 takes the event type as its second parameter.
// The library only reads a block; results go to the addresses it holds.
// A null block address for a code that has a block is answered with
// (device number + 1) * 4096 + API_INVALID_PARAMETER for a live handle, or
// API_INVALID_HANDLE when the handle is not.

extern "C" {

struct DeviceGetFeaturesBlock {  // code 2
    void* buffer;                // 800 bytes
    WORD size;                   // passed on, not consulted
};
struct DioReadPortByteBlock {  // code 20
    WORD port;
    WORD reserved;
    BYTE* value;
};
struct DioWritePortByteBlock {  // code 21
    WORD port;
    WORD mask;
    WORD state;
};
struct DioReadBitBlock {  // code 22
    WORD port;
    WORD bit;
    WORD* value;
};
struct DioWriteBitBlock {  // code 23
    WORD port;
    WORD bit;
    WORD state;
};
struct DioGetCurrentDOByteBlock {  // code 24
    WORD port;
    WORD reserved;
    BYTE* value;
};
struct DioGetCurrentDOBitBlock {  // code 25
    WORD port;
    WORD bit;
    WORD* value;
};
struct WritePortByteBlock {  // code 26
    WORD address;
    WORD value;  // low byte written
};
struct WritePortWordBlock {  // code 27
    WORD address;
    WORD value;
};
struct ReadPortByteBlock {  // code 28
    WORD address;
    WORD reserved;
    WORD* value;
};
struct ReadPortWordBlock {  // code 29
    WORD address;
    WORD reserved;
    WORD* value;
};
struct EnableEventBlock {  // code 77
    WORD eventType;
    WORD enable;
    WORD count;
};
struct CheckEventBlock {  // code 78
    WORD* eventType;
    DWORD timeout;  // milliseconds; 0xFFFFFFFF waits without limit
};
struct DeviceSetPropertyBlock {  // code 108
    WORD id;
    WORD reserved;
    DWORD length;
    void* data;
};
struct DeviceGetPropertyBlock {  // code 109
    WORD id;
    WORD reserved;
    DWORD* length;  // in: buffer size, out: data size
    void* buffer;
};
struct DioReadPortWordBlock {  // code 122
    WORD port;
    WORD reserved;
    WORD* value;
    WORD* validMask;
};
struct DioWritePortWordBlock {  // code 123
    WORD port;
    WORD mask;
    WORD state;
};
struct DioReadPortDwordBlock {  // code 124
    WORD port;
    WORD reserved;
    DWORD* value;
    DWORD* validMask;
};
struct DioWritePortDwordBlock {  // code 125
    WORD port;
    WORD reserved;
    DWORD mask;
    DWORD state;
};
struct DioGetCurrentDOWordBlock {  // code 126
    WORD port;
    WORD reserved;
    WORD* value;
    WORD* validMask;
};
struct DioGetCurrentDODwordBlock {  // code 127
    WORD port;
    WORD reserved;
    DWORD* value;
    DWORD* validMask;
};
struct DioEnableEventAndSpecifyDiPortsBlock {  // code 131
    DWORD eventType;
    DWORD firstPort;
    DWORD portCount;
};
struct DioGetLatestEventDiPortsStateBlock {  // code 133
    DWORD eventType;
    BYTE* buffer;
    DWORD length;
};
struct DioReadDiPortsBlock {  // code 134
    DWORD firstPort;
    DWORD portCount;
    BYTE* buffer;
};
struct DioWriteDoPortsBlock {  // code 135
    DWORD firstPort;
    DWORD portCount;
    const BYTE* data;
};
struct DioGetCurrentDoPortsStateBlock {  // code 136
    DWORD firstPort;
    DWORD portCount;
    BYTE* buffer;
};

// ---------------------------------------------------------------------------
// Exports with plain names

// Function-code dispatcher. The first two arguments are not read; param1 is
// the handle (codes 2 and up), the device number (code 0) or the address of
// the handle variable (code 1); param2 is the block address (or as noted
// above). Unknown codes return API_UNKNOWN_FUNCTION.
RLX4100_API LONG DriverProc(DWORD driverId, DWORD driverHandle, DWORD functionCode,
                            LONG_PTR param1, LONG_PTR param2);

// Connections.
RLX4100_API LONG DeviceOpen(DWORD deviceNumber, LONG* handle);
RLX4100_API LONG DeviceClose(LONG* handle);
RLX4100_API LONG DeviceGetFeatures(LONG handle, void* buffer, WORD size);

// Digital I/O by port range.
RLX4100_API LONG DioReadDiPorts(LONG handle, DWORD firstPort, DWORD portCount, BYTE* buffer);
RLX4100_API LONG DioWriteDoPorts(LONG handle, DWORD firstPort, DWORD portCount,
                                 const BYTE* data);
RLX4100_API LONG DioGetCurrentDoPortsState(LONG handle, DWORD firstPort, DWORD portCount,
                                           BYTE* buffer);

// Digital inputs by byte, bit, word, dword.
RLX4100_API LONG DioReadPortByte(LONG handle, WORD port, BYTE* value);
RLX4100_API LONG DioReadBit(LONG handle, WORD port, WORD bit, WORD* value);
RLX4100_API LONG DioReadPortWord(LONG handle, WORD port, WORD* validMask, WORD* value);
RLX4100_API LONG DioReadPortDword(LONG handle, WORD port, DWORD* validMask, DWORD* value);

// Digital outputs: masked writes.
RLX4100_API LONG DioWritePortByte(LONG handle, WORD port, WORD mask, WORD state);
RLX4100_API LONG DioWriteBit(LONG handle, WORD port, WORD bit, WORD state);
RLX4100_API LONG DioWritePortWord(LONG handle, WORD port, WORD mask, WORD state);
RLX4100_API LONG DioWritePortDword(LONG handle, WORD port, DWORD mask, DWORD state);

// Digital outputs: values last written.
RLX4100_API LONG DioGetCurrentDOByte(LONG handle, WORD port, BYTE* value);
RLX4100_API LONG DioGetCurrentDOBit(LONG handle, WORD port, WORD bit, WORD* value);
RLX4100_API LONG DioGetCurrentDOWord(LONG handle, WORD port, WORD* validMask, WORD* value);
RLX4100_API LONG DioGetCurrentDODword(LONG handle, WORD port, DWORD* validMask, DWORD* value);

// Raw board registers by I/O address (only the low 16 bits of the address
// count).
RLX4100_API LONG ReadPortByte(LONG handle, DWORD ioAddress, WORD* value);
RLX4100_API LONG ReadPortWord(LONG handle, DWORD ioAddress, WORD* value);
RLX4100_API LONG WritePortByte(LONG handle, DWORD ioAddress, WORD value);
RLX4100_API LONG WritePortWord(LONG handle, DWORD ioAddress, WORD value);

// Interrupt events.
RLX4100_API LONG EnableEvent(LONG handle, WORD eventType, WORD enable, WORD count);
RLX4100_API LONG DioDisableEvent(LONG handle, DWORD eventType);
RLX4100_API LONG DioEnableEventAndSpecifyDiPorts(LONG handle, DWORD eventType,
                                                 DWORD firstPort, DWORD portCount);
RLX4100_API LONG DioGetLatestEventDiPortsState(LONG handle, DWORD eventType, BYTE* buffer,
                                               DWORD length);
RLX4100_API LONG CheckEvent(LONG handle, WORD* eventType, DWORD timeout);

}  // extern "C"

// ---------------------------------------------------------------------------
// Exports with type-decorated (C++) names

// length: in, the buffer's capacity; out, the property's size. A null buffer
// asks for the size only.
RLX4100_API LONG DeviceGetProperty(LONG handle, WORD id, void* buffer, DWORD* length);
RLX4100_API LONG DeviceSetProperty(LONG handle, WORD id, void* data, DWORD length);

// ---------------------------------------------------------------------------
// Documented block offsets hold in a 32-bit build.

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(DeviceGetFeaturesBlock, size) == 4);
static_assert(offsetof(DioReadPortByteBlock, value) == 4);
static_assert(offsetof(DioWritePortByteBlock, mask) == 2);
static_assert(offsetof(DioWritePortByteBlock, state) == 4);
static_assert(offsetof(DioReadBitBlock, bit) == 2);
static_assert(offsetof(DioReadBitBlock, value) == 4);
static_assert(offsetof(DioWriteBitBlock, bit) == 2);
static_assert(offsetof(DioWriteBitBlock, state) == 4);
static_assert(offsetof(DioGetCurrentDOByteBlock, value) == 4);
static_assert(offsetof(DioGetCurrentDOBitBlock, bit) == 2);
static_assert(offsetof(DioGetCurrentDOBitBlock, value) == 4);
static_assert(offsetof(WritePortByteBlock, value) == 2);
static_assert(offsetof(WritePortWordBlock, value) == 2);
static_assert(offsetof(ReadPortByteBlock, value) == 4);
static_assert(offsetof(ReadPortWordBlock, value) == 4);
static_assert(offsetof(EnableEventBlock, enable) == 2);
static_assert(offsetof(EnableEventBlock, count) == 4);
static_assert(offsetof(CheckEventBlock, timeout) == 4);
static_assert(offsetof(DeviceSetPropertyBlock, length) == 4);
static_assert(offsetof(DeviceSetPropertyBlock, data) == 8);
static_assert(offsetof(DeviceGetPropertyBlock, length) == 4);
static_assert(offsetof(DeviceGetPropertyBlock, buffer) == 8);
static_assert(offsetof(DioReadPortWordBlock, value) == 4);
static_assert(offsetof(DioReadPortWordBlock, validMask) == 8);
static_assert(offsetof(DioWritePortWordBlock, mask) == 2);
static_assert(offsetof(DioWritePortWordBlock, state) == 4);
static_assert(offsetof(DioReadPortDwordBlock, value) == 4);
static_assert(offsetof(DioReadPortDwordBlock, validMask) == 8);
static_assert(offsetof(DioWritePortDwordBlock, mask) == 4);
static_assert(offsetof(DioWritePortDwordBlock, state) == 8);
static_assert(offsetof(DioGetCurrentDOWordBlock, value) == 4);
static_assert(offsetof(DioGetCurrentDOWordBlock, validMask) == 8);
static_assert(offsetof(DioGetCurrentDODwordBlock, value) == 4);
static_assert(offsetof(DioGetCurrentDODwordBlock, validMask) == 8);
static_assert(offsetof(DioEnableEventAndSpecifyDiPortsBlock, firstPort) == 4);
static_assert(offsetof(DioEnableEventAndSpecifyDiPortsBlock, portCount) == 8);
static_assert(offsetof(DioGetLatestEventDiPortsStateBlock, buffer) == 4);
static_assert(offsetof(DioGetLatestEventDiPortsStateBlock, length) == 8);
static_assert(offsetof(DioReadDiPortsBlock, portCount) == 4);
static_assert(offsetof(DioReadDiPortsBlock, buffer) == 8);
static_assert(offsetof(DioWriteDoPortsBlock, portCount) == 4);
static_assert(offsetof(DioWriteDoPortsBlock, data) == 8);
static_assert(offsetof(DioGetCurrentDoPortsStateBlock, portCount) == 4);
static_assert(offsetof(DioGetCurrentDoPortsStateBlock, buffer) == 8);
#endif
