// The dialog manager: dialogs made from templates, the dialog class's
// procedure, EndDialog, and the modeless dialog services.
#include <climits>

#include "platform/host/windows/dialog_manager.h"
#include "platform/host/windows/dialog_state.h"
#include "platform/host/windows/dialog_template.h"
#include "platform/host/windows/window_creation.h"

namespace vtsim::internal {
namespace {

int DluX(int value, const BaseUnits& units)
{
    return MulDiv(value, units.x, 4);
}
int DluY(int value, const BaseUnits& units)
{
    return MulDiv(value, units.y, 8);
}

// Where a top-level dialog goes on the screen: centred for DS_CENTER,
// else at its template position from the owner's client area (from the
// screen's corner without an owner, or with DS_ABSALIGN).
POINT TopLevelPosition(const DialogTemplateData& dialog, HWND owner, int width, int height,
                       const BaseUnits& units)
{
    if ((dialog.style & DS_CENTER) != 0) {
        return {(kScreenWidth - width) / 2, (kScreenHeight - height) / 2};
    }
    POINT origin{0, 0};
    if (owner != nullptr && (dialog.style & DS_ABSALIGN) == 0) {
        WindowLock lock = LockWindows();
        if (Window* ownerWindow = FindWindowLocked(owner)) {
            RECT rect = ScreenRectLocked(*ownerWindow);
            Insets insets = ownerWindow->ClientInsets();
            origin = {rect.left + insets.left, rect.top + insets.top};
        }
    }
    return {origin.x + DluX(dialog.x, units), origin.y + DluY(dialog.y, units)};
}

LPCWSTR NameFor(const NameOrOrdinal& name)
{
    if (name.isOrdinal) {
        return MAKEINTRESOURCEW(name.ordinal);
    }
    return name.text.c_str();
}

bool ClassFor(const NameOrOrdinal& name, WindowClass* found)
{
    if (name.isOrdinal) {
        return FindPredefinedClass(name.ordinal, found);
    }
    return FindWindowClass(name.text.c_str(), found);
}

// Creates the controls in template order. False when one cannot be made
// (and the template does not have DS_NOFAILCREATE).
bool CreateControls(HWND dialog, HINSTANCE module, const DialogTemplateData& data,
                    const BaseUnits& units)
{
    for (const DialogItemTemplate& item : data.items) {
        WindowRequest request;
        bool known = ClassFor(item.windowClass, &request.windowClass);
        HWND control = nullptr;
        if (known) {
            request.exStyle = item.exStyle;
            request.name = NameFor(item.title);
            request.style = item.style | WS_CHILD;
            request.x = DluX(item.x, units);
            request.y = DluY(item.y, units);
            request.width = DluX(item.cx, units);
            request.height = DluY(item.cy, units);
            request.parent = dialog;
            request.id = static_cast<int>(static_cast<std::int32_t>(item.id));
            request.instance = module;
            request.param = item.creationData.empty()
                                ? nullptr
                                : const_cast<std::uint8_t*>(item.creationData.data());
            control = CreateWindowFrom(request);
        }
        if (control == nullptr && (data.style & DS_NOFAILCREATE) == 0) {
            return false;
        }
    }
    return true;
}

// The first visible, enabled control with WS_TABSTOP: the focus that
// WM_INITDIALOG offers.
HWND FirstTabStop(HWND dialog)
{
    WindowLock lock = LockWindows();
    Window* window = FindWindowLocked(dialog);
    if (window == nullptr) {
        return nullptr;
    }
    for (HWND child : window->children) {
        Window* control = FindWindowLocked(child);
        if (control != nullptr && (control->style & WS_TABSTOP) != 0 &&
            (control->style & WS_VISIBLE) != 0 && (control->style & WS_DISABLED) == 0) {
            return child;
        }
    }
    return nullptr;
}

int FirstDefaultButtonId(HWND dialog)
{
    WindowLock lock = LockWindows();
    Window* window = FindWindowLocked(dialog);
    if (window == nullptr) {
        return 0;
    }
    for (HWND child : window->children) {
        Window* control = FindWindowLocked(child);
        if (control != nullptr && control->kind == WindowKind::Button &&
            (control->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            return control->id;
        }
    }
    return 0;
}

bool IsPushButton(const Window& window)
{
    DWORD type = window.style & BS_TYPEMASK;
    return window.kind == WindowKind::Button && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// Messages whose result is the dialog procedure's own, not DWLP_MSGRESULT.
bool ReturnsProcedureResult(UINT message)
{
    return message == WM_INITDIALOG;
}

}  // namespace

bool FindDialogTemplate(HINSTANCE module, LPCWSTR name, const void** data, std::size_t* size)
{
    HRSRC resource = FindResourceW(module, name, RT_DIALOG);
    if (resource == nullptr) {
        return false;
    }
    *data = LockResource(LoadResource(module, resource));
    *size = SizeofResource(module, resource);
    return *data != nullptr;
}

HWND CreateDialogFrom(HINSTANCE module, const void* data, std::size_t size, HWND parent,
                      DLGPROC procedure, LPARAM initParam, bool modal)
{
    DialogTemplateData dialog;
    if (!ReadDialogTemplate(data, size, &dialog)) {
        return FailWith<HWND>(ERROR_INVALID_PARAMETER, nullptr);
    }
    if (!dialog.windowClass.empty()) {
        // Dialogs of a class of their own are not offered.
        return FailWith<HWND>(ERROR_CANNOT_FIND_WND_CLASS, nullptr);
    }
    BaseUnits units =
        dialog.HasFont() ? FontBaseUnits(dialog.typeface, dialog.pointSize) : kSystemFontBaseUnits;
    DWORD exStyle = dialog.exStyle;
    if ((dialog.style & DS_MODALFRAME) != 0) {
        exStyle |= WS_EX_DLGMODALFRAME;
    }
    Insets insets = FrameInsets(dialog.style, exStyle);
    int width = DluX(dialog.cx, units) + insets.left + insets.right;
    int height = DluY(dialog.cy, units) + insets.top + insets.bottom;

    WindowRequest request;
    FindWindowClass(WC_DIALOGW, &request.windowClass);
    request.exStyle = exStyle;
    request.name = dialog.title.c_str();
    request.style = dialog.style & ~WS_VISIBLE;
    request.width = width;
    request.height = height;
    request.parent = parent;
    request.instance = module;
    if ((dialog.style & WS_CHILD) != 0) {
        request.x = DluX(dialog.x, units);
        request.y = DluY(dialog.y, units);
    } else {
        POINT at = TopLevelPosition(dialog, parent, width, height, units);
        request.x = at.x;
        request.y = at.y;
    }
    request.prepare = [&](Window& window) {
        window.dialog->baseUnits = units;
        window.dialog->modal = modal;
        if (dialog.HasFont()) {
            window.dialog->fontFace = dialog.typeface;
            window.dialog->fontPointSize = dialog.pointSize;
        }
    };
    HWND handle = CreateWindowFrom(request);
    if (handle == nullptr) {
        return nullptr;
    }
    if (!CreateControls(handle, module, dialog, units)) {
        DestroyWindow(handle);
        return FailWith<HWND>(ERROR_CANNOT_FIND_WND_CLASS, nullptr);
    }
    WindowPtr held = HoldWindow(handle);
    int defaultId = FirstDefaultButtonId(handle);
    {
        WindowLock lock = LockWindows();
        held->dialog->defaultId = defaultId;
        held->dialog->procedure = procedure;
    }
    HWND focus = FirstTabStop(handle);
    LRESULT wantsFocus =
        SendMessageW(handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), initParam);
    if (IsWindow(handle) == FALSE) {
        return nullptr;
    }
    if (wantsFocus != FALSE && focus != nullptr && IsWindow(focus) != FALSE) {
        SetFocus(focus);
    }
    INT_PTR result = 0;
    if (!modal && (dialog.style & WS_VISIBLE) != 0 && !DialogHasEnded(*held, &result)) {
        ShowWindow(handle, SW_SHOWNORMAL);
    }
    return handle;
}

bool DialogHasEnded(const Window& dialog, INT_PTR* result)
{
    WindowLock lock = LockWindows();
    if (!dialog.dialog) {
        return true;
    }
    *result = dialog.dialog->result;
    return dialog.dialog->ended || FindWindowLocked(dialog.handle) == nullptr;
}

BaseUnits DialogBaseUnitsOf(HWND window)
{
    WindowLock lock = LockWindows();
    Window* current = FindWindowLocked(window);
    while (current != nullptr) {
        if (current->dialog) {
            return current->dialog->baseUnits;
        }
        current = current->IsChild() ? FindWindowLocked(current->parent) : nullptr;
    }
    return kSystemFontBaseUnits;
}

HWND DialogOf(HWND window)
{
    WindowLock lock = LockWindows();
    Window* current = FindWindowLocked(window);
    if (current == nullptr) {
        return nullptr;
    }
    if (current->dialog) {
        return current->handle;
    }
    Window* parent = current->IsChild() ? FindWindowLocked(current->parent) : nullptr;
    return parent != nullptr && parent->dialog ? parent->handle : nullptr;
}

void EndModalLoopOf(HWND window)
{
    WindowLock lock = LockWindows();
    Window* target = FindWindowLocked(window);
    if (target != nullptr && target->dialog) {
        target->dialog->ended = true;
    }
}

void ShowDefaultButton(HWND dialog)
{
    WindowLock lock = LockWindows();
    Window* window = FindWindowLocked(dialog);
    if (window == nullptr || !window->dialog) {
        return;
    }
    for (HWND child : window->children) {
        Window* control = FindWindowLocked(child);
        if (control == nullptr || !IsPushButton(*control)) {
            continue;
        }
        bool isDefault = control->id == window->dialog->defaultId;
        control->style =
            (control->style & ~BS_TYPEMASK) | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    }
}

}  // namespace vtsim::internal

using namespace vtsim::internal;

extern "C" LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DLGPROC procedure = nullptr;
    {
        WindowLock lock = LockWindows();
        Window* window = FindWindowLocked(dialog);
        if (window == nullptr || !window->dialog) {
            return DefWindowProcW(dialog, message, wParam, lParam);
        }
        window->dialog->msgResult = 0;
        procedure = window->dialog->procedure;
    }
    if (procedure != nullptr) {
        INT_PTR handled = procedure(dialog, message, wParam, lParam);
        if (handled != FALSE) {
            if (ReturnsProcedureResult(message)) {
                return handled;
            }
            WindowLock lock = LockWindows();
            Window* window = FindWindowLocked(dialog);
            return window == nullptr || !window->dialog ? 0 : window->dialog->msgResult;
        }
        if (message == WM_INITDIALOG) {
            return FALSE;
        }
    }
    switch (message) {
    case DM_GETDEFID: {
        WindowLock lock = LockWindows();
        Window* window = FindWindowLocked(dialog);
        int id = window == nullptr || !window->dialog ? 0 : window->dialog->defaultId;
        return id == 0 ? 0 : MAKELONG(static_cast<WORD>(id), DC_HASDEFID);
    }
    case DM_SETDEFID: {
        {
            WindowLock lock = LockWindows();
            Window* window = FindWindowLocked(dialog);
            if (window == nullptr || !window->dialog) {
                return FALSE;
            }
            window->dialog->defaultId = static_cast<int>(wParam);
        }
        ShowDefaultButton(dialog);
        return TRUE;
    }
    case WM_CLOSE: {
        HWND cancel = GetDlgItem(dialog, IDCANCEL);
        if (cancel != nullptr && IsWindowEnabled(cancel) == FALSE) {
            return 0;
        }
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    default:
        return DefWindowProcW(dialog, message, wParam, lParam);
    }
}

extern "C" BOOL EndDialog(HWND dialog, INT_PTR result)
{
    {
        WindowLock lock = LockWindows();
        Window* window = FindWindowLocked(dialog);
        if (window == nullptr || !window->dialog) {
            return FailWith<BOOL>(
                window == nullptr ? ERROR_INVALID_WINDOW_HANDLE : ERROR_WINDOW_NOT_DIALOG, FALSE);
        }
        window->dialog->ended = true;
        window->dialog->result = result;
    }
    ShowWindow(dialog, SW_HIDE);
    return TRUE;
}

extern "C" HWND CreateDialogParamW(HINSTANCE module, LPCWSTR templateName, HWND parent,
                                   DLGPROC dialogProc, LPARAM initParam)
{
    const void* data = nullptr;
    std::size_t size = 0;
    if (!FindDialogTemplate(module, templateName, &data, &size)) {
        return nullptr;
    }
    return CreateDialogFrom(module, data, size, parent, dialogProc, initParam, false);
}

extern "C" HWND CreateDialogIndirectParamW(HINSTANCE module, LPCDLGTEMPLATEW dialogTemplate,
                                           HWND parent, DLGPROC dialogProc, LPARAM initParam)
{
    return CreateDialogFrom(module, dialogTemplate, SIZE_MAX, parent, dialogProc, initParam, false);
}
