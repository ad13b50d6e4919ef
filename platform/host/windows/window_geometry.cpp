// Positions and sizes: moving and sizing windows, their rectangles, and
// dialog units.
#include "platform/host/windows/dialog_state.h"
#include "platform/host/windows/window_objects.h"

using namespace vtsim::internal;

extern "C" BOOL SetWindowPos(HWND window, HWND, int x, int y, int width, int height, UINT flags)
{
    bool moved = false;
    bool sized = false;
    int clientWidth = 0;
    int clientHeight = 0;
    {
        WindowLock lock = LockWindows();
        Window* target = FindWindowLocked(window);
        if (target == nullptr) {
            return FailWith<BOOL>(ERROR_INVALID_WINDOW_HANDLE, FALSE);
        }
        if ((flags & SWP_NOMOVE) == 0 && (target->x != x || target->y != y)) {
            target->x = x;
            target->y = y;
            moved = true;
        }
        if ((flags & SWP_NOSIZE) == 0) {
            width = width < 0 ? 0 : width;
            height = height < 0 ? 0 : height;
            if (target->kind == WindowKind::ComboBox) {
                // A combo box keeps its closed height: the height given is
                // that of the dropped-down list.
                target->combo.droppedHeight = height;
                height = target->height;
            }
            if (target->width != width || target->height != height) {
                target->width = width;
                target->height = height;
                sized = true;
            }
        }
        Insets insets = target->ClientInsets();
        clientWidth = target->width - insets.left - insets.right;
        clientHeight = target->height - insets.top - insets.bottom;
    }
    if (moved) {
        SendMessageW(window, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }
    if (sized) {
        SendMessageW(window, WM_SIZE, 0,
                     MAKELPARAM(static_cast<WORD>(clientWidth), static_cast<WORD>(clientHeight)));
    }
    if ((flags & SWP_SHOWWINDOW) != 0) {
        ShowWindow(window, SW_SHOWNA);
    } else if ((flags & SWP_HIDEWINDOW) != 0) {
        ShowWindow(window, SW_HIDE);
    }
    return TRUE;
}

extern "C" BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL)
{
    return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

extern "C" BOOL GetWindowRect(HWND window, LPRECT rect)
{
    WindowLock lock = LockWindows();
    Window* target = FindWindowLocked(window);
    if (target == nullptr || rect == nullptr) {
        return FailWith<BOOL>(
            target == nullptr ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER, FALSE);
    }
    *rect = ScreenRectLocked(*target);
    return TRUE;
}

extern "C" BOOL GetClientRect(HWND window, LPRECT rect)
{
    WindowLock lock = LockWindows();
    Window* target = FindWindowLocked(window);
    if (target == nullptr || rect == nullptr) {
        return FailWith<BOOL>(
            target == nullptr ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER, FALSE);
    }
    Insets insets = target->ClientInsets();
    *rect = {0, 0, std::max(0, target->width - insets.left - insets.right),
             std::max(0, target->height - insets.top - insets.bottom)};
    return TRUE;
}

extern "C" BOOL MapDialogRect(HWND dialog, LPRECT rect)
{
    if (rect == nullptr || IsWindow(dialog) == FALSE) {
        return FALSE;
    }
    BaseUnits units = DialogBaseUnitsOf(dialog);
    rect->left = MulDiv(rect->left, units.x, 4);
    rect->right = MulDiv(rect->right, units.x, 4);
    rect->top = MulDiv(rect->top, units.y, 8);
    rect->bottom = MulDiv(rect->bottom, units.y, 8);
    return TRUE;
}
