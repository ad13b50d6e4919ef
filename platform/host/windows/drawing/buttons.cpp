// Buttons: push buttons, radio buttons, check boxes and group boxes.
#include "platform/commctrl.h"
#include "platform/host/windows/drawing/edges.h"
#include "platform/host/windows/drawing/widgets.h"
#include "platform/ui.h"

namespace vtsim::internal::drawing {

namespace {

// S shadow, K dark shadow, W field, L light, H highlight.
const std::vector<const char*> kRadio = {
    "....SSSS....", "..SSKKKKSS..", ".SKKWWWWKKH.", ".SKWWWWWWLH.", "SKWWWWWWWWLH", "SKWWWWWWWWLH",
    "SKWWWWWWWWLH", "SKWWWWWWWWLH", ".SKWWWWWWLH.", ".SLLWWWWLLH.", "..HHLLLLHH..", "....HHHH....",
};
const std::vector<const char*> kRadioDot = {
    "............", "............", "............", "............",
    ".....DD.....", "....DDDD....", "....DDDD....", ".....DD.....",
};
const std::vector<const char*> kCheckBox = {
    "SSSSSSSSSSSSH", "SKKKKKKKKKKLH", "SKWWWWWWWWWLH", "SKWWWWWWWWWLH", "SKWWWWWWWWWLH",
    "SKWWWWWWWWWLH", "SKWWWWWWWWWLH", "SKWWWWWWWWWLH", "SKWWWWWWWWWLH", "SKWWWWWWWWWLH",
    "SKWWWWWWWWWLH", "SLLLLLLLLLLLH", "HHHHHHHHHHHHH",
};
const std::vector<const char*> kCheckMark = {
    "",           "",           "",           ".........D", "........DD",
    "...D...DDD", "...DD.DDD.", "...DDDDD..", "....DDD...", ".....D....",
};

// The round or square mark of radio buttons and check boxes beside their
// text: left of it (right with BS_LEFTTEXT), centred vertically.
void DrawMarkedButton(Canvas& canvas, const Widget& widget, const std::vector<const char*>& box,
                      int size, const std::vector<const char*>& mark)
{
    const WindowSnapshot& window = widget.window;
    const PixelRect& area = widget.box;
    canvas.Fill(area, colors::Face);
    bool leftText = (window.style & BS_LEFTTEXT) != 0;
    int markX = leftText ? Right(area) - size : area.x;
    int markY = area.y + (area.height - size) / 2;
    Color field = window.enabled ? colors::Window : colors::Face;
    canvas.Glyph(markX, markY, box,
                 {{'S', colors::Shadow},
                  {'K', colors::DarkShadow},
                  {'W', field},
                  {'L', colors::Light},
                  {'H', colors::Highlight}});
    if (window.checked) {
        canvas.Glyph(markX, markY, mark,
                     {{'D', window.enabled ? colors::ButtonText : colors::GrayText}});
    }

    int textWidth = area.width - size - metrics::GlyphTextGap;
    PixelRect textBox{leftText ? area.x : area.x + size + metrics::GlyphTextGap, area.y, textWidth,
                      area.height};
    TextLayout layout;
    layout.valign = VAlign::Center;
    layout.wrap = (window.style & BS_MULTILINE) != 0;
    if ((window.style & BS_CENTER) == BS_RIGHT || leftText) {
        layout.align = Align::Right;
    }
    if ((window.style & BS_CENTER) == BS_CENTER) {
        layout.align = Align::Center;
    }
    PixelRect covered =
        DrawText(canvas, widget.font, textBox, window.text, layout, colors::ButtonText,
                 window.enabled ? TextLook::Normal : TextLook::Disabled);
    if (window.focused && !window.text.empty()) {
        FocusRect(canvas, {covered.x - 1, covered.y, covered.width + 2, covered.height});
    }
}

}  // namespace

void DrawPushButton(Canvas& canvas, const Widget& widget, bool isDefault)
{
    const WindowSnapshot& window = widget.window;
    PixelRect face = widget.box;
    if (isDefault) {
        EdgeRing(canvas, face, colors::DarkShadow, colors::DarkShadow);
        face = Inset(face, 1);
    }
    canvas.Fill(face, colors::Face);
    PixelRect inside = RaisedEdge(canvas, face);
    TextLayout layout;
    layout.align = Align::Center;
    layout.valign = VAlign::Center;
    layout.wrap = (window.style & BS_MULTILINE) != 0;
    if ((window.style & BS_CENTER) == BS_LEFT) {
        layout.align = Align::Left;
    }
    if ((window.style & BS_CENTER) == BS_RIGHT) {
        layout.align = Align::Right;
    }
    DrawText(canvas, widget.font, Inset(inside, 1), window.text, layout, colors::ButtonText,
             window.enabled ? TextLook::Normal : TextLook::Disabled);
    if (window.focused) {
        FocusRect(canvas, Inset(face, 3));
    }
}

void DrawRadioButton(Canvas& canvas, const Widget& widget)
{
    DrawMarkedButton(canvas, widget, kRadio, metrics::RadioSize, kRadioDot);
}

void DrawCheckBox(Canvas& canvas, const Widget& widget)
{
    DrawMarkedButton(canvas, widget, kCheckBox, metrics::CheckSize, kCheckMark);
}

void DrawGroupBox(Canvas& canvas, const Widget& widget)
{
    // A group box draws its frame and its text only: the controls inside it
    // show through.
    const WindowSnapshot& window = widget.window;
    const PixelRect& box = widget.box;
    int lineHeight = Metrics(canvas, widget.font).lineHeight;
    int frameTop = box.y + lineHeight / 2 - 1;
    EtchedEdge(canvas, {box.x, frameTop, box.width, Bottom(box) - frameTop});
    if (window.text.empty()) {
        return;
    }
    PixelRect textBox{box.x + 8, box.y, box.width - 16, lineHeight};
    TextLayout layout;
    PixelRect covered = MeasureText(canvas, widget.font, textBox, window.text, layout);
    canvas.Fill({covered.x - 2, box.y, covered.width + 4, lineHeight}, colors::Face);
    DrawText(canvas, widget.font, textBox, window.text, layout, colors::ButtonText,
             window.enabled ? TextLook::Normal : TextLook::Disabled);
}

}  // namespace vtsim::internal::drawing
