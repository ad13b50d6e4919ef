/* The driver library's operations and their contracts. Included by
 * rlx4100.h, whose opening comment states the rules that hold for all of
 * them (statuses, handles, ports, order of checks, failed requests). */
#ifndef RLX4100_EXPORTS_H
#define RLX4100_EXPORTS_H

#ifndef RLX4100_H
#error "include rlx4100.h"
#endif

#if defined(__cplusplus)
extern "C" {
#endif

/* ---- Connections ------------------------------------------------------------------
 *
 * DeviceOpen and DeviceClose run one at a time: the library serialises them,
 * so threads may call them concurrently, and each call takes effect as a
 * whole. Neither holds the library's lock while a message box is up. */

/* Opens the device whose registry entry is DeviceNNN with NNN = deviceNumber
 * (any value; `vtdio list` shows them) and stores its handle in *handle.
 * Opens of one device number within a process share one connection and one
 * handle value; each open adds a reference that one DeviceClose gives back.
 * Checks, in order:
 *   1. handle NULL: reason API_INVALID_PARAMETER, or API_CONFIG_NOT_FOUND
 *      for a device number above 254, which no registry entry can have
 *      (its device-qualified status would not fit in 32 bits).
 *   2. The device's registry entry is read (at every open, also of a device
 *      already open). No entry, or a value of it missing: a modal message
 *      box with text "DeviceOpen" and caption "Error" is shown, and once it
 *      is dismissed API_CONFIG_NOT_FOUND (2) is returned. No library lock is
 *      held meanwhile: code that runs while the box is up (another thread,
 *      or a window procedure run by the box's message loop) may open and
 *      close devices.
 *   3. Already open in this process: one more reference, the same handle, 0.
 *      The connection keeps the entry read at its first open. A connection
 *      whose stream device no longer answers (its driver was unloaded: the
 *      target shut down, perhaps booted again) is not taken: it ends as at
 *      its last DeviceClose (its handle is refused from now on) and a new
 *      connection is created as in 4.
 *   4. Otherwise a connection is created: no memory, no stop event or no
 *      free handle (256 connections per process): reason API_ALLOC_FAILED;
 *      the stream device that the entry names does not open, or reports
 *      another board type, bus or slot than the entry: reason
 *      API_DRIVER_OPEN_FAILED. Everything acquired is released again.
 * On failure *handle is not written. */
RLX4100_API LONG DeviceOpen(DWORD deviceNumber, LONG* handle);

/* Gives back one open reference of the handle in *handle and sets *handle
 * to 0. Checks, in order:
 *   1. handle NULL, *handle 0, or *handle not a live handle:
 *      API_INVALID_HANDLE, *handle unchanged.
 *   2. Every close (also one that leaves references) asks the stream driver
 *      to close the device's named events and disable all of the device's
 *      interrupt events, for every process; its result is ignored. Events
 *      must be enabled again before further signals arrive.
 *   3. References remain: one fewer, *handle = 0, 0.
 *   4. The last reference: every CheckEvent waiting on the connection, in
 *      any thread, returns EVT_TERMINATED; the handle is refused from now
 *      on (a copy of it included); the connection's resources are freed
 *      once the last operation still running on it has returned. 0. */
RLX4100_API LONG DeviceClose(LONG* handle);

/* Copies the board family's DeviceFeatures record, exactly
 * DEVICE_FEATURES_SIZE (800) bytes, to buffer: the VTM-6200K record for
 * board type 221, the VTC-4100 record (board type 135) for 135 and 226.
 * size is the buffer's capacity in bytes. Checks, in order: handle; buffer
 * NULL or size below 800: reason API_INVALID_PARAMETER; board type: reason
 * API_BOARD_NOT_SUPPORTED. */
RLX4100_API LONG DeviceGetFeatures(LONG handle, void* buffer, WORD size);

/* ---- Digital I/O by port range -----------------------------------------------------
 *
 * portCount ports from firstPort: DI port values, DO values to write, or the
 * DO values last written (the stream driver keeps them; outputs are not read
 * back from the board). Checks, in order: handle; board type; firstPort not
 * below the board's port count, portCount 0, or portCount above the ports
 * left from firstPort: reason API_PORT_OUT_OF_RANGE; buffer or data NULL:
 * reason API_INVALID_PARAMETER; the request. */
RLX4100_API LONG DioReadDiPorts(LONG handle, DWORD firstPort, DWORD portCount, BYTE* buffer);
RLX4100_API LONG DioWriteDoPorts(LONG handle, DWORD firstPort, DWORD portCount, const BYTE* data);
RLX4100_API LONG DioGetCurrentDoPortsState(LONG handle, DWORD firstPort, DWORD portCount,
                                           BYTE* buffer);

/* ---- Digital inputs by byte, bit, word, dword ------------------------------------- */

/* One DI port into *value. Checks, in order: handle; board type; port
 * (reason API_PORT_OUT_OF_RANGE); value NULL (reason API_INVALID_PARAMETER);
 * the request. */
RLX4100_API LONG DioReadPortByte(LONG handle, WORD port, BYTE* value);

/* One DI bit into *value (0 or 1). Checks, in order: handle; board type;
 * port (reason API_PORT_OUT_OF_RANGE); value NULL (reason
 * API_INVALID_PARAMETER); the port is read (the request); bit above 7
 * (reason API_INVALID_PARAMETER, after the read). */
RLX4100_API LONG DioReadBit(LONG handle, WORD port, WORD bit, WORD* value);

/* Up to 2 (word) or 4 (dword) DI ports from port, as many as the board has
 * from there. *validMask receives the bits that belong to real ports
 * (0xFFFF or 0x00FF; 0xFFFFFFFF, 0x00FFFFFF, 0x0000FFFF or 0x000000FF) and
 * *value the ports' bits AND that mask. Checks, in order: handle; validMask
 * or value NULL (reason API_INVALID_PARAMETER); board type; port not below
 * the port count (reason API_PORT_OUT_OF_RANGE); the mask is stored; the
 * request (on its failure the mask stays stored, the value is not). */
RLX4100_API LONG DioReadPortWord(LONG handle, WORD port, WORD* validMask, WORD* value);
RLX4100_API LONG DioReadPortDword(LONG handle, WORD port, DWORD* validMask, DWORD* value);

/* ---- Digital outputs: masked writes ----------------------------------------------
 *
 * Each reads the DO values last written, replaces the bits set in mask by
 * those of state and writes the ports back; the other bits keep their
 * values. A readback that fails writes nothing; a write that fails leaves
 * the DO ports as the stream driver left them. Masked writes and
 * DioWriteDoPorts on one connection are serialised within the process, so
 * threads writing different bits never undo each other's; a write from
 * another process between the readback and the write is not seen. */

/* Bits 0 to 7 of mask and state on one port. Checks, in order: handle;
 * board type; port (reason API_PORT_OUT_OF_RANGE); the readback; the
 * write. */
RLX4100_API LONG DioWritePortByte(LONG handle, WORD port, WORD mask, WORD state);

/* Sets one DO bit to 1 when state is non-zero, else to 0. Checks, in
 * order: handle; bit above 7 (reason API_INVALID_PARAMETER, nothing sent);
 * board type; port (reason API_PORT_OUT_OF_RANGE); the readback; the
 * write. */
RLX4100_API LONG DioWriteBit(LONG handle, WORD port, WORD bit, WORD state);

/* Up to 2 ports from port: when only one port is left, mask bits 8 to 15
 * are dropped. Checks, in order: handle; board type; port not below the
 * port count (reason API_PORT_OUT_OF_RANGE, nothing sent); the readback;
 * the write. */
RLX4100_API LONG DioWritePortWord(LONG handle, WORD port, WORD mask, WORD state);

/* Up to 4 ports from port, mask bits beyond the ports left dropped. Checks,
 * in order: handle; board type; port equal to the port count (reason
 * API_PORT_OUT_OF_RANGE, nothing sent); the readback, which refuses a port
 * beyond the port count with reason API_PORT_OUT_OF_RANGE; the write. */
RLX4100_API LONG DioWritePortDword(LONG handle, WORD port, DWORD mask, DWORD state);

/* ---- Digital outputs: values last written ----------------------------------------- */

/* One DO port's last written value into *value. Checks, in order: handle;
 * value NULL (reason API_INVALID_PARAMETER); board type; port (reason
 * API_PORT_OUT_OF_RANGE); the request. */
RLX4100_API LONG DioGetCurrentDOByte(LONG handle, WORD port, BYTE* value);

/* One DO bit's last written value into *value (0 or 1). Checks, in order:
 * handle; value NULL (reason API_INVALID_PARAMETER); board type; port
 * (reason API_PORT_OUT_OF_RANGE); the request; bit above 7 (reason
 * API_INVALID_PARAMETER, after the read). */
RLX4100_API LONG DioGetCurrentDOBit(LONG handle, WORD port, WORD bit, WORD* value);

/* Up to 2 (word) or 4 (dword) DO ports' last written values, with the mask
 * of valid bits as for DioReadPortWord; *value receives the assembled
 * value, whatever it held before. Checks, in order: handle; validMask or
 * value NULL (reason API_INVALID_PARAMETER); board type; port equal to the
 * port count (reason API_PORT_OUT_OF_RANGE); the mask is stored; the
 * request, which refuses a port beyond the port count with reason
 * API_PORT_OUT_OF_RANGE (the mask then stays stored as all bits valid). */
RLX4100_API LONG DioGetCurrentDOWord(LONG handle, WORD port, WORD* validMask, WORD* value);
RLX4100_API LONG DioGetCurrentDODword(LONG handle, WORD port, DWORD* validMask, DWORD* value);

/* ---- Raw board registers -----------------------------------------------------------
 *
 * A register by its I/O address: only the low 16 bits of ioAddress count,
 * and the register offset is those bits minus the board's first I/O port
 * (PROP_BASE_ADDRESS), as an unsigned 32-bit difference. No board-type
 * check. Checks, in order: handle; (reads) value NULL, or an offset above
 * the board's I/O length: reason API_INVALID_PARAMETER (an offset equal to
 * the length is refused by the stream driver, reason 64); the request.
 * ReadPortByte widens the byte to 16 bits; WritePortByte writes the low
 * byte of value. */
RLX4100_API LONG ReadPortByte(LONG handle, DWORD ioAddress, WORD* value);
RLX4100_API LONG ReadPortWord(LONG handle, DWORD ioAddress, WORD* value);
RLX4100_API LONG WritePortByte(LONG handle, DWORD ioAddress, WORD value);
RLX4100_API LONG WritePortWord(LONG handle, DWORD ioAddress, WORD value);

/* ---- Interrupt events ----------------------------------------------------------------
 *
 * An event type code names an event index: EVT_DI_INTERRUPT0 to 3 and the
 * two aliases; any other code, and index 2 or 3 on the VTM-6200K, is
 * refused with reason API_EVENT_NOT_SUPPORTED. The enabled state, the
 * count and the capture window of an event index belong to the stream
 * driver and are shared by every process that uses the device. */

/* Enables (enable non-zero: signalled every count-th interrupt) or disables
 * (enable 0) the event of eventType. Checks, in order: handle; event type;
 * enable non-zero with count 0 (reason API_INVALID_PARAMETER); then the
 * device's four named interrupt events are opened where not open yet (a
 * failure is not reported; the next call tries again), the connection's
 * edge selection (PROP_DI_FALLING_EDGE_MASK) is written to the board (not
 * reported either), and the request is sent. On success a call under an
 * alias code decides whether CheckEvent reports that index under the alias:
 * yes for enable 1, no for any other enable value; a call under a plain
 * code leaves that as it was. */
RLX4100_API LONG EnableEvent(LONG handle, WORD eventType, WORD enable, WORD count);

/* EnableEvent(handle, the low 16 bits of eventType, 0, 0). */
RLX4100_API LONG DioDisableEvent(LONG handle, DWORD eventType);

/* Sets the DI ports that the driver captures at each interrupt of the event
 * (portCount ports from firstPort; 0 ports is accepted), then enables the
 * event with count 1. All 32 bits of eventType must match a code. Checks,
 * in order: handle; event type; board type; firstPort not below the port
 * count, or portCount above the ports left from it: reason
 * API_INVALID_PARAMETER; the window request (on any failure so far the
 * event is left as it was); then EnableEvent's checks. */
RLX4100_API LONG DioEnableEventAndSpecifyDiPorts(LONG handle, DWORD eventType, DWORD firstPort,
                                                 DWORD portCount);

/* Copies the DI port bytes captured at the event's latest interrupt: the
 * first min(length, window size) bytes of the capture window; the rest of
 * the buffer keeps its content. All 32 bits of eventType must match a
 * code. Checks, in order: handle; buffer NULL or length 0 (reason
 * API_INVALID_PARAMETER); event type; the request. */
RLX4100_API LONG DioGetLatestEventDiPortsState(LONG handle, DWORD eventType, BYTE* buffer,
                                               DWORD length);

/* Waits up to timeout milliseconds (0: poll; 0xFFFFFFFF: no limit) for an
 * event of the connection and stores what ended the wait in *eventType:
 *   - the connection's final DeviceClose, in another thread, or the end of
 *     its stream device (its driver unloaded: the target shut down), noticed
 *     within 100 ms: EVT_TERMINATED;
 *   - an interrupt event: its code (index 2 and 3 under their alias while
 *     enabled so); the event is consumed, one signal wakes one waiter;
 *   - the timeout: EVT_TIMEOUT.
 * All with status 0. Checks, in order: handle; eventType NULL (reason
 * API_INVALID_PARAMETER); the wait: a failed wait, as before the
 * connection's first EnableEvent (its interrupt events are not open yet),
 * stores EVT_NONE and returns reason API_WAIT_FAILED.
 * Threads: any number may wait on one connection while others use it; a
 * waiter whose connection is released returns safely and touches nothing
 * freed. */
RLX4100_API LONG CheckEvent(LONG handle, WORD* eventType, DWORD timeout);

/* ---- Device setting dialog ----------------------------------------------------------- */

/* Shows the device setting dialog of the device numbered deviceNumber as a
 * modal dialog owned by parent (may be NULL) and returns when it has closed.
 * In it the user chooses, for each interrupt-capable input (bits 0 to 3 of
 * DI port 0 on the VTC-4100 and VTC-4100E, bits 0 and 1 on the VTM-6200K,
 * none on another board type; the other columns are disabled), the rising
 * or the falling edge, starting from the device's stored "TriggerMode".
 * OK stores the choice in the device's registry entry ("TriggerMode", and
 * "DeviceName" and "SwitchID" in the device list) for the driver's next
 * start, and writes it to the board at once by opening and closing the
 * device, which disables every interrupt event of the device for all
 * applications until they are enabled again (EnableEvent). Cancel, Escape
 * and the close box write nothing.
 * Returns 0 once the dialog has closed by any path, also when the device
 * has no readable registry entry (the dialog closes before it is shown);
 * -1 when the dialog cannot be created. reserved, reserved1 and reserved2
 * are not used.
 * Threads: runs in the calling thread. The dialog keeps the device number
 * it was shown for: OK stores to that device, whatever DeviceOpen or
 * DeviceConfig calls happen while it is shown.
 * One dialog per process at a time: a DeviceConfig while one is shown
 * (from its own message loop or another thread) closes at once, returns 0
 * and changes nothing of the shown dialog.
 * DeviceConfigExt is the same entry under a second name. */
RLX4100_API LONG DeviceConfig(DWORD deviceNumber, DWORD reserved, HWND parent, void* reserved1,
                              void* reserved2);
RLX4100_API LONG DeviceConfigExt(DWORD deviceNumber, DWORD reserved, HWND parent, void* reserved1,
                                 void* reserved2);

#if defined(__cplusplus)
} /* extern "C" */

/* ---- Device properties (C++ names, type-decorated) ----------------------------------
 *
 * Facts about an open device by id (see PROP_*), from the connection's
 * registry entry as read at its first open and from the board type; no
 * request is sent. */

/* Reads property id into buffer. *length holds the buffer's capacity on
 * entry and the property's size on return. Checks, in order: handle; id
 * unknown (reason API_PROPERTY_NOT_SUPPORTED); length NULL (reason
 * API_INVALID_PARAMETER); a port-dependent id on an unknown board type
 * (reason API_BOARD_NOT_SUPPORTED); buffer NULL: *length = size, status 0
 * (a size query); *length below the size: *length = size, reason
 * API_INVALID_PARAMETER. Ids 0 to 6 and the per-port ids first clear the
 * whole buffer (*length bytes on entry); the others write 4 bytes only. */
RLX4100_API LONG DeviceGetProperty(LONG handle, WORD id, void* buffer, DWORD* length);

/* Sets the connection's edge selection from byte 0 of data:
 * PROP_DI_FALLING_EDGE_MASK selects the falling edge for the bits set,
 * PROP_DI_RISING_EDGE_MASK the rising edge; bits beyond the board's events
 * are dropped. It reaches the board at the next EnableEvent; other
 * processes' connections keep their own. Checks, in order: handle; data
 * NULL, or an id other than the two: reason API_INVALID_PARAMETER; board
 * type; length below the port count (reason API_INVALID_PARAMETER). */
RLX4100_API LONG DeviceSetProperty(LONG handle, WORD id, void* data, DWORD length);
#endif /* __cplusplus */

#endif /* RLX4100_EXPORTS_H */
