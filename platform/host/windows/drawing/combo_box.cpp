// Combo boxes: the edit field with its text and the drop-down button; a
// simple combo box (CBS_SIMPLE) shows its list under the field instead.
#include <algorithm>

#include "platform/commctrl.h"
#include "platform/host/windows/drawing/edges.h"
#include "platform/host/windows/drawing/widgets.h"
#include "platform/ui.h"

namespace vtsim::internal::drawing {

namespace {

// The low bits that give a combo box its kind (simple, drop-down, list).
constexpr DWORD kComboTypeBits = CBS_SIMPLE | CBS_DROPDOWN | CBS_DROPDOWNLIST;

constexpr int kFieldPadding = 8;  // field height = line height + this (edges and margins)

const std::vector<const char*> kDownArrow = {
    "KKKKKKK",
    ".KKKKK.",
    "..KKK..",
    "...K...",
};

std::string ShownText(const WindowSnapshot& window)
{
    if (!window.comboEditText.empty()) {
        return window.comboEditText;
    }
    int selection = window.comboSelection;
    if (selection >= 0 && selection < static_cast<int>(window.comboItems.size())) {
        return window.comboItems[static_cast<std::size_t>(selection)];
    }
    return {};
}

void DrawDropDownButton(Canvas& canvas, const PixelRect& button, bool enabled)
{
    canvas.Fill(button, colors::Face);
    RaisedEdge(canvas, button);
    int x = button.x + (button.width - 7) / 2;
    int y = button.y + (button.height - 4) / 2;
    if (enabled) {
        canvas.Glyph(x, y, kDownArrow, {{'K', colors::ButtonText}});
    } else {
        canvas.Glyph(x + 1, y + 1, kDownArrow, {{'K', colors::Highlight}});
        canvas.Glyph(x, y, kDownArrow, {{'K', colors::GrayText}});
    }
}

void DrawList(Canvas& canvas, const Widget& widget, const PixelRect& box, int lineHeight)
{
    const WindowSnapshot& window = widget.window;
    PixelRect inside = SunkenEdge(canvas, box);
    canvas.Fill(inside, colors::Window);
    ClipScope clip(canvas, inside);
    TextLayout layout;
    layout.prefix = false;
    for (std::size_t i = 0; i < window.comboItems.size(); ++i) {
        PixelRect row{inside.x, inside.y + static_cast<int>(i) * lineHeight, inside.width,
                      lineHeight};
        if (row.y >= Bottom(inside)) {
            break;
        }
        bool selected = static_cast<int>(i) == window.comboSelection;
        if (selected) {
            canvas.Fill(row, colors::Selection);
        }
        Color text = !window.enabled ? colors::GrayText
                     : selected      ? colors::SelectionText
                                     : colors::WindowText;
        DrawText(canvas, widget.font, {row.x + 2, row.y, row.width - 4, row.height},
                 window.comboItems[i], layout, text);
    }
}

}  // namespace

void DrawComboBox(Canvas& canvas, const Widget& widget)
{
    const WindowSnapshot& window = widget.window;
    const PixelRect& box = widget.box;
    int lineHeight = Metrics(canvas, widget.font).lineHeight;
    bool simple = (window.style & kComboTypeBits) == CBS_SIMPLE;
    // A combo box's rectangle may still include its dropped-down list (as
    // dialog templates size it): only the closed field is drawn.
    PixelRect field{box.x, box.y, box.width, std::min(box.height, lineHeight + kFieldPadding)};
    PixelRect inside = SunkenEdge(canvas, field);
    canvas.Fill(inside, window.enabled ? colors::Window : colors::Face);

    int textRight = Right(inside);
    if (!simple) {
        PixelRect button{Right(inside) - metrics::ScrollButtonWidth, inside.y,
                         metrics::ScrollButtonWidth, inside.height};
        DrawDropDownButton(canvas, button, window.enabled);
        textRight = button.x;
    }
    PixelRect textBox{inside.x + 1, inside.y + 1, textRight - inside.x - 2, inside.height - 2};
    std::string text = ShownText(window);
    TextLayout layout;
    layout.valign = VAlign::Center;
    layout.prefix = false;
    Color color = window.enabled ? colors::WindowText : colors::GrayText;
    if (window.focused && window.enabled && !text.empty()) {
        // The field's text is selected while the combo box has the focus.
        PixelRect covered = MeasureText(
            canvas, widget.font, {textBox.x + 2, textBox.y, textBox.width - 2, textBox.height},
            text, layout);
        bool list = (window.style & kComboTypeBits) == CBS_DROPDOWNLIST;
        PixelRect selection =
            list ? textBox : PixelRect{covered.x - 1, textBox.y, covered.width + 2, textBox.height};
        canvas.Fill(selection, colors::Selection);
        if (list) {
            FocusRect(canvas, selection, kFocusOnSelection);
        }
        color = colors::SelectionText;
    }
    DrawText(canvas, widget.font, {textBox.x + 2, textBox.y, textBox.width - 2, textBox.height},
             text, layout, color);

    if (simple && Bottom(box) > Bottom(field)) {
        DrawList(canvas, widget, {box.x, Bottom(field), box.width, Bottom(box) - Bottom(field)},
                 lineHeight);
    }
}

}  // namespace vtsim::internal::drawing
