// Internal: making and destroying windows, for CreateWindowExW, the dialog
// manager and DestroyWindow.
#pragma once

#include "platform/host/internal_header.h"

#include <functional>

#include "platform/host/windows/window_classes.h"
#include "platform/host/windows/window_objects.h"

namespace vtsim::internal {

struct WindowRequest {
    WindowClass windowClass;
    DWORD exStyle = 0;
    LPCWSTR name = nullptr;  // the text, or an int resource for a picture
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    HWND parent = nullptr;  // a child's parent, a top-level window's owner
    int id = 0;             // a child's control id
    HINSTANCE instance = nullptr;
    LPVOID param = nullptr;
    // Runs on the new window before it is added to the table (the dialog
    // manager sets its dialog state here).
    std::function<void(Window&)> prepare;
};

// Creates the window as CreateWindowExW describes (WM_NCCREATE and
// WM_CREATE, shown afterwards when the request has WS_VISIBLE). NULL with
// the last error set when it cannot be made.
HWND CreateWindowFrom(const WindowRequest& request);

}  // namespace vtsim::internal
