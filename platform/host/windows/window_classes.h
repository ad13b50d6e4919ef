// Internal: window classes (the built-in ones and those the program
// registers), the built-in controls' procedures, and what controls tell
// their parent.
#pragma once

#include "platform/host/internal_header.h"

#include <string>
#include <string_view>

#include "platform/host/windows/window_objects.h"

namespace vtsim::internal {

struct WindowClass {
    WindowKind kind = WindowKind::Registered;
    std::u16string name;  // as registered ("Button", "SysTreeView32", ...)
    WNDPROC procedure = nullptr;
};

// The class of that name (without regard to case; WC_DIALOGW's atom names
// the dialog class). False when there is none.
bool FindWindowClass(LPCWSTR name, WindowClass* found);
// The built-in class of a dialog template's predefined control ordinal
// (0x80 Button, 0x81 Edit, 0x82 Static, 0x85 ComboBox). False for another.
bool FindPredefinedClass(WORD ordinal, WindowClass* found);

// The built-in controls' window procedures.
LRESULT CALLBACK ButtonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ComboBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TreeViewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TabControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sends WM_COMMAND (MAKEWPARAM(id, code), control) to the control's parent.
void CommandToParent(HWND control, WORD code);
// Fills header (hwndFrom, idFrom, code) and sends WM_NOTIFY to the
// control's parent; returns the parent's answer.
LRESULT NotifyParent(HWND control, UINT code, NMHDR* header);

// Copies text into a caller's buffer of capacity chars (terminated,
// truncated to fit) and returns the characters copied; 0 when there is no
// room.
int CopyText(std::u16string_view text, LPWSTR buffer, std::size_t capacity);
// The text at a (possibly null) pointer.
std::u16string TextOf(LPCWSTR text);

}  // namespace vtsim::internal
