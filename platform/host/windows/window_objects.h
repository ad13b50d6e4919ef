// Internal: the window objects of the simulated target and their table.
//
// Every window is a Window behind its HWND. HWND values are numbers that are
// never reused, so a stale handle names no window instead of a newer one.
// One lock guards the table and every window's fields: take it (WindowLock)
// to read or change them, and never hold it while calling a window or
// dialog procedure (procedures call back into the window services). A
// Window is held by shared_ptr, so that one being destroyed while its
// procedure runs stays valid until the procedure returns.
#pragma once

#include "platform/host/internal_header.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/commctrl.h"
#include "platform/host/windows/window_metrics.h"
#include "platform/kernel.h"
#include "platform/ui.h"

namespace vtsim::internal {

// The classes the window manager implements itself, and windows of
// classes registered by the program.
enum class WindowKind { Dialog, Button, Static, Edit, ComboBox, TreeView, TabControl, Registered };

struct DialogState {
    DLGPROC procedure = nullptr;
    LONG_PTR msgResult = 0;  // DWLP_MSGRESULT
    LONG_PTR user = 0;       // DWLP_USER
    BaseUnits baseUnits;
    std::u16string fontFace;  // empty: no font in the template
    int fontPointSize = 0;
    int defaultId = 0;  // set by DM_SETDEFID; 0: the first BS_DEFPUSHBUTTON
    bool ended = false;
    INT_PTR result = 0;
    bool modal = false;
};

struct ButtonState {
    UINT check = BST_UNCHECKED;
    bool pushed = false;
};

struct PictureState {
    HBITMAP bitmap = nullptr;
    bool ownsBitmap = false;  // loaded from the template; deleted with the control
};

struct ComboState {
    std::vector<std::u16string> items;
    std::vector<LPARAM> itemData;
    int selection = CB_ERR;
    int droppedHeight = 0;  // the height the template gave, list included
};

struct TreeNode {
    std::u16string text;
    LPARAM param = 0;
    UINT state = 0;  // TVIS_EXPANDED, TVIS_BOLD (TVIS_SELECTED is derived)
    HTREEITEM parent = nullptr;
    std::vector<HTREEITEM> children;
};

struct TreeState {
    std::map<HTREEITEM, TreeNode> nodes;
    std::vector<HTREEITEM> roots;
    HTREEITEM selected = nullptr;
    HTREEITEM firstVisible = nullptr;
};

struct TabItem {
    std::u16string text;
    LPARAM param = 0;
};

struct TabState {
    std::vector<TabItem> tabs;
    int selection = -1;
};

struct Window {
    HWND handle = nullptr;
    WindowKind kind = WindowKind::Registered;
    std::u16string className;
    WNDPROC procedure = nullptr;
    HINSTANCE instance = nullptr;
    HWND parent = nullptr;       // a child's parent
    HWND owner = nullptr;        // a top-level window's owner
    std::vector<HWND> children;  // creation order
    int id = 0;
    std::u16string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0;  // pixels: a child's relative to its parent's client area
    int y = 0;
    int width = 0;
    int height = 0;
    LONG_PTR userData = 0;
    std::thread::id thread;
    bool destroying = false;  // WM_DESTROY has been sent

    std::unique_ptr<DialogState> dialog;  // dialogs only
    ButtonState button;
    PictureState picture;
    ComboState combo;
    TreeState tree;
    TabState tabs;

    bool IsChild() const
    {
        return (style & WS_CHILD) != 0;
    }
    Insets ClientInsets() const
    {
        return FrameInsets(style, exStyle);
    }
};

using WindowPtr = std::shared_ptr<Window>;
using WindowLock = std::unique_lock<std::mutex>;

// Takes the lock that guards the window table and all window fields.
WindowLock LockWindows();

// The live window of a handle, or null. Lock held.
Window* FindWindowLocked(HWND handle);
// The same, keeping the window alive without the lock.
WindowPtr HoldWindow(HWND handle);

// Adds a window to the table (its handle is assigned here) and to its
// parent's children or the top-level list. Lock held.
HWND InsertWindowLocked(WindowPtr window);
// Removes a window from the table, its parent's children and the top-level
// list. Lock held.
void RemoveWindowLocked(HWND handle);

// The top-level windows, in creation order. Lock held.
const std::vector<HWND>& TopLevelWindowsLocked();
// True when some live window satisfies the test. Lock held.
bool AnyWindowLocked(const std::function<bool(const Window&)>& test);

// The window's rectangle in screen pixels. Lock held.
RECT ScreenRectLocked(const Window& window);
// The top-level window that holds this one (itself when top-level). Lock
// held.
Window* TopLevelOfLocked(Window& window);
// False when the window or an ancestor is hidden (visible) or disabled
// (enabled). Lock held.
bool IsShownLocked(const Window& window);
bool IsEnabledLocked(const Window& window);

// The window's procedure, read under the lock; null for no window.
WNDPROC ProcedureOf(HWND handle);

// Sets the thread's last error and returns value (for the API's failure
// returns).
template <typename T>
T FailWith(DWORD error, T value)
{
    SetLastError(error);
    return value;
}

}  // namespace vtsim::internal
