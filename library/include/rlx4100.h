/* Public interface of the RLX4100 driver library.
 *
 * Applications include this header (it includes rlx4100_exports.h and
 * rlx4100_driver_proc.h from the same folder) and link the library
 * (-lRlx4100). It stands alone: it needs only the C standard headers, and
 * compiles as C (C99 or later) and as C++. The two property operations,
 * whose exported names carry C++ type decoration, are declared for C++
 * only.
 *
 * Statuses. Every operation returns a signed 32-bit status and never throws:
 *   - API_SUCCESS (0);
 *   - a plain code, tied to no device: API_CONFIG_NOT_FOUND,
 *     API_INVALID_HANDLE, API_UNKNOWN_FUNCTION;
 *   - a device-qualified code ApiDeviceStatus(device number, reason) =
 *     (device number + 1) * 4096 + reason, where the reason is one of the
 *     API_* reason numbers below or, for a request that the stream driver
 *     refused, the translated error (see "Failed requests").
 * "Reason n" below means ApiDeviceStatus(the connection's device number, n).
 *
 * Handles. A device handle is a positive 32-bit value issued by DeviceOpen.
 * Every operation that takes a handle tests it first: 0, a value never
 * issued, and a handle whose connection was released by its final
 * DeviceClose are refused with API_INVALID_HANDLE, and nothing is written.
 *
 * Ports. The VTC-4100 (board type 135) and VTC-4100E (226) have 4 DI and 4
 * DO ports, the VTM-6200K (221) has 2 of each; ports are 8 bits wide and
 * numbered from 0, bits 0 to 7 within a port. Multi-port values are
 * little-endian across ports: the start port holds bits 0 to 7. A
 * connection whose registry entry names another board type is refused with
 * reason API_BOARD_NOT_SUPPORTED by every port, event-window and
 * port-dependent property operation.
 *
 * Order of checks. Each operation lists its checks in the order it makes
 * them; the first that fails decides the status. Unless a contract says
 * otherwise, a failed check writes nothing and sends nothing to the device.
 *
 * Failed requests. When the stream driver refuses a request, the reason is
 * its own status (10, 24, 64 or 0xC000000D), or 100 (API_SYS_UNKNOWN) to
 * 105 for the platform errors named below, or the platform's error number
 * unchanged (50 for a request the driver does not know), or 0 when no error
 * was recorded. The operation's result locations are then undefined.
 *
 * Threads. Operations on one connection may run in parallel in several
 * threads, except as DeviceOpen, DeviceClose and CheckEvent say. Each
 * process has its own connections and handles; processes share the boards,
 * the stream driver's state and the named interrupt events. */
#ifndef RLX4100_H
#define RLX4100_H

#include <stddef.h>
#include <stdint.h>

/* ---- Basic types ------------------------------------------------------------
 * The types of the target's API that the interface uses. On the target the
 * SDK's <windows.h> defines them. Elsewhere they are defined here exactly as
 * the package's own platform/types.h defines them; C++ accepts a repeated
 * alias of the same type, so a translation unit that includes both headers
 * (the library's own sources do) compiles only while the two agree. A
 * program that defines these seven names itself defines RLX4100_BASIC_TYPES
 * before including this header. */
#if defined(_WIN32)
#include <windows.h>
#elif !defined(RLX4100_BASIC_TYPES)
#define RLX4100_BASIC_TYPES
typedef int32_t LONG;
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef intptr_t LONG_PTR;
typedef struct HWND__* HWND; /* a window: only passed through */
#if defined(__cplusplus)
typedef char16_t WCHAR;
#else
typedef uint16_t WCHAR; /* the same 16-bit code units */
#endif
#endif

/* The library's exports: marked for export while the library itself is
 * built (RLX4100_BUILDING_LIBRARY), imported from its DLL elsewhere on
 * Windows, visible outside the shared object elsewhere. */
#if defined(_WIN32) && defined(RLX4100_BUILDING_LIBRARY)
#define RLX4100_API __declspec(dllexport)
#elif defined(_WIN32)
#define RLX4100_API __declspec(dllimport)
#elif defined(__GNUC__)
#define RLX4100_API __attribute__((visibility("default")))
#else
#define RLX4100_API
#endif

/* A constant of a given type, usable in C and C++ constant expressions. */
#if defined(__cplusplus)
#define RLX4100_CONSTANT(type, value) (static_cast<type>(value))
#define RLX4100_INLINE constexpr inline
#else
#define RLX4100_CONSTANT(type, value) ((type)(value))
#define RLX4100_INLINE static inline
#endif

/* A compile-time check in C++, C11 and C99 (where a failed check declares
 * an array of negative size). tag names the check. */
#if defined(__cplusplus)
#define RLX4100_STATIC_ASSERT(condition, tag) static_assert(condition, #tag)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define RLX4100_STATIC_ASSERT(condition, tag) _Static_assert(condition, #tag)
#else
#define RLX4100_STATIC_ASSERT(condition, tag) typedef char rlx4100_check_##tag[(condition) ? 1 : -1]
#endif

/* ---- Status codes ------------------------------------------------------------ */

#define API_SUCCESS 0
/* Plain codes, tied to no device. */
#define API_CONFIG_NOT_FOUND 2 /* DeviceOpen: no complete registry entry */
#define API_INVALID_HANDLE 3
#define API_UNKNOWN_FUNCTION 27 /* DriverProc: no operation has the code */

/* Reason numbers of device-qualified codes. */
#define API_ALLOC_FAILED 1
#define API_PORT_OUT_OF_RANGE 7
#define API_INVALID_PARAMETER 10
#define API_BOARD_NOT_SUPPORTED 24
#define API_DRIVER_OPEN_FAILED 26
#define API_EVENT_NOT_SUPPORTED 40
#define API_PROPERTY_NOT_SUPPORTED 62
#define API_WAIT_FAILED 63
#define API_SYS_UNKNOWN 100           /* platform error 0xFFFFFFFF */
#define API_SYS_FILE_NOT_FOUND 101    /* platform error 2 */
#define API_SYS_INVALID_HANDLE 102    /* platform error 6 */
#define API_SYS_TOO_MANY_COMMANDS 103 /* platform error 56 */
#define API_SYS_NO_ACCESS 105         /* platform error 998 */

/* The device-qualified status of a device number and a reason number:
 * (deviceNumber + 1) * 4096 + reason, as a 32-bit addition. */
RLX4100_INLINE LONG ApiDeviceStatus(DWORD deviceNumber, DWORD reason)
{
    return RLX4100_CONSTANT(LONG, (deviceNumber + 1u) * 4096u + reason);
}

/* ---- Event type codes (EnableEvent, CheckEvent and friends) -------------------
 * Event indexes 0 to 3 are the board's four interrupt inputs; the VTM-6200K
 * has indexes 0 and 1 only. */

#define EVT_NONE RLX4100_CONSTANT(WORD, 0)
#define EVT_DI_INTERRUPT0 RLX4100_CONSTANT(WORD, 0x3400) /* event index 0 */
#define EVT_DI_INTERRUPT1 RLX4100_CONSTANT(WORD, 0x3401) /* event index 1 */
#define EVT_DI_INTERRUPT2 RLX4100_CONSTANT(WORD, 0x3410) /* event index 2 */
#define EVT_DI_INTERRUPT3 RLX4100_CONSTANT(WORD, 0x3411) /* event index 3 */
/* Other names of event indexes 2 and 3 (12288, 12289): enabled under these
 * codes, the index is reported under them by CheckEvent. */
#define EVT_DI_INTERRUPT2_ALIAS RLX4100_CONSTANT(WORD, 0x3000)
#define EVT_DI_INTERRUPT3_ALIAS RLX4100_CONSTANT(WORD, 0x3001)
#define EVT_TERMINATED RLX4100_CONSTANT(WORD, 0xFFFE) /* the connection was released */
#define EVT_TIMEOUT RLX4100_CONSTANT(WORD, 0xFFFF)

/* ---- Property ids (DeviceGetProperty, DeviceSetProperty) ----------------------
 * Sizes: 4 bytes (an unsigned 32-bit number, little-endian) unless marked
 * "per port" (one byte per DI port: 4 or 2 bytes). */

#define PROP_DEVICE_NUMBER RLX4100_CONSTANT(WORD, 0)
#define PROP_BOARD_TYPE RLX4100_CONSTANT(WORD, 1) /* 135, 226 or 221 */
#define PROP_SWITCH_ID RLX4100_CONSTANT(WORD, 2)
#define PROP_BASE_ADDRESS RLX4100_CONSTANT(WORD, 3) /* first I/O port */
#define PROP_IRQ RLX4100_CONSTANT(WORD, 4)
#define PROP_BUS_NUMBER RLX4100_CONSTANT(WORD, 5)
#define PROP_SLOT_NUMBER RLX4100_CONSTANT(WORD, 6)
#define PROP_DI_RESERVED RLX4100_CONSTANT(WORD, 0x3C82)      /* 0 */
#define PROP_DI_CHANNEL_COUNT RLX4100_CONSTANT(WORD, 0x3C83) /* ports * 8 */
#define PROP_DI_PORT_COUNT RLX4100_CONSTANT(WORD, 0x3C84)
/* Per port: the interrupt inputs on each DI port (3, 0, 3, 0 or 3, 0). */
#define PROP_DI_INTERRUPT_BITS RLX4100_CONSTANT(WORD, 0x3C85)
/* Per port, settable: byte 0 has bit i set when event index i triggers on
 * the rising (falling) edge; the other bytes are 0. */
#define PROP_DI_RISING_EDGE_MASK RLX4100_CONSTANT(WORD, 0x3C86)
#define PROP_DI_FALLING_EDGE_MASK RLX4100_CONSTANT(WORD, 0x3C87)
#define PROP_DO_RESERVED RLX4100_CONSTANT(WORD, 0x4806)      /* 0 */
#define PROP_DO_CHANNEL_COUNT RLX4100_CONSTANT(WORD, 0x4807) /* ports * 8 */
#define PROP_DO_PORT_COUNT RLX4100_CONSTANT(WORD, 0x4808)

/* ---- The features record (DeviceGetFeatures) ----------------------------------- */

#define DEVICE_FEATURES_SIZE 800u

/* A fixed description of the board family, little-endian, the same on
 * every host. */
typedef struct DeviceFeatures {
    WCHAR version[8];      /* "Ver 1.0", terminated */
    WCHAR libraryName[16]; /* "RLX4100.DLL", terminated, rest zero */
    DWORD boardType; /* 135 for the VTC-4100 family (also the VTC-4100E), 221 for the VTM-6200K */
    WORD reserved52[3];   /* 0 */
    WORD diLineCount;     /* digital input lines: 32 (four ports) or 16 (two ports) */
    WORD doLineCount;     /* digital output lines, the same count */
    WORD one;             /* 1 */
    BYTE reserved64[720]; /* 0 */
    DWORD marker;         /* 0x1500 */
    BYTE reserved788[12]; /* 0 */
} DeviceFeatures;
RLX4100_STATIC_ASSERT(sizeof(DeviceFeatures) == DEVICE_FEATURES_SIZE, features_size);
RLX4100_STATIC_ASSERT(offsetof(DeviceFeatures, libraryName) == 16, features_library_name);
RLX4100_STATIC_ASSERT(offsetof(DeviceFeatures, boardType) == 48, features_board_type);
RLX4100_STATIC_ASSERT(offsetof(DeviceFeatures, diLineCount) == 58, features_di_lines);
RLX4100_STATIC_ASSERT(offsetof(DeviceFeatures, doLineCount) == 60, features_do_lines);
RLX4100_STATIC_ASSERT(offsetof(DeviceFeatures, one) == 62, features_one);
RLX4100_STATIC_ASSERT(offsetof(DeviceFeatures, marker) == 784, features_marker);

#include "rlx4100_driver_proc.h"
#include "rlx4100_exports.h"

#endif /* RLX4100_H */
