#include "platform/host/windows/drawing/edges.h"

namespace vtsim::internal::drawing {

void EdgeRing(Canvas& canvas, const PixelRect& box, Color topLeft, Color bottomRight)
{
    if (IsEmpty(box)) {
        return;
    }
    canvas.HLine(box.x, box.y, box.width - 1, topLeft);
    canvas.VLine(box.x, box.y, box.height - 1, topLeft);
    canvas.HLine(box.x, Bottom(box) - 1, box.width, bottomRight);
    canvas.VLine(Right(box) - 1, box.y, box.height, bottomRight);
}

namespace {

PixelRect TwoRings(Canvas& canvas, const PixelRect& box, Color outerTopLeft, Color outerBottomRight,
                   Color innerTopLeft, Color innerBottomRight)
{
    EdgeRing(canvas, box, outerTopLeft, outerBottomRight);
    EdgeRing(canvas, Inset(box, 1), innerTopLeft, innerBottomRight);
    return Inset(box, 2);
}

}  // namespace

PixelRect RaisedEdge(Canvas& canvas, const PixelRect& box)
{
    return TwoRings(canvas, box, colors::Highlight, colors::DarkShadow, colors::Light,
                    colors::Shadow);
}

PixelRect WindowEdge(Canvas& canvas, const PixelRect& box)
{
    return TwoRings(canvas, box, colors::Light, colors::DarkShadow, colors::Highlight,
                    colors::Shadow);
}

PixelRect SunkenEdge(Canvas& canvas, const PixelRect& box)
{
    return TwoRings(canvas, box, colors::Shadow, colors::Highlight, colors::DarkShadow,
                    colors::Light);
}

PixelRect ThinSunkenEdge(Canvas& canvas, const PixelRect& box)
{
    EdgeRing(canvas, box, colors::Shadow, colors::Highlight);
    return Inset(box, 1);
}

PixelRect EtchedEdge(Canvas& canvas, const PixelRect& box)
{
    return TwoRings(canvas, box, colors::Shadow, colors::Highlight, colors::Highlight,
                    colors::Shadow);
}

void FocusRect(Canvas& canvas, const PixelRect& box, Color color)
{
    if (IsEmpty(box)) {
        return;
    }
    canvas.DottedHLine(box.x, box.y, box.width, color);
    canvas.DottedHLine(box.x, Bottom(box) - 1, box.width, color);
    canvas.DottedVLine(box.x, box.y, box.height, color);
    canvas.DottedVLine(Right(box) - 1, box.y, box.height, color);
}

}  // namespace vtsim::internal::drawing
