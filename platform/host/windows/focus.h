// Internal: the keyboard focus of each thread and the active window.
#pragma once

#include "platform/host/internal_header.h"

#include <thread>

#include "platform/types.h"

namespace vtsim::internal {

// When the focus of the window's thread is the window or inside it, the
// focus goes to nobody (WM_KILLFOCUS to the window that had it). Called
// when a window is hidden, disabled or destroyed.
void DropFocusWithin(HWND window);

// Whether the window has its thread's focus.
bool HasFocus(HWND window);

// The focus window of a thread, NULL when none.
HWND FocusOfThread(std::thread::id thread);

}  // namespace vtsim::internal
