// The "Button" class: push buttons, radio buttons, check boxes and group
// boxes, their check state and their click.
#include <vector>

#include "platform/host/windows/window_classes.h"

namespace vtsim::internal {
namespace {

DWORD TypeOf(DWORD style)
{
    return style & BS_TYPEMASK;
}

bool IsCheckable(DWORD type)
{
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
           type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
}

// The other automatic radio buttons of the button's group: the siblings from
// the nearest WS_GROUP control at or before it to the control before the
// next WS_GROUP, in creation order, whatever their state.
std::vector<HWND> OtherAutoRadiosOfGroup(HWND button)
{
    WindowLock lock = LockWindows();
    Window* self = FindWindowLocked(button);
    if (self == nullptr || !self->IsChild()) {
        return {};
    }
    Window* parent = FindWindowLocked(self->parent);
    if (parent == nullptr) {
        return {};
    }
    const std::vector<HWND>& siblings = parent->children;
    std::size_t at = 0;
    while (at < siblings.size() && siblings[at] != button) {
        ++at;
    }
    std::size_t first = at;
    while (first > 0) {
        Window* candidate = FindWindowLocked(siblings[first]);
        if (candidate != nullptr && (candidate->style & WS_GROUP) != 0) {
            break;
        }
        --first;
    }
    std::vector<HWND> others;
    for (std::size_t i = first; i < siblings.size(); ++i) {
        Window* candidate = FindWindowLocked(siblings[i]);
        if (candidate == nullptr) {
            continue;
        }
        if (i > first && (candidate->style & WS_GROUP) != 0) {
            break;
        }
        if (siblings[i] != button && candidate->kind == WindowKind::Button &&
            TypeOf(candidate->style) == BS_AUTORADIOBUTTON) {
            others.push_back(siblings[i]);
        }
    }
    return others;
}

// A click: the focus, the automatic state change, then BN_CLICKED to the
// parent. Nothing for a disabled button or a group box.
void Click(HWND button)
{
    DWORD type = 0;
    UINT check = 0;
    {
        WindowLock lock = LockWindows();
        Window* self = FindWindowLocked(button);
        if (self == nullptr || (self->style & WS_DISABLED) != 0) {
            return;
        }
        type = TypeOf(self->style);
        check = self->button.check;
    }
    if (type == BS_GROUPBOX) {
        return;
    }
    SetFocus(button);
    switch (type) {
    case BS_AUTOCHECKBOX:
        SendMessageW(button, BM_SETCHECK, check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
        break;
    case BS_AUTO3STATE:
        SendMessageW(button, BM_SETCHECK, (check + 1) % 3, 0);
        break;
    case BS_AUTORADIOBUTTON:
        SendMessageW(button, BM_SETCHECK, BST_CHECKED, 0);
        for (HWND other : OtherAutoRadiosOfGroup(button)) {
            SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
        }
        break;
    default:
        break;
    }
    CommandToParent(button, BN_CLICKED);
}

LRESULT DialogCode(DWORD type)
{
    switch (type) {
    case BS_PUSHBUTTON:
        return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_DEFPUSHBUTTON:
        return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX:
        return DLGC_STATIC;
    default:
        return DLGC_BUTTON;
    }
}

}  // namespace

LRESULT CALLBACK ButtonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case BM_GETCHECK:
    case BM_GETSTATE: {
        WindowLock lock = LockWindows();
        Window* self = FindWindowLocked(window);
        if (self == nullptr) {
            return 0;
        }
        LRESULT state = IsCheckable(TypeOf(self->style)) ? self->button.check : BST_UNCHECKED;
        if (message == BM_GETSTATE && self->button.pushed) {
            state |= BST_PUSHED;
        }
        return state;
    }
    case BM_SETCHECK: {
        WindowLock lock = LockWindows();
        Window* self = FindWindowLocked(window);
        if (self != nullptr && IsCheckable(TypeOf(self->style))) {
            DWORD type = TypeOf(self->style);
            bool threeState = type == BS_3STATE || type == BS_AUTO3STATE;
            UINT check = static_cast<UINT>(wParam);
            self->button.check = check == BST_INDETERMINATE && !threeState ? BST_CHECKED
                                 : check > BST_INDETERMINATE               ? BST_CHECKED
                                                                           : check;
        }
        return 0;
    }
    case BM_SETSTATE: {
        WindowLock lock = LockWindows();
        if (Window* self = FindWindowLocked(window)) {
            self->button.pushed = wParam != FALSE;
        }
        return 0;
    }
    case BM_SETSTYLE: {
        WindowLock lock = LockWindows();
        if (Window* self = FindWindowLocked(window)) {
            self->style = (self->style & 0xFFFF0000u) | (static_cast<DWORD>(wParam) & 0xFFFFu);
        }
        return 0;
    }
    case BM_CLICK:
        Click(window);
        return 0;
    case WM_GETDLGCODE: {
        WindowLock lock = LockWindows();
        Window* self = FindWindowLocked(window);
        return self == nullptr ? 0 : DialogCode(TypeOf(self->style));
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace vtsim::internal
