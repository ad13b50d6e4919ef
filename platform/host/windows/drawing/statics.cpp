// Statics: labels, pictures, rectangles and frames; and controls of kinds the
// pictures know no drawing for.
#include <algorithm>

#include "platform/commctrl.h"
#include "platform/host/windows/drawing/edges.h"
#include "platform/host/windows/drawing/widgets.h"
#include "platform/ui.h"

namespace vtsim::internal::drawing {

void DrawLabel(Canvas& canvas, const Widget& widget)
{
    const WindowSnapshot& window = widget.window;
    PixelRect inside = DrawControlBorder(canvas, widget);
    canvas.Fill(inside, colors::Face);
    std::uint32_t type = window.style & SS_TYPEMASK;
    TextLayout layout;
    layout.wrap = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
    if (type == SS_CENTER) {
        layout.align = Align::Center;
    }
    if (type == SS_RIGHT) {
        layout.align = Align::Right;
    }
    layout.prefix = (window.style & SS_NOPREFIX) == 0;
    if ((window.style & SS_CENTERIMAGE) != 0) {  // one line, centred vertically
        layout.valign = VAlign::Center;
        layout.wrap = false;
    }
    DrawText(canvas, widget.font, inside, window.text, layout, colors::WindowText,
             window.enabled ? TextLook::Normal : TextLook::Disabled);
}

void DrawPicture(Canvas& canvas, const Widget& widget)
{
    const WindowSnapshot& window = widget.window;
    PixelRect inside = DrawControlBorder(canvas, widget);
    canvas.Fill(inside, colors::Face);
    int x = inside.x;
    int y = inside.y;
    if ((window.style & SS_CENTERIMAGE) != 0) {
        x += (inside.width - std::clamp(window.bitmap.width, 0, metrics::MaxImageSide)) / 2;
        y += (inside.height - std::clamp(window.bitmap.height, 0, metrics::MaxImageSide)) / 2;
    }
    ClipScope clip(canvas, inside);
    canvas.Bitmap(x, y, window.bitmap);
}

void DrawFrame(Canvas& canvas, const Widget& widget)
{
    const WindowSnapshot& window = widget.window;
    PixelRect inside = DrawControlBorder(canvas, widget);
    switch (window.style & SS_TYPEMASK) {
    case SS_BLACKRECT:
        canvas.Fill(inside, colors::DarkShadow);
        break;
    case SS_GRAYRECT:
        canvas.Fill(inside, colors::Shadow);
        break;
    case SS_WHITERECT:
        canvas.Fill(inside, colors::Highlight);
        break;
    case SS_BLACKFRAME:
        EdgeRing(canvas, inside, colors::DarkShadow, colors::DarkShadow);
        break;
    case SS_GRAYFRAME:
        EdgeRing(canvas, inside, colors::Shadow, colors::Shadow);
        break;
    case SS_WHITEFRAME:
        EdgeRing(canvas, inside, colors::Highlight, colors::Highlight);
        break;
    case SS_ETCHEDHORZ:
        canvas.HLine(inside.x, inside.y, inside.width, colors::Shadow);
        canvas.HLine(inside.x, inside.y + 1, inside.width, colors::Highlight);
        break;
    case SS_ETCHEDVERT:
        canvas.VLine(inside.x, inside.y, inside.height, colors::Shadow);
        canvas.VLine(inside.x + 1, inside.y, inside.height, colors::Highlight);
        break;
    case SS_ETCHEDFRAME:
        EtchedEdge(canvas, inside);
        break;
    default:
        break;
    }
}

void DrawOther(Canvas& canvas, const Widget& widget)
{
    PixelRect inside = DrawControlBorder(canvas, widget);
    canvas.Fill(inside, colors::Face);
}

}  // namespace vtsim::internal::drawing
