// The "Edit" class: a one-line or multi-line text field, and typing into it
// or into a combo box's edit field.
#include <algorithm>

#include "platform/host/windows/user_input.h"
#include "platform/host/windows/window_classes.h"

namespace vtsim::internal {

LRESULT CALLBACK EditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool TypeIntoControl(HWND control, std::u16string_view text, std::string* reason)
{
    WindowKind kind = WindowKind::Registered;
    DWORD style = 0;
    {
        WindowLock lock = LockWindows();
        Window* self = FindWindowLocked(control);
        if (self == nullptr) {
            *reason = "no such window";
            return false;
        }
        kind = self->kind;
        style = self->style;
    }
    if (kind == WindowKind::Edit) {
        if ((style & ES_READONLY) != 0) {
            *reason = "the field is read-only";
            return false;
        }
        if ((style & ES_NUMBER) != 0 && !std::all_of(text.begin(), text.end(), [](char16_t c) {
                return c >= u'0' && c <= u'9';
            })) {
            *reason = "the field takes digits only";
            return false;
        }
        std::u16string value(text);
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
        CommandToParent(control, EN_UPDATE);
        CommandToParent(control, EN_CHANGE);
        return true;
    }
    if (kind == WindowKind::ComboBox) {
        if ((style & 0x3) == CBS_DROPDOWNLIST) {
            *reason = "a drop-down list has no edit field";
            return false;
        }
        std::u16string value(text);
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
        CommandToParent(control, CBN_EDITUPDATE);
        CommandToParent(control, CBN_EDITCHANGE);
        return true;
    }
    *reason = "the control takes no typing";
    return false;
}

}  // namespace vtsim::internal
