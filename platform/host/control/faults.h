// Fault injection for the simulated target's services. Each arms a one-shot
// failure: the n-th call from now (1 = the very next call) of that service
// fails as the real service would, the others succeed. Disarm with 0.
#pragma once

namespace vtsim {

enum class Fault {
    EventCreation,   // CreateEventW returns NULL, ERROR_NOT_ENOUGH_MEMORY
    ThreadCreation,  // CreateThread returns NULL, ERROR_NOT_ENOUGH_MEMORY
    RegistryWrite,  // RegSetValueExW (or RegCreateKeyExW creating a key) fails, ERROR_ACCESS_DENIED
    Allocation,     // LocalAlloc returns NULL, ERROR_NOT_ENOUGH_MEMORY
    InterruptInitialize,  // InterruptInitialize returns FALSE
    DeviceOpen,           // CreateFileW fails with ERROR_GEN_FAILURE before the driver is called
    FileRead,             // ReadFile on a file reads nothing and fails, ERROR_READ_FAULT
    FileWrite,            // WriteFile on a file writes nothing and fails, ERROR_DISK_FULL
    FileFlush,            // FlushFileBuffers fails, ERROR_WRITE_FAULT
    FileReplace,          // ReplaceFileW replaces nothing and fails, ERROR_UNABLE_TO_MOVE_REPLACEMENT
};

void ArmFault(Fault fault, unsigned nthCallFromNow);
void DisarmAllFaults();
// True once the armed failure has happened (and it is then disarmed).
bool FaultFired(Fault fault);

}  // namespace vtsim
