// Tab controls: the tabs in a row along the top, the selected one raised and
// joined to the page frame below.
#include <algorithm>
#include <vector>

#include "platform/host/windows/drawing/edges.h"
#include "platform/host/windows/drawing/widgets.h"

namespace vtsim::internal::drawing {

namespace {

constexpr int kTabRowPadding = 5;  // from the control's top to the page frame: line height + this

// One tab's outline: rounded top corners, light on the left and top, dark on
// the right; open at the bottom.
void DrawTab(Canvas& canvas, const PixelRect& tab)
{
    canvas.Fill({tab.x + 1, tab.y + 1, tab.width - 2, tab.height - 1}, colors::Face);
    canvas.VLine(tab.x, tab.y + 2, tab.height - 2, colors::Highlight);
    canvas.Pixel(tab.x + 1, tab.y + 1, colors::Highlight);
    canvas.HLine(tab.x + 2, tab.y, tab.width - 4, colors::Highlight);
    canvas.Pixel(Right(tab) - 2, tab.y + 1, colors::DarkShadow);
    canvas.VLine(Right(tab) - 1, tab.y + 2, tab.height - 2, colors::DarkShadow);
    canvas.VLine(Right(tab) - 2, tab.y + 2, tab.height - 2, colors::Shadow);
}

}  // namespace

void DrawTabControl(Canvas& canvas, const Widget& widget)
{
    const WindowSnapshot& window = widget.window;
    const PixelRect& box = widget.box;
    // The selected tab starts at the control's top, the others TabRaise
    // lower; all end on the page frame's top line.
    int pageTop = box.y + Metrics(canvas, widget.font).lineHeight + kTabRowPadding;
    int rowTop = box.y + metrics::TabRaise;
    int tabHeight = pageTop - rowTop;

    PixelRect page{box.x, pageTop, box.width, Bottom(box) - pageTop};
    canvas.Fill(page, colors::Face);
    EdgeRing(canvas, page, colors::Highlight, colors::DarkShadow);
    EdgeRing(canvas, Inset(page, 1), colors::Face, colors::Shadow);

    std::vector<PixelRect> tabs;
    int x = box.x + metrics::TabRaise;
    for (const std::string& text : window.tabs) {
        // A short text still makes a tab of the minimum width ("DI").
        int width = std::max(TextWidth(canvas, widget.font, text) + 2 * metrics::TabPadding,
                             metrics::TabMinWidth);
        tabs.push_back({x, rowTop, width, tabHeight});
        x += width;
    }
    TextLayout layout;
    layout.align = Align::Center;
    layout.valign = VAlign::Center;
    layout.prefix = false;
    TextLook look = window.enabled ? TextLook::Normal : TextLook::Disabled;
    int selected = window.tabSelection;
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        if (static_cast<int>(i) == selected) {
            continue;
        }
        DrawTab(canvas, tabs[i]);
        DrawText(canvas, widget.font, tabs[i], window.tabs[i], layout, colors::ButtonText, look);
    }
    if (selected >= 0 && selected < static_cast<int>(tabs.size())) {
        // Wider and taller, reaching one pixel into the page so that the
        // page's top edge opens under it.
        const PixelRect& tab = tabs[static_cast<std::size_t>(selected)];
        PixelRect raised{tab.x - metrics::TabRaise, box.y, tab.width + 2 * metrics::TabRaise,
                         pageTop + 1 - box.y};
        DrawTab(canvas, raised);
        PixelRect textBox{raised.x, raised.y, raised.width, tabHeight};
        PixelRect covered =
            DrawText(canvas, widget.font, textBox, window.tabs[static_cast<std::size_t>(selected)],
                     layout, colors::ButtonText, look);
        if (window.focused) {
            FocusRect(canvas, {covered.x - 2, covered.y, covered.width + 4, covered.height});
        }
    }
}

}  // namespace vtsim::internal::drawing
