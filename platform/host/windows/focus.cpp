// Input state: visibility, enabling, the keyboard focus of each thread and
// the active window.
#include "platform/host/windows/focus.h"

#include <map>
#include <thread>

#include "platform/host/windows/dialog_state.h"
#include "platform/host/windows/window_objects.h"

namespace vtsim::internal {
namespace {

// Both guarded by the window lock.
std::map<std::thread::id, HWND>& FocusByThread()
{
    static auto* focus = new std::map<std::thread::id, HWND>;  // lives until exit
    return *focus;
}
HWND g_activeWindow = nullptr;

// Within the window or the window itself. Lock held.
bool IsWithinLocked(HWND inner, HWND outer)
{
    Window* current = FindWindowLocked(inner);
    while (current != nullptr) {
        if (current->handle == outer) {
            return true;
        }
        current = current->IsChild() ? FindWindowLocked(current->parent) : nullptr;
    }
    return false;
}

// Moves the focus of the calling thread to window (NULL: nobody) with
// WM_KILLFOCUS and WM_SETFOCUS, and returns the window that had it.
HWND MoveFocus(HWND window, std::thread::id thread)
{
    HWND previous = nullptr;
    {
        WindowLock lock = LockWindows();
        auto& focus = FocusByThread();
        auto found = focus.find(thread);
        if (found != focus.end() && FindWindowLocked(found->second) != nullptr) {
            previous = found->second;
        }
        if (previous == window) {
            return previous;
        }
        focus[thread] = window;
    }
    if (previous != nullptr) {
        SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    }
    if (window != nullptr) {
        SendMessageW(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

}  // namespace

void DropFocusWithin(HWND window)
{
    std::thread::id thread;
    {
        WindowLock lock = LockWindows();
        Window* target = FindWindowLocked(window);
        if (target == nullptr) {
            return;
        }
        thread = target->thread;
        auto& focus = FocusByThread();
        auto found = focus.find(thread);
        if (found == focus.end() || !IsWithinLocked(found->second, window)) {
            return;
        }
    }
    MoveFocus(nullptr, thread);
}

bool HasFocus(HWND window)
{
    WindowLock lock = LockWindows();
    Window* target = FindWindowLocked(window);
    if (target == nullptr) {
        return false;
    }
    auto& focus = FocusByThread();
    auto found = focus.find(target->thread);
    return found != focus.end() && found->second == window;
}

HWND FocusOfThread(std::thread::id thread)
{
    WindowLock lock = LockWindows();
    auto& focus = FocusByThread();
    auto found = focus.find(thread);
    return found == focus.end() || FindWindowLocked(found->second) == nullptr ? nullptr
                                                                              : found->second;
}

}  // namespace vtsim::internal

using namespace vtsim::internal;

extern "C" BOOL ShowWindow(HWND window, int command)
{
    bool show = command != SW_HIDE;
    bool wasVisible = false;
    bool topLevel = false;
    {
        WindowLock lock = LockWindows();
        Window* target = FindWindowLocked(window);
        if (target == nullptr) {
            return FailWith<BOOL>(ERROR_INVALID_WINDOW_HANDLE, FALSE);
        }
        wasVisible = (target->style & WS_VISIBLE) != 0;
        topLevel = !target->IsChild();
        if (wasVisible == show) {
            return wasVisible ? TRUE : FALSE;
        }
        if (show) {
            target->style |= WS_VISIBLE;
        } else {
            target->style &= ~WS_VISIBLE;
        }
        if (topLevel && show && command != SW_SHOWNA && command != SW_SHOWNOACTIVATE &&
            command != SW_SHOWMINNOACTIVE) {
            g_activeWindow = window;
        }
    }
    SendMessageW(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (!show) {
        DropFocusWithin(window);
    }
    return wasVisible ? TRUE : FALSE;
}

extern "C" BOOL IsWindowVisible(HWND window)
{
    WindowLock lock = LockWindows();
    Window* target = FindWindowLocked(window);
    return target != nullptr && IsShownLocked(*target) ? TRUE : FALSE;
}

extern "C" BOOL EnableWindow(HWND window, BOOL enable)
{
    bool wasDisabled = false;
    {
        WindowLock lock = LockWindows();
        Window* target = FindWindowLocked(window);
        if (target == nullptr) {
            return FailWith<BOOL>(ERROR_INVALID_WINDOW_HANDLE, FALSE);
        }
        wasDisabled = (target->style & WS_DISABLED) != 0;
        if (wasDisabled == (enable == FALSE)) {
            return wasDisabled ? TRUE : FALSE;
        }
        if (enable != FALSE) {
            target->style &= ~WS_DISABLED;
        } else {
            target->style |= WS_DISABLED;
        }
    }
    SendMessageW(window, WM_ENABLE, enable != FALSE ? TRUE : FALSE, 0);
    if (enable == FALSE) {
        DropFocusWithin(window);
    }
    return wasDisabled ? TRUE : FALSE;
}

extern "C" BOOL IsWindowEnabled(HWND window)
{
    WindowLock lock = LockWindows();
    Window* target = FindWindowLocked(window);
    return target != nullptr && (target->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

extern "C" HWND SetFocus(HWND window)
{
    std::thread::id thread = std::this_thread::get_id();
    if (window != nullptr) {
        WindowLock lock = LockWindows();
        Window* target = FindWindowLocked(window);
        if (target == nullptr) {
            return FailWith<HWND>(ERROR_INVALID_WINDOW_HANDLE, nullptr);
        }
        thread = target->thread;
    }
    return MoveFocus(window, thread);
}

extern "C" HWND GetFocus()
{
    return FocusOfThread(std::this_thread::get_id());
}

extern "C" HWND SetActiveWindow(HWND window)
{
    WindowLock lock = LockWindows();
    HWND previous = FindWindowLocked(g_activeWindow) != nullptr ? g_activeWindow : nullptr;
    Window* target = FindWindowLocked(window);
    if (target == nullptr) {
        return FailWith<HWND>(ERROR_INVALID_WINDOW_HANDLE, nullptr);
    }
    g_activeWindow = TopLevelOfLocked(*target)->handle;
    return previous;
}

extern "C" HWND GetActiveWindow()
{
    WindowLock lock = LockWindows();
    return FindWindowLocked(g_activeWindow) != nullptr ? g_activeWindow : nullptr;
}

extern "C" BOOL SetForegroundWindow(HWND window)
{
    if (IsWindow(window) == FALSE) {
        return FALSE;
    }
    SetActiveWindow(window);
    return TRUE;
}

extern "C" HWND GetForegroundWindow()
{
    return GetActiveWindow();
}
