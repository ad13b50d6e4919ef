// Statics: labels, pictures, rectangles and frames; and controls of kinds the
// pictures know no drawing for.
#include <algorithm>

#include "platform/host/windows/drawing/edges.h"
#include "platform/host/windows/drawing/style_bits.h"
#include "platform/host/windows/drawing/widgets.h"

namespace vtsim::internal::drawing {

void DrawLabel(Canvas& canvas, const Widget& widget)
{
    const WindowSnapshot& window = widget.window;
    PixelRect inside = DrawControlBorder(canvas, widget);
    canvas.Fill(inside, colors::Face);
    std::uint32_t type = window.style & ss::TypeMask;
    TextLayout layout;
    layout.wrap = type == ss::Left || type == ss::Center || type == ss::Right;
    if (type == ss::Center) {
        layout.align = Align::Center;
    }
    if (type == ss::Right) {
        layout.align = Align::Right;
    }
    layout.prefix = (window.style & ss::NoPrefix) == 0;
    if ((window.style & ss::CenterImage) != 0) {  // one line, centred vertically
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
    if ((window.style & ss::CenterImage) != 0) {
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
    switch (window.style & ss::TypeMask) {
    case ss::BlackRect:
        canvas.Fill(inside, colors::DarkShadow);
        break;
    case ss::GrayRect:
        canvas.Fill(inside, colors::Shadow);
        break;
    case ss::WhiteRect:
        canvas.Fill(inside, colors::Highlight);
        break;
    case ss::BlackFrame:
        EdgeRing(canvas, inside, colors::DarkShadow, colors::DarkShadow);
        break;
    case ss::GrayFrame:
        EdgeRing(canvas, inside, colors::Shadow, colors::Shadow);
        break;
    case ss::WhiteFrame:
        EdgeRing(canvas, inside, colors::Highlight, colors::Highlight);
        break;
    case ss::EtchedHorz:
        canvas.HLine(inside.x, inside.y, inside.width, colors::Shadow);
        canvas.HLine(inside.x, inside.y + 1, inside.width, colors::Highlight);
        break;
    case ss::EtchedVert:
        canvas.VLine(inside.x, inside.y, inside.height, colors::Shadow);
        canvas.VLine(inside.x + 1, inside.y, inside.height, colors::Highlight);
        break;
    case ss::EtchedFrame:
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
