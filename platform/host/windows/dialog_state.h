// Internal: what the rest of the window manager asks of dialogs.
#pragma once

#include "platform/host/internal_header.h"

#include "platform/host/windows/window_metrics.h"
#include "platform/types.h"

namespace vtsim::internal {

// The base units of the dialog that is the window or holds it (its
// template font's); the system font's when there is none.
BaseUnits DialogBaseUnitsOf(HWND window);

// The dialog that is the window or, for a control, its parent dialog; NULL
// when neither is a dialog.
HWND DialogOf(HWND window);

// A dialog being destroyed ends its dialog box (result 0 unless EndDialog
// gave one).
void EndModalLoopOf(HWND window);

// Makes the dialog's push buttons look as its default id says: that button
// shows as the default one (BS_DEFPUSHBUTTON), the others not.
void ShowDefaultButton(HWND dialog);

}  // namespace vtsim::internal
