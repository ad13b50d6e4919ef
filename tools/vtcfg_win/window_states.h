// What vtcfg.exe reads back from the editor's windows through Win32 calls:
// texts and class names as UTF-8, every window's state in the format the
// host's vtcfg writes (tools/vtcfg/control_states.h), the tree's items, and
// a picture of a window as the screen shows it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/ui.h"
#include "tools/vtcfg/control_states.h"

namespace vtcfg {

std::string Utf8(const WCHAR* text);
std::wstring Wide(const std::string& utf8);
std::string TextOf(HWND window);
std::string ClassOf(HWND window);

// The editor and every window inside it, depth first in the windows' order
// (the dialog templates' order).
std::vector<ControlState> StatesOf(HWND editor);

// The tree view's items in display order as (depth, text), with their
// handles.
std::vector<std::pair<int, std::string>> TreeItems(HWND tree, std::vector<HTREEITEM>* handles);

// Writes the window as the screen shows it to a 24-bit BMP file; false with
// a message when it cannot.
bool WriteWindowBmp(HWND window, const std::string& path, std::string* error);

}  // namespace vtcfg
