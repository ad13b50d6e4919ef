// Internal to the device manager: the active keys. Each loaded device has one,
// HKLM\Drivers\Active\NN, holding Key (its device key), Name (its device
// name) and Hnd (its device handle); the driver's Init receives its path. The
// keys are volatile: they describe the devices of this run only.
#pragma once

#include "platform/host/internal_header.h"

#include <string>

#include "platform/types.h"

namespace vtsim::internal {

// Removes every active key: they describe the devices of an earlier run (a
// hive saved while drivers were loaded). Takes the hive's lock.
void ClearActiveKeys();

// Creates HKLM\Drivers\Active\NN (the lowest free NN from 01) with Key, Name
// (left out when name is empty) and Hnd. Returns the path relative to HKLM,
// or an empty string with the reason in *error (nothing is left behind then).
std::u16string WriteActiveKey(const std::u16string& deviceKey, const std::u16string& name,
                              DWORD hnd, std::string* error);

// Removes the active key at path (relative to HKLM); a path that names no
// key is ignored. Handles still open on it go stale.
void DeleteActiveKey(const std::u16string& path);

}  // namespace vtsim::internal
