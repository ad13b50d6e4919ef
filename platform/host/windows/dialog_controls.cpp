// The dialog manager's services on controls: check marks by id, groups,
// and the keyboard (Enter and Escape).
#include "platform/host/windows/dialog_manager.h"
#include "platform/host/windows/user_input.h"
#include "platform/host/windows/window_classes.h"

namespace vtsim::internal {

void PressDialogKey(HWND dialog, WPARAM key)
{
    if (key == VK_RETURN) {
        int id = IDOK;
        HWND button = nullptr;
        HWND focus = GetFocus();
        LRESULT code = focus != nullptr && IsChild(dialog, focus) != FALSE
                           ? SendMessageW(focus, WM_GETDLGCODE, 0, 0)
                           : 0;
        if ((code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0) {
            id = GetDlgCtrlID(focus);
            button = focus;
        } else {
            LRESULT defaultId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
            if (HIWORD(static_cast<DWORD_PTR>(defaultId)) == DC_HASDEFID) {
                id = LOWORD(static_cast<DWORD_PTR>(defaultId));
            }
            button = GetDlgItem(dialog, id);
            if (button != nullptr && IsWindowEnabled(button) == FALSE) {
                return;
            }
        }
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    } else if (key == VK_ESCAPE) {
        HWND cancel = GetDlgItem(dialog, IDCANCEL);
        if (cancel != nullptr && IsWindowEnabled(cancel) == FALSE) {
            return;
        }
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(cancel));
    }
}

}  // namespace vtsim::internal

using namespace vtsim::internal;

extern "C" BOOL CheckRadioButton(HWND dialog, int first, int last, int check)
{
    if (IsWindow(dialog) == FALSE) {
        return FailWith<BOOL>(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    }
    for (int id = first; id <= last; ++id) {
        if (HWND button = GetDlgItem(dialog, id)) {
            SendMessageW(button, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
    return TRUE;
}

extern "C" BOOL CheckDlgButton(HWND dialog, int id, UINT check)
{
    HWND button = GetDlgItem(dialog, id);
    if (button == nullptr) {
        return FALSE;
    }
    SendMessageW(button, BM_SETCHECK, check, 0);
    return TRUE;
}

extern "C" UINT IsDlgButtonChecked(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    return button == nullptr ? BST_UNCHECKED
                             : static_cast<UINT>(SendMessageW(button, BM_GETCHECK, 0, 0));
}

extern "C" LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam,
                                       LPARAM lParam)
{
    HWND control = GetDlgItem(dialog, id);
    return control == nullptr ? 0 : SendMessageW(control, message, wParam, lParam);
}

extern "C" HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous)
{
    WindowLock lock = LockWindows();
    Window* window = FindWindowLocked(dialog);
    if (window == nullptr) {
        return FailWith<HWND>(ERROR_INVALID_WINDOW_HANDLE, nullptr);
    }
    const std::vector<HWND>& children = window->children;
    if (children.empty()) {
        return nullptr;
    }
    std::size_t at = 0;
    while (at < children.size() && children[at] != control) {
        ++at;
    }
    if (at == children.size()) {
        at = previous != FALSE ? children.size() - 1 : 0;
    }
    // The group: from the WS_GROUP control at or before it to the control
    // before the next WS_GROUP.
    auto hasGroup = [&](std::size_t index) {
        Window* child = FindWindowLocked(children[index]);
        return child != nullptr && (child->style & WS_GROUP) != 0;
    };
    std::size_t first = at;
    while (first > 0 && !hasGroup(first)) {
        --first;
    }
    std::size_t end = at + 1;
    while (end < children.size() && !hasGroup(end)) {
        ++end;
    }
    const std::size_t size = end - first;
    for (std::size_t step = 1; step < size; ++step) {
        std::size_t offset =
            previous != FALSE ? (at - first + size - step) % size : (at - first + step) % size;
        Window* candidate = FindWindowLocked(children[first + offset]);
        if (candidate != nullptr && (candidate->style & WS_VISIBLE) != 0 &&
            (candidate->style & WS_DISABLED) == 0) {
            return children[first + offset];
        }
    }
    return control;
}

extern "C" BOOL IsDialogMessageW(HWND dialog, LPMSG message)
{
    if (message == nullptr || IsWindow(dialog) == FALSE ||
        (message->hwnd != dialog && IsChild(dialog, message->hwnd) == FALSE)) {
        return FALSE;
    }
    if (message->message == WM_KEYDOWN &&
        (message->wParam == VK_RETURN || message->wParam == VK_ESCAPE)) {
        PressDialogKey(dialog, message->wParam);
        return TRUE;
    }
    DispatchMessageW(message);
    return TRUE;
}
