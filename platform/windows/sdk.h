// The Windows build's platform layer: the SDK's own headers (mingw-w64's on
// the cross build) in place of the host's declarations in platform/*.h, and
// the few names of this package's own that those headers also carry.
//
// Every platform/*.h includes this file instead of its host declarations
// when _WIN32 is defined, so the package's code builds against the real
// Windows API unchanged. CE kernel services that desktop Windows lacks are
// declared in platform/windows/ce_compat.h.
#pragma once

#if !defined(_WIN32)
#error "platform/windows/sdk.h is for Windows builds only"
#endif

// std::min and std::max stay usable; the string helpers below stay the only
// ones strsafe.h vouches for, without deprecating the C library's.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef STRSAFE_NO_DEPRECATE
#define STRSAFE_NO_DEPRECATE
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif

#include <windows.h>

#include <commctrl.h>
#include <strsafe.h>

// Marks an entry point that a module exports by name (on Windows every
// other symbol of a DLL stays inside it once one is marked).
#define DLL_EXPORT extern "C" __declspec(dllexport)
#define DLL_EXPORT_CPP __declspec(dllexport)
