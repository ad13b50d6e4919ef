// The stream driver's record of one board, from VTD_Init to VTD_Deinit.
//
// The fields follow the board record's documented order. Handles and the
// addresses that a mapping returns are pointer-sized here (the host is 64-bit);
// everything else has the documented width. The few fields that more than one
// thread touches outside the two locks are atomics of the same width.
#pragma once

#include <atomic>

#include "common/board_types.h"
#include "platform/kernel.h"
#include "platform/types.h"

// DI ports of one event as the application wants to see them, and the DI
// ports as they stood at the event's last interrupt.
struct EventDiWindow {
    WORD start;                // first DI port of the window
    WORD count;                // number of DI ports in the window
    BYTE snapshot[MAX_PORTS];  // DI ports 0..3 latched at the last interrupt
};

constexpr DWORD DEVICE_FILE_NAME_CHARS = 16;  // room for 15 characters
constexpr DWORD DEVICE_FILE_NAME_BYTES = 20;  // what is read of "Name"
constexpr DWORD ISR_NAME_CHARS = 256;
constexpr DWORD IST_PRIORITY = 103;
constexpr DWORD DISABLED_EVENT_THRESHOLD = 0xFFFF;
constexpr DWORD ISR_STATUS_OFFSET = REG_INT_STATUS;
constexpr DWORD STOP_THREAD_TIMEOUT_MS = 3000;
constexpr LONG NO_DEVICE_NUMBER = -1;

struct DeviceContext {
    WCHAR name[DEVICE_FILE_NAME_CHARS];  // device file name ("VTD1:"), always terminated
    DWORD boardType;                     // 135, 221, 226; 0 when not identified
    DWORD subsystemId;                   // PCI subsystem id, 0 when not reported
    DWORD switchId;                      // ID switch, 0..15
    LONG deviceIndex;                    // device number 0..254; -1 when not published
    DWORD instanceIndex;                 // PCI instance index
    std::atomic<DWORD> openCount;        // opens minus closes
    DWORD diPortCount;
    DWORD doPortCount;
    WCHAR isrDll[ISR_NAME_CHARS];      // installable handler library
    WCHAR isrHandler[ISR_NAME_CHARS];  // its entry
    std::atomic<DWORD> stopThread;     // 1 asks the interrupt service thread to end
    DWORD irq;                         // interrupt line; IRQ_UNSPECIFIED for none
    HANDLE isrHandle;                  // installed chain handler
    DWORD sysIntr;                     // logical interrupt
    DWORD isrStatusOffset;             // register the handler tests (0x10)
    DWORD isrMask;                     // its bits that mean "this board"
    HANDLE istThread;                  // interrupt service thread
    HANDLE interruptEvent;             // signalled by the platform per interrupt
    HANDLE threadExitEvent;            // signalled by the thread when it ends
    DWORD istPriority;                 // 103
    DWORD slotNumber;                  // PCI device (slot) number
    DWORD busNumber;                   // bus of the I/O window
    DWORD interfaceType;               // interface type of the I/O window
    DWORD ioBase;                      // first port of the board
    DWORD ioLength;                    // ports in the window; 0 when there is none
    ULONG_PTR mappedBase;              // result of mapping the window
    ULONG_PTR translatedBase;          // translated window address for the handler
    std::atomic<DWORD> lastStatus;     // last failure status of a control request
    HANDLE diEvents[MAX_EVENTS];       // named interrupt events
    DWORD eventThreshold[MAX_EVENTS];  // interrupts per signal; 0xFFFF when disabled
    DWORD eventCounter[MAX_EVENTS];    // interrupts since the last signal
    DWORD interruptConnected;          // 1 after the first enabling request
    BYTE doShadow[MAX_PORTS];          // last value written to each DO port
    DWORD triggerMode;                 // trigger edges, low byte goes to the board
    EventDiWindow eventWindows[MAX_EVENTS];
    CRITICAL_SECTION portLock;    // serialises the port requests
    CRITICAL_SECTION threadLock;  // one interrupt pass; the event fields
    // Bookkeeping of what start acquired, so that stop releases exactly that.
    BOOL windowMappedAsMemory;  // mappedBase came from MmMapIoSpace
    BOOL interruptRegistered;   // sysIntr registered with interruptEvent
};

inline DeviceContext* ContextOf(DWORD_PTR context)
{
    return reinterpret_cast<DeviceContext*>(context);
}
