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
BOOL StopInterruptThread(DeviceContext* context);
DWORD InterruptServiceThread(LPVOID parameter);
BOOL CreateInterruptEvents(DeviceContext* context);
BOOL CloseEvent(DeviceContext* context);
void EnableEvent(DeviceContext* context, DWORD eventIndex, DWORD interruptCount);
void DisableEvent(DeviceContext* context, DWORD eventIndex);
// Thresholds and counters of all events back to "disabled", under threadLock.
void ResetEventCounting(DeviceContext* context);

// ---- Publication (publication.cpp) --------------------------------------------

DWORD PublishDevice(DeviceContext* context);
LONG FindDeviceNumber(DeviceContext* context, LPCWSTR driverKey, LONG* deviceNumber);
DWORD AllocateDeviceNumber(DWORD* deviceNumber);
void ReadTemplateTriggerMode(DeviceContext* context);
DWORD WriteNewDeviceEntries(DWORD deviceNumber, DeviceContext* context);
DWORD ReadStoredTriggerMode(DWORD deviceNumber, DeviceContext* context);
DWORD RefreshDeviceEntries(DWORD deviceNumber, DeviceContext* context);
DWORD ReloadTriggerMode(DeviceContext* context);
