// Internal: drawing each kind of window. The renderer (renderer.cpp) walks
// the snapshot and calls one of these per visible window, with drawing
// clipped to the window's rectangle; each draws the window itself, not its
// children.
#pragma once

#include "platform/host/internal_header.h"

#include "platform/host/control/window_snapshot.h"
#include "platform/host/windows/drawing/canvas.h"
#include "platform/host/windows/drawing/text.h"

namespace vtsim::internal::drawing {

struct Widget {
    const WindowSnapshot& window;
    PixelRect box;  // the window's rectangle on the canvas
    Font font;      // its own font, or the one it inherits
};

// Where a window's client area lies, relative to its rectangle's origin: the
// snapshot's client area when it has one, otherwise the area inside the
// frame and title bar that the window's style gives it.
PixelRect ClientArea(const WindowSnapshot& window);

// The frame of a control from its extended style (and, for statics,
// SS_SUNKEN): the sunken client edge (WS_EX_CLIENTEDGE, or WS_BORDER, which
// dialogs of the 3D look turn into it), the thin sunken edge (SS_SUNKEN,
// WS_EX_STATICEDGE, or the snapshot's sunken flag alone), or none. Draws it
// and returns the area inside.
PixelRect DrawControlBorder(Canvas& canvas, const Widget& widget);

void DrawDialog(Canvas& canvas, const Widget& widget);                      // window_frame.cpp
void DrawPushButton(Canvas& canvas, const Widget& widget, bool isDefault);  // buttons.cpp
void DrawRadioButton(Canvas& canvas, const Widget& widget);
void DrawCheckBox(Canvas& canvas, const Widget& widget);
void DrawGroupBox(Canvas& canvas, const Widget& widget);
void DrawLabel(Canvas& canvas, const Widget& widget);  // statics.cpp
void DrawPicture(Canvas& canvas, const Widget& widget);
void DrawFrame(Canvas& canvas, const Widget& widget);
void DrawOther(Canvas& canvas, const Widget& widget);
void DrawComboBox(Canvas& canvas, const Widget& widget);    // combo_box.cpp
void DrawTreeView(Canvas& canvas, const Widget& widget);    // tree_view.cpp
void DrawTabControl(Canvas& canvas, const Widget& widget);  // tab_control.cpp

}  // namespace vtsim::internal::drawing
