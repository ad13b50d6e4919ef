// Internal: how CreateFileW names map to the host (see
// platform/host/control/files.h for the rules people rely on).
#pragma once

#include "platform/host/internal_header.h"

#include <string>
#include <string_view>

#include "platform/types.h"

namespace vtsim::internal {

// A device name: ends in ':' and holds no '\' or '/' ("VTD1:").
bool IsDeviceFileName(std::u16string_view name);

// The host path for a file name that is not a device name. Returns
// ERROR_SUCCESS with *hostPath set, or the CreateFileW error for a name that
// maps to no host path (ERROR_FILE_NOT_FOUND for an empty name,
// ERROR_PATH_NOT_FOUND, ERROR_INVALID_NAME, ERROR_BAD_NETPATH).
DWORD HostPathFor(std::u16string_view name, std::string* hostPath);

}  // namespace vtsim::internal
