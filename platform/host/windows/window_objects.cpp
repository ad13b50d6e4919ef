// The window table: handles, parents and children, the top-level list, and
// the questions about a window that look at its ancestors.
#include "platform/host/windows/window_objects.h"

#include <algorithm>
#include <cstdint>

#include "platform/host/kernel/counters_and_faults.h"

namespace vtsim::internal {
namespace {

struct WindowTable {
    std::mutex mutex;
    std::map<HWND, WindowPtr> windows;
    std::vector<HWND> topLevel;
    std::uintptr_t nextHandle = 0x10000;
};

WindowTable& Table()
{
    static WindowTable* table = new WindowTable;  // lives until process exit
    return *table;
}

}  // namespace

WindowLock LockWindows()
{
    return WindowLock(Table().mutex);
}

Window* FindWindowLocked(HWND handle)
{
    WindowTable& table = Table();
    auto found = table.windows.find(handle);
    return found == table.windows.end() ? nullptr : found->second.get();
}

WindowPtr HoldWindow(HWND handle)
{
    WindowLock lock = LockWindows();
    WindowTable& table = Table();
    auto found = table.windows.find(handle);
    return found == table.windows.end() ? nullptr : found->second;
}

HWND InsertWindowLocked(WindowPtr window)
{
    WindowTable& table = Table();
    table.nextHandle += 4;
    HWND handle = reinterpret_cast<HWND>(table.nextHandle);
    window->handle = handle;
    if (window->IsChild()) {
        if (Window* parent = FindWindowLocked(window->parent)) {
            parent->children.push_back(handle);
        }
    } else {
        table.topLevel.push_back(handle);
    }
    table.windows.emplace(handle, std::move(window));
    Adjust(Counter::Windows, +1);
    return handle;
}

void RemoveWindowLocked(HWND handle)
{
    WindowTable& table = Table();
    auto found = table.windows.find(handle);
    if (found == table.windows.end()) {
        return;
    }
    Window& window = *found->second;
    if (Window* parent = FindWindowLocked(window.parent)) {
        std::erase(parent->children, handle);
    }
    std::erase(table.topLevel, handle);
    table.windows.erase(found);
    Adjust(Counter::Windows, -1);
}

const std::vector<HWND>& TopLevelWindowsLocked()
{
    return Table().topLevel;
}

bool AnyWindowLocked(const std::function<bool(const Window&)>& test)
{
    for (const auto& [handle, window] : Table().windows) {
        if (test(*window)) {
            return true;
        }
    }
    return false;
}

RECT ScreenRectLocked(const Window& window)
{
    LONG left = window.x;
    LONG top = window.y;
    if (window.IsChild()) {
        if (Window* parent = FindWindowLocked(window.parent)) {
            RECT parentRect = ScreenRectLocked(*parent);
            Insets insets = parent->ClientInsets();
            left += parentRect.left + insets.left;
            top += parentRect.top + insets.top;
        }
    }
    return {left, top, left + window.width, top + window.height};
}

Window* TopLevelOfLocked(Window& window)
{
    Window* current = &window;
    while (current->IsChild()) {
        Window* parent = FindWindowLocked(current->parent);
        if (parent == nullptr) {
            break;
        }
        current = parent;
    }
    return current;
}

bool IsShownLocked(const Window& window)
{
    const Window* current = &window;
    while (current != nullptr) {
        if ((current->style & WS_VISIBLE) == 0) {
            return false;
        }
        current = current->IsChild() ? FindWindowLocked(current->parent) : nullptr;
    }
    return true;
}

bool IsEnabledLocked(const Window& window)
{
    const Window* current = &window;
    while (current != nullptr) {
        if ((current->style & WS_DISABLED) != 0) {
            return false;
        }
        current = current->IsChild() ? FindWindowLocked(current->parent) : nullptr;
    }
    return true;
}

WNDPROC ProcedureOf(HWND handle)
{
    WindowLock lock = LockWindows();
    Window* window = FindWindowLocked(handle);
    return window == nullptr ? nullptr : window->procedure;
}

}  // namespace vtsim::internal
