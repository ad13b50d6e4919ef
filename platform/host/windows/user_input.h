// Internal: what a person does to a control, as the controls carry it out
// (the outside-control API checks first that the control takes input).
#pragma once

#include "platform/host/internal_header.h"

#include <string>
#include <string_view>

#include "platform/commctrl.h"

namespace vtsim::internal {

// Replaces the text of an edit field, or of a combo box's edit field, as if
// typed after selecting all: EN_UPDATE and EN_CHANGE (CBN_EDITUPDATE and
// CBN_EDITCHANGE) to the parent. False with the reason when the control
// takes no typing (read-only, a drop-down list, digits only and text that
// is not).
bool TypeIntoControl(HWND control, std::u16string_view text, std::string* reason);

// Chooses entry index of a combo box's list: the selection and the edit
// field follow, then CBN_SELCHANGE (and CBN_SELENDOK) to the parent.
bool ChooseComboEntry(HWND combo, int index, std::string* reason);

// Clicks a tree item: its collapsed ancestors are expanded first by their
// buttons (TVN_ITEMEXPANDINGW / TVN_ITEMEXPANDEDW, refusable), then it is
// selected (TVN_SELCHANGINGW, refusable, and TVN_SELCHANGEDW with
// TVC_BYMOUSE).
bool ClickTreeItem(HWND tree, HTREEITEM item, std::string* reason);

// Clicks tab index: TCN_SELCHANGING (refusable), the selection, then
// TCN_SELCHANGE. Clicking the selected tab does nothing.
bool ClickTab(HWND tab, int index, std::string* reason);

// The dialog manager's handling of Enter and Escape in the dialog.
void PressDialogKey(HWND dialog, WPARAM key);

}  // namespace vtsim::internal
