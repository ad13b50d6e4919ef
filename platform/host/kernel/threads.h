// Internal: the value GetCurrentThread returns (never a table handle).
#pragma once

#include "platform/host/internal_header.h"

#include <cstdint>

#include "platform/types.h"

namespace vtsim::internal {

inline const HANDLE kCurrentThreadPseudoHandle =
    reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-2));

}  // namespace vtsim::internal
