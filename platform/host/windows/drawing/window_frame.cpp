// Window frames: the dialog frame and title bar, the client area they leave,
// and the borders of controls.
#include "platform/commctrl.h"
#include "platform/host/windows/drawing/edges.h"
#include "platform/host/windows/drawing/widgets.h"
#include "platform/ui.h"

namespace vtsim::internal::drawing {

namespace {

constexpr int kDialogFrame = 3;         // edge and one face-coloured pixel
constexpr int kCaptionHeight = 19;      // title bar and the line below it
constexpr int kToolCaptionHeight = 16;  // the small title bar of tool windows
constexpr int kSmallCloseBox = 12;      // below this height the close box uses the small cross

const std::vector<const char*> kCross = {
    "KK....KK", ".KK..KK.", "..KKKK..", "...KK...", "..KKKK..", ".KK..KK.", "KK....KK",
};
const std::vector<const char*> kSmallCross = {
    "KK..KK", ".KKKK.", "..KK..", ".KKKK.", "KK..KK",
};

int FrameWidth(const WindowSnapshot& window)
{
    bool dialogFrame = window.hasCaption || (window.exStyle & WS_EX_DLGMODALFRAME) != 0 ||
                       (window.kind == WidgetKind::Dialog && (window.style & DS_MODALFRAME) != 0);
    if (dialogFrame) {
        return kDialogFrame;
    }
    return (window.style & WS_BORDER) != 0 ? 1 : 0;
}

void DrawCloseBox(Canvas& canvas, const PixelRect& button)
{
    canvas.Fill(button, colors::Face);
    RaisedEdge(canvas, button);
    const auto& cross = button.height < kSmallCloseBox ? kSmallCross : kCross;
    int crossWidth = static_cast<int>(std::string(cross[0]).size());
    int crossHeight = static_cast<int>(cross.size());
    canvas.Glyph(button.x + (button.width - crossWidth) / 2,
                 button.y + (button.height - crossHeight) / 2, cross, {{'K', colors::ButtonText}});
}

void DrawCaption(Canvas& canvas, const WindowSnapshot& window, const PixelRect& band)
{
    if (IsEmpty(band)) {
        return;
    }
    canvas.Fill(band, colors::Caption);
    int textRight = Right(band);
    if (window.hasSysMenu && band.height > 4) {
        int height = band.height - 4;
        int width = height + 2;
        PixelRect button{Right(band) - 2 - width, band.y + 2, width, height};
        DrawCloseBox(canvas, button);
        textRight = button.x - 2;
    }
    TextLayout layout;
    layout.valign = VAlign::Center;
    layout.prefix = false;
    layout.ellipsis = true;
    PixelRect textBox{band.x + 2, band.y, textRight - band.x - 2, band.height};
    DrawText(canvas, CaptionFont(), textBox, window.text, layout, colors::CaptionText);
}

}  // namespace

PixelRect ClientArea(const WindowSnapshot& window)
{
    if (!IsEmpty(window.client)) {
        return Limited(window.client.x, window.client.y, window.client);
    }
    PixelRect size = Limited(0, 0, window.rect);
    if (window.kind != WidgetKind::Dialog) {
        return size;
    }
    int frame = FrameWidth(window);
    int caption = 0;
    if (window.hasCaption) {
        caption = (window.exStyle & WS_EX_TOOLWINDOW) != 0 ? kToolCaptionHeight : kCaptionHeight;
    }
    return {frame, frame + caption, size.width - 2 * frame, size.height - 2 * frame - caption};
}

void DrawDialog(Canvas& canvas, const Widget& widget)
{
    const WindowSnapshot& window = widget.window;
    const PixelRect& box = widget.box;
    PixelRect client = ClientArea(window);
    int frame = client.x;
    canvas.Fill(box, colors::Face);
    if (frame >= 2) {
        WindowEdge(canvas, box);
    } else if (frame == 1) {
        EdgeRing(canvas, box, colors::Frame, colors::Frame);
    }
    if (window.hasCaption) {
        // The title bar fills the frame's inside down to one face-coloured
        // line above the client area.
        PixelRect band{box.x + frame, box.y + frame, box.width - 2 * frame, client.y - frame - 1};
        DrawCaption(canvas, window, band);
    }
}

PixelRect DrawControlBorder(Canvas& canvas, const Widget& widget)
{
    const WindowSnapshot& window = widget.window;
    bool isStatic = window.kind == WidgetKind::Label || window.kind == WidgetKind::Picture ||
                    window.kind == WidgetKind::Frame;
    if ((window.exStyle & WS_EX_CLIENTEDGE) != 0 || (window.style & WS_BORDER) != 0) {
        return SunkenEdge(canvas, widget.box);
    }
    if ((window.exStyle & WS_EX_STATICEDGE) != 0 || (isStatic && (window.style & SS_SUNKEN) != 0) ||
        window.sunken) {
        return ThinSunkenEdge(canvas, widget.box);
    }
    return widget.box;
}

}  // namespace vtsim::internal::drawing
