// Internal: the 3D edges of the classic look. Each ring is one pixel wide;
// the top-left colour takes the top row and left column, the bottom-right
// colour the bottom row and right column, including the corners at the
// bottom-left and top-right.
#pragma once

#include "platform/host/internal_header.h"

#include "platform/host/windows/drawing/canvas.h"

namespace vtsim::internal::drawing {

void EdgeRing(Canvas& canvas, const PixelRect& box, Color topLeft, Color bottomRight);

// Each returns the rectangle inside the edge it drew.
PixelRect RaisedEdge(Canvas& canvas, const PixelRect& box);      // buttons: 2 pixels
PixelRect WindowEdge(Canvas& canvas, const PixelRect& box);      // window frames: 2 pixels
PixelRect SunkenEdge(Canvas& canvas, const PixelRect& box);      // edit fields, lists: 2 pixels
PixelRect ThinSunkenEdge(Canvas& canvas, const PixelRect& box);  // sunken statics: 1 pixel
PixelRect EtchedEdge(Canvas& canvas, const PixelRect& box);      // group boxes: 2 pixels

// The dotted rectangle that marks the control with the keyboard focus: black
// dots, or the colour they take over a selection highlight (the focus
// rectangle inverts what is under it).
inline constexpr Color kFocusOnSelection = colors::Selection ^ 0xFFFFFF;
void FocusRect(Canvas& canvas, const PixelRect& box, Color color = colors::WindowText);

}  // namespace vtsim::internal::drawing
