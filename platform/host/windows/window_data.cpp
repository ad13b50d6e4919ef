// Windows' data (GetWindowLongPtrW and SetWindowLongPtrW with their indexes),
// text (SetWindowTextW, GetWindowTextW, the dialog item forms) and painting
// requests.
#include "platform/host/windows/window_objects.h"

using namespace vtsim::internal;

// ---- Window data ---------------------------------------------------------------------------

extern "C" LONG_PTR GetWindowLongPtrW(HWND window, int index)
{
    WindowLock lock = LockWindows();
    Window* target = FindWindowLocked(window);
    if (target == nullptr) {
        return FailWith<LONG_PTR>(ERROR_INVALID_WINDOW_HANDLE, 0);
    }
    switch (index) {
    case GWL_STYLE:
        return static_cast<LONG>(target->style);
    case GWL_EXSTYLE:
        return static_cast<LONG>(target->exStyle);
    case GWLP_ID:
        return target->id;
    case GWLP_USERDATA:
        return target->userData;
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(target->procedure);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(target->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(target->IsChild() ? target->parent : target->owner);
    default:
        break;
    }
    if (target->dialog) {
        switch (index) {
        case DWLP_MSGRESULT:
            return target->dialog->msgResult;
        case DWLP_DLGPROC:
            return reinterpret_cast<LONG_PTR>(target->dialog->procedure);
        case DWLP_USER:
            return target->dialog->user;
        default:
            break;
        }
    }
    return FailWith<LONG_PTR>(ERROR_INVALID_PARAMETER, 0);
}

extern "C" LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value)
{
    WindowLock lock = LockWindows();
    Window* target = FindWindowLocked(window);
    if (target == nullptr) {
        return FailWith<LONG_PTR>(ERROR_INVALID_WINDOW_HANDLE, 0);
    }
    LONG_PTR previous = 0;
    switch (index) {
    case GWL_STYLE:
        previous = static_cast<LONG>(target->style);
        target->style = static_cast<DWORD>(value);
        return previous;
    case GWL_EXSTYLE:
        previous = static_cast<LONG>(target->exStyle);
        target->exStyle = static_cast<DWORD>(value);
        return previous;
    case GWLP_ID:
        previous = target->id;
        target->id = static_cast<int>(value);
        return previous;
    case GWLP_USERDATA:
        previous = target->userData;
        target->userData = value;
        return previous;
    case GWLP_WNDPROC:
        previous = reinterpret_cast<LONG_PTR>(target->procedure);
        target->procedure = reinterpret_cast<WNDPROC>(value);
        return previous;
    default:
        break;
    }
    if (target->dialog) {
        switch (index) {
        case DWLP_MSGRESULT:
            previous = target->dialog->msgResult;
            target->dialog->msgResult = value;
            return previous;
        case DWLP_DLGPROC:
            previous = reinterpret_cast<LONG_PTR>(target->dialog->procedure);
            target->dialog->procedure = reinterpret_cast<DLGPROC>(value);
            return previous;
        case DWLP_USER:
            previous = target->dialog->user;
            target->dialog->user = value;
            return previous;
        default:
            break;
        }
    }
    return FailWith<LONG_PTR>(ERROR_INVALID_PARAMETER, 0);
}

extern "C" LONG GetWindowLongW(HWND window, int index)
{
    return static_cast<LONG>(GetWindowLongPtrW(window, index));
}

extern "C" LONG SetWindowLongW(HWND window, int index, LONG value)
{
    return static_cast<LONG>(SetWindowLongPtrW(window, index, value));
}

// ---- Text ------------------------------------------------------------------------------------

extern "C" BOOL SetWindowTextW(HWND window, LPCWSTR text)
{
    if (IsWindow(window) == FALSE) {
        return FailWith<BOOL>(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    }
    return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != FALSE ? TRUE
                                                                                        : FALSE;
}

extern "C" int GetWindowTextW(HWND window, LPWSTR buffer, int maxChars)
{
    if (buffer == nullptr || maxChars <= 0) {
        return 0;
    }
    buffer[0] = 0;
    if (IsWindow(window) == FALSE) {
        return FailWith<int>(ERROR_INVALID_WINDOW_HANDLE, 0);
    }
    return static_cast<int>(SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(maxChars),
                                         reinterpret_cast<LPARAM>(buffer)));
}

extern "C" int GetWindowTextLengthW(HWND window)
{
    return static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
}

extern "C" BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text)
{
    HWND control = GetDlgItem(dialog, id);
    return control == nullptr ? FALSE : SetWindowTextW(control, text);
}

extern "C" UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int maxChars)
{
    if (buffer != nullptr && maxChars > 0) {
        buffer[0] = 0;
    }
    HWND control = GetDlgItem(dialog, id);
    return control == nullptr ? 0 : static_cast<UINT>(GetWindowTextW(control, buffer, maxChars));
}

// ---- Painting
// ------------------------------------------------------------------------------------

extern "C" BOOL InvalidateRect(HWND window, const RECT*, BOOL)
{
    return window == nullptr || IsWindow(window) != FALSE ? TRUE : FALSE;
}

extern "C" BOOL UpdateWindow(HWND window)
{
    return IsWindow(window);
}
