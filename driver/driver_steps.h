// The steps of the stream driver's start, stop, interrupt service and
// publication, shared between the driver's files.
#pragma once

#include "driver/device_context.h"
#include "platform/types.h"

// ---- Start: registry data and the I/O window (registry_data.cpp) ----------

// Identifies the board and reads its interrupt and window information,
// switch setting and device file name from the active key. FALSE when the
// active key cannot be opened or the PCI information cannot be read.
BOOL GetRegistryData(DeviceContext* context, LPCWSTR activeKey);
// Translates (and for a memory window maps) the I/O window; returns the
// mapping (0 on failure) and sets translatedBase.
ULONG_PTR MapIoWindow(DeviceContext* context, DWORD ioBase, DWORD ioLength);

// ---- Interrupt service (interrupt_service.cpp) ------------------------------

// An interrupt line, a logical interrupt and both handler names are known.
bool InterruptInfoComplete(const DeviceContext* context);
BOOL InstallISR(DeviceContext* context);
BOOL StartInterruptThread(DeviceContext* context);
// Asks the interrupt service thread to end and waits for it (up to
// STOP_THREAD_TIMEOUT_MS), then takes the logical interrupt's registration
// back. FALSE, with the thread's handle and registration kept, when the
// thread has not ended by then: the caller must not free what it uses.
BOOL StopInterruptThread(DeviceContext* context);
DWORD InterruptServiceThread(LPVOID parameter);
BOOL CreateInterruptEvents(DeviceContext* context);
BOOL CloseEvent(DeviceContext* context);
void EnableEvent(DeviceContext* context, DWORD eventIndex, DWORD interruptCount);
void DisableEvent(DeviceContext* context, DWORD eventIndex);
// Thresholds and counters of all events back to "disabled", under threadLock.
void ResetEventCounting(DeviceContext* context);

// ---- Publication (publication.cpp) --------------------------------------------

// Gives the board its device number (found again by bus and slot, else the
// lowest free one), writes or refreshes its device-list and driver-key
// entries, takes its trigger mode from the stored entry or its switch's
// template, and writes that to the board. True when the board is published:
// it has its number and both entries are up to date. Otherwise deviceIndex
// is NO_DEVICE_NUMBER (no model, no free number, new entries not written)
// or the number of its stored entry (a refresh not written); the trigger
// register is written whenever the board has a model. Not thread-safe: two
// publications must not run at once.
bool PublishDevice(DeviceContext* context);
// Re-reads the trigger mode from the board's driver-key entry (the board's
// register is not written). 1 when read; 0 for a board without a model or
// number, or when the entry has no trigger mode.
DWORD ReloadTriggerMode(DeviceContext* context);
