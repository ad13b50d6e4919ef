/* DriverProc: every operation by a numeric function code, with its
 * arguments in a caller-owned parameter block. Included by rlx4100.h. */
#ifndef RLX4100_DRIVER_PROC_H
#define RLX4100_DRIVER_PROC_H

#ifndef RLX4100_H
#error "include rlx4100.h"
#endif

/* ---- Function codes (only the low 16 bits of a code count) ------------------------ */

#define FUNC_DEVICE_OPEN 0u
#define FUNC_DEVICE_CLOSE 1u
#define FUNC_DEVICE_GET_FEATURES 2u
#define FUNC_DIO_READ_PORT_BYTE 20u
#define FUNC_DIO_WRITE_PORT_BYTE 21u
#define FUNC_DIO_READ_BIT 22u
#define FUNC_DIO_WRITE_BIT 23u
#define FUNC_DIO_GET_CURRENT_DO_BYTE 24u
#define FUNC_DIO_GET_CURRENT_DO_BIT 25u
#define FUNC_WRITE_PORT_BYTE 26u
#define FUNC_WRITE_PORT_WORD 27u
#define FUNC_READ_PORT_BYTE 28u
#define FUNC_READ_PORT_WORD 29u
#define FUNC_ENABLE_EVENT 77u
#define FUNC_CHECK_EVENT 78u
#define FUNC_DEVICE_SET_PROPERTY 108u
#define FUNC_DEVICE_GET_PROPERTY 109u
#define FUNC_DIO_READ_PORT_WORD 122u
#define FUNC_DIO_WRITE_PORT_WORD 123u
#define FUNC_DIO_READ_PORT_DWORD 124u
#define FUNC_DIO_WRITE_PORT_DWORD 125u
#define FUNC_DIO_GET_CURRENT_DO_WORD 126u
#define FUNC_DIO_GET_CURRENT_DO_DWORD 127u
#define FUNC_DIO_ENABLE_EVENT_AND_SPECIFY_DI_PORTS 131u
#define FUNC_DIO_DISABLE_EVENT 132u
#define FUNC_DIO_GET_LATEST_EVENT_DI_PORTS_STATE 133u
#define FUNC_DIO_READ_DI_PORTS 134u
#define FUNC_DIO_WRITE_DO_PORTS 135u
#define FUNC_DIO_GET_CURRENT_DO_PORTS_STATE 136u

/* ---- Parameter blocks, one per function code that takes one -----------------------
 *
 * Fields stand at fixed offsets on the target (32-bit): 32-bit fields and
 * addresses at offsets divisible by 4, 16-bit fields at even offsets; the
 * checks at the end of this header hold them to that in a 32-bit build.
 * The library only reads a block; results go to the addresses it holds.
 * Codes 0, 1 and 132 take no block (see DriverProc). */

typedef struct DeviceGetFeaturesBlock { /* code 2 */
    void* buffer;                       /* receives the 800-byte DeviceFeatures record */
    WORD size;                          /* the buffer's capacity in bytes; below 800 refused */
} DeviceGetFeaturesBlock;

typedef struct DioReadPortByteBlock { /* code 20 */
    WORD port;
    WORD reserved;
    BYTE* value;
} DioReadPortByteBlock;

typedef struct DioWritePortByteBlock { /* code 21 */
    WORD port;
    WORD mask;
    WORD state;
} DioWritePortByteBlock;

typedef struct DioReadBitBlock { /* code 22 */
    WORD port;
    WORD bit;
    WORD* value;
} DioReadBitBlock;

typedef struct DioWriteBitBlock { /* code 23 */
    WORD port;
    WORD bit;
    WORD state;
} DioWriteBitBlock;

typedef struct DioGetCurrentDOByteBlock { /* code 24 */
    WORD port;
    WORD reserved;
    BYTE* value;
} DioGetCurrentDOByteBlock;

typedef struct DioGetCurrentDOBitBlock { /* code 25 */
    WORD port;
    WORD bit;
    WORD* value;
} DioGetCurrentDOBitBlock;

typedef struct WritePortByteBlock { /* code 26 */
    WORD address;
    WORD value; /* low byte written */
} WritePortByteBlock;

typedef struct WritePortWordBlock { /* code 27 */
    WORD address;
    WORD value;
} WritePortWordBlock;

typedef struct ReadPortByteBlock { /* code 28 */
    WORD address;
    WORD reserved;
    WORD* value;
} ReadPortByteBlock;

typedef struct ReadPortWordBlock { /* code 29 */
    WORD address;
    WORD reserved;
    WORD* value;
} ReadPortWordBlock;

typedef struct EnableEventBlock { /* code 77 */
    WORD eventType;
    WORD enable;
    WORD count;
} EnableEventBlock;

typedef struct CheckEventBlock { /* code 78 */
    WORD* eventType;
    DWORD timeout; /* milliseconds; 0xFFFFFFFF waits without limit */
} CheckEventBlock;

typedef struct DeviceSetPropertyBlock { /* code 108 */
    WORD id;
    WORD reserved;
    DWORD length;
    void* data;
} DeviceSetPropertyBlock;

typedef struct DeviceGetPropertyBlock { /* code 109 */
    WORD id;
    WORD reserved;
    DWORD* length; /* in: buffer size, out: data size */
    void* buffer;
} DeviceGetPropertyBlock;

typedef struct DioReadPortWordBlock { /* code 122 */
    WORD port;
    WORD reserved;
    WORD* value;
    WORD* validMask;
} DioReadPortWordBlock;

typedef struct DioWritePortWordBlock { /* code 123 */
    WORD port;
    WORD mask;
    WORD state;
} DioWritePortWordBlock;

typedef struct DioReadPortDwordBlock { /* code 124 */
    WORD port;
    WORD reserved;
    DWORD* value;
    DWORD* validMask;
} DioReadPortDwordBlock;

typedef struct DioWritePortDwordBlock { /* code 125 */
    WORD port;
    WORD reserved;
    DWORD mask;
    DWORD state;
} DioWritePortDwordBlock;

typedef struct DioGetCurrentDOWordBlock { /* code 126 */
    WORD port;
    WORD reserved;
    WORD* value;
    WORD* validMask;
} DioGetCurrentDOWordBlock;

typedef struct DioGetCurrentDODwordBlock { /* code 127 */
    WORD port;
    WORD reserved;
    DWORD* value;
    DWORD* validMask;
} DioGetCurrentDODwordBlock;

typedef struct DioEnableEventAndSpecifyDiPortsBlock { /* code 131 */
    DWORD eventType;
    DWORD firstPort;
    DWORD portCount;
} DioEnableEventAndSpecifyDiPortsBlock;

typedef struct DioGetLatestEventDiPortsStateBlock { /* code 133 */
    DWORD eventType;
    BYTE* buffer;
    DWORD length;
} DioGetLatestEventDiPortsStateBlock;

typedef struct DioReadDiPortsBlock { /* code 134 */
    DWORD firstPort;
    DWORD portCount;
    BYTE* buffer;
} DioReadDiPortsBlock;

typedef struct DioWriteDoPortsBlock { /* code 135 */
    DWORD firstPort;
    DWORD portCount;
    const BYTE* data;
} DioWriteDoPortsBlock;

typedef struct DioGetCurrentDoPortsStateBlock { /* code 136 */
    DWORD firstPort;
    DWORD portCount;
    BYTE* buffer;
} DioGetCurrentDoPortsStateBlock;

#if defined(__cplusplus)
extern "C" {
#endif

/* Calls the operation of functionCode (its low 16 bits) and returns its
 * status unchanged. driverId and driverHandle are not read. param1 is the
 * handle for codes 2 and up, the device number for code 0
 * (FUNC_DEVICE_OPEN, param2: the address of the handle variable), the
 * address of the handle variable for code 1 (FUNC_DEVICE_CLOSE, param2 not
 * read); code 132 (FUNC_DIO_DISABLE_EVENT) takes the event type itself as
 * param2; every other code takes the address of its block as param2, whose
 * fields are read before the operation runs. The word and dword reads'
 * blocks hold the value address before the mask address, the reverse of the
 * operations' arguments. Checks, in order: a code that no operation has:
 * API_UNKNOWN_FUNCTION, nothing else happens; a code with a block and
 * param2 0: API_INVALID_HANDLE when param1 is not a live handle, else reason
 * API_INVALID_PARAMETER; then the operation's own checks. It holds no state
 * and is as thread-safe as the operation it calls. */
RLX4100_API LONG DriverProc(DWORD driverId, DWORD driverHandle, DWORD functionCode, LONG_PTR param1,
                            LONG_PTR param2);

#if defined(__cplusplus)
} /* extern "C" */
#endif

/* ---- The blocks' offsets on the target (checked in any 32-bit build) --------------- */

#if UINTPTR_MAX == 0xFFFFFFFFu
RLX4100_STATIC_ASSERT(offsetof(DeviceFeatures, libraryName) == 16, DeviceFeatures_libraryName);
RLX4100_STATIC_ASSERT(offsetof(DeviceFeatures, boardType) == 48, DeviceFeatures_boardType);
RLX4100_STATIC_ASSERT(offsetof(DeviceFeatures, diLineCount) == 58, DeviceFeatures_diLineCount);
RLX4100_STATIC_ASSERT(offsetof(DeviceFeatures, doLineCount) == 60, DeviceFeatures_doLineCount);
RLX4100_STATIC_ASSERT(offsetof(DeviceFeatures, one) == 62, DeviceFeatures_one);
RLX4100_STATIC_ASSERT(offsetof(DeviceFeatures, marker) == 784, DeviceFeatures_marker);
RLX4100_STATIC_ASSERT(offsetof(DeviceGetFeaturesBlock, size) == 4, DeviceGetFeaturesBlock_size);
RLX4100_STATIC_ASSERT(offsetof(DioReadPortByteBlock, value) == 4, DioReadPortByteBlock_value);
RLX4100_STATIC_ASSERT(offsetof(DioWritePortByteBlock, mask) == 2, DioWritePortByteBlock_mask);
RLX4100_STATIC_ASSERT(offsetof(DioWritePortByteBlock, state) == 4, DioWritePortByteBlock_state);
RLX4100_STATIC_ASSERT(offsetof(DioReadBitBlock, bit) == 2, DioReadBitBlock_bit);
RLX4100_STATIC_ASSERT(offsetof(DioReadBitBlock, value) == 4, DioReadBitBlock_value);
RLX4100_STATIC_ASSERT(offsetof(DioWriteBitBlock, bit) == 2, DioWriteBitBlock_bit);
RLX4100_STATIC_ASSERT(offsetof(DioWriteBitBlock, state) == 4, DioWriteBitBlock_state);
RLX4100_STATIC_ASSERT(offsetof(DioGetCurrentDOByteBlock, value) == 4,
                      DioGetCurrentDOByteBlock_value);
RLX4100_STATIC_ASSERT(offsetof(DioGetCurrentDOBitBlock, bit) == 2, DioGetCurrentDOBitBlock_bit);
RLX4100_STATIC_ASSERT(offsetof(DioGetCurrentDOBitBlock, value) == 4, DioGetCurrentDOBitBlock_value);
RLX4100_STATIC_ASSERT(offsetof(WritePortByteBlock, value) == 2, WritePortByteBlock_value);
RLX4100_STATIC_ASSERT(offsetof(WritePortWordBlock, value) == 2, WritePortWordBlock_value);
RLX4100_STATIC_ASSERT(offsetof(ReadPortByteBlock, value) == 4, ReadPortByteBlock_value);
RLX4100_STATIC_ASSERT(offsetof(ReadPortWordBlock, value) == 4, ReadPortWordBlock_value);
RLX4100_STATIC_ASSERT(offsetof(EnableEventBlock, enable) == 2, EnableEventBlock_enable);
RLX4100_STATIC_ASSERT(offsetof(EnableEventBlock, count) == 4, EnableEventBlock_count);
RLX4100_STATIC_ASSERT(offsetof(CheckEventBlock, timeout) == 4, CheckEventBlock_timeout);
RLX4100_STATIC_ASSERT(offsetof(DeviceSetPropertyBlock, length) == 4, DeviceSetPropertyBlock_length);
RLX4100_STATIC_ASSERT(offsetof(DeviceSetPropertyBlock, data) == 8, DeviceSetPropertyBlock_data);
RLX4100_STATIC_ASSERT(offsetof(DeviceGetPropertyBlock, length) == 4, DeviceGetPropertyBlock_length);
RLX4100_STATIC_ASSERT(offsetof(DeviceGetPropertyBlock, buffer) == 8, DeviceGetPropertyBlock_buffer);
RLX4100_STATIC_ASSERT(offsetof(DioReadPortWordBlock, value) == 4, DioReadPortWordBlock_value);
RLX4100_STATIC_ASSERT(offsetof(DioReadPortWordBlock, validMask) == 8,
                      DioReadPortWordBlock_validMask);
RLX4100_STATIC_ASSERT(offsetof(DioWritePortWordBlock, mask) == 2, DioWritePortWordBlock_mask);
RLX4100_STATIC_ASSERT(offsetof(DioWritePortWordBlock, state) == 4, DioWritePortWordBlock_state);
RLX4100_STATIC_ASSERT(offsetof(DioReadPortDwordBlock, value) == 4, DioReadPortDwordBlock_value);
RLX4100_STATIC_ASSERT(offsetof(DioReadPortDwordBlock, validMask) == 8,
                      DioReadPortDwordBlock_validMask);
RLX4100_STATIC_ASSERT(offsetof(DioWritePortDwordBlock, mask) == 4, DioWritePortDwordBlock_mask);
RLX4100_STATIC_ASSERT(offsetof(DioWritePortDwordBlock, state) == 8, DioWritePortDwordBlock_state);
RLX4100_STATIC_ASSERT(offsetof(DioGetCurrentDOWordBlock, value) == 4,
                      DioGetCurrentDOWordBlock_value);
RLX4100_STATIC_ASSERT(offsetof(DioGetCurrentDOWordBlock, validMask) == 8,
                      DioGetCurrentDOWordBlock_validMask);
RLX4100_STATIC_ASSERT(offsetof(DioGetCurrentDODwordBlock, value) == 4,
                      DioGetCurrentDODwordBlock_value);
RLX4100_STATIC_ASSERT(offsetof(DioGetCurrentDODwordBlock, validMask) == 8,
                      DioGetCurrentDODwordBlock_validMask);
RLX4100_STATIC_ASSERT(offsetof(DioEnableEventAndSpecifyDiPortsBlock, firstPort) == 4,
                      DioEnableEventAndSpecifyDiPortsBlock_firstPort);
RLX4100_STATIC_ASSERT(offsetof(DioEnableEventAndSpecifyDiPortsBlock, portCount) == 8,
                      DioEnableEventAndSpecifyDiPortsBlock_portCount);
RLX4100_STATIC_ASSERT(offsetof(DioGetLatestEventDiPortsStateBlock, buffer) == 4,
                      DioGetLatestEventDiPortsStateBlock_buffer);
RLX4100_STATIC_ASSERT(offsetof(DioGetLatestEventDiPortsStateBlock, length) == 8,
                      DioGetLatestEventDiPortsStateBlock_length);
RLX4100_STATIC_ASSERT(offsetof(DioReadDiPortsBlock, portCount) == 4, DioReadDiPortsBlock_portCount);
RLX4100_STATIC_ASSERT(offsetof(DioReadDiPortsBlock, buffer) == 8, DioReadDiPortsBlock_buffer);
RLX4100_STATIC_ASSERT(offsetof(DioWriteDoPortsBlock, portCount) == 4,
                      DioWriteDoPortsBlock_portCount);
RLX4100_STATIC_ASSERT(offsetof(DioWriteDoPortsBlock, data) == 8, DioWriteDoPortsBlock_data);
RLX4100_STATIC_ASSERT(offsetof(DioGetCurrentDoPortsStateBlock, portCount) == 4,
                      DioGetCurrentDoPortsStateBlock_portCount);
RLX4100_STATIC_ASSERT(offsetof(DioGetCurrentDoPortsStateBlock, buffer) == 8,
                      DioGetCurrentDoPortsStateBlock_buffer);
#endif

#endif /* RLX4100_DRIVER_PROC_H */
