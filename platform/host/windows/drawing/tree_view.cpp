// Tree views: the visible items one per row, indented by level, with dotted
// lines (TVS_HASLINES), +/- buttons on items with children (TVS_HASBUTTONS),
// both also at the root level with TVS_LINESATROOT, and the selected item
// highlighted.
#include <algorithm>
#include <vector>

#include "platform/commctrl.h"
#include "platform/host/windows/drawing/edges.h"
#include "platform/host/windows/drawing/widgets.h"
#include "platform/ui.h"

namespace vtsim::internal::drawing {

namespace {

constexpr int kMaxDepth = 64;  // deeper items are drawn at this depth
constexpr int kMinRowHeight = 16;

int DepthOf(const TreeItemSnapshot& item)
{
    return std::clamp(item.depth, 0, kMaxDepth);
}

// For each item: whether a later item of the same parent follows it.
std::vector<bool> HasNextSibling(const std::vector<TreeItemSnapshot>& items)
{
    // Walking backwards, seen[d] tells whether an item at depth d was met
    // since the last item shallower than d: a later sibling of the item at
    // hand when it is at depth d.
    std::vector<bool> result(items.size(), false);
    std::vector<bool> seen(kMaxDepth + 2, false);
    for (std::size_t i = items.size(); i-- > 0;) {
        auto depth = static_cast<std::size_t>(DepthOf(items[i]));
        result[i] = seen[depth];
        seen[depth] = true;
        std::fill(seen.begin() + static_cast<std::ptrdiff_t>(depth) + 1, seen.end(), false);
    }
    return result;
}

void DrawExpandButton(Canvas& canvas, int centerX, int centerY, bool expanded)
{
    int half = metrics::TreeButtonSize / 2;
    PixelRect box{centerX - half, centerY - half, metrics::TreeButtonSize, metrics::TreeButtonSize};
    canvas.Fill(box, colors::Window);
    EdgeRing(canvas, box, colors::TreeLine, colors::TreeLine);
    canvas.HLine(centerX - 2, centerY, 5, colors::WindowText);
    if (!expanded) {
        canvas.VLine(centerX, centerY - 2, 5, colors::WindowText);
    }
}

}  // namespace

void DrawTreeView(Canvas& canvas, const Widget& widget)
{
    const WindowSnapshot& window = widget.window;
    PixelRect inside = DrawControlBorder(canvas, widget);
    canvas.Fill(inside, colors::Window);
    ClipScope clip(canvas, inside);

    bool lines = (window.style & TVS_HASLINES) != 0;
    bool buttons = (window.style & TVS_HASBUTTONS) != 0;
    int rootLevel = (window.style & TVS_LINESATROOT) != 0 && (lines || buttons) ? 1 : 0;
    int rowHeight = std::max(kMinRowHeight, Metrics(canvas, widget.font).lineHeight + 3);
    const int indent = metrics::TreeIndent;

    const auto& items = window.treeItems;
    std::vector<bool> nextSibling = HasNextSibling(items);
    // continues[d]: the line of the current item's ancestor at depth d runs on
    // below it (that ancestor has a later sibling).
    std::vector<bool> continues(kMaxDepth + 1, false);
    bool firstRoot = true;
    int row = 0;
    TextLayout layout;
    layout.valign = VAlign::Center;
    layout.prefix = false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TreeItemSnapshot& item = items[i];
        int depth = DepthOf(item);
        continues[static_cast<std::size_t>(depth)] = nextSibling[i];
        bool hasPrevious = depth > 0 || !firstRoot;
        if (depth == 0) {
            firstRoot = false;
        }
        if (!item.visible) {
            continue;
        }

        int top = inside.y + row * rowHeight;
        ++row;
        if (top >= Bottom(inside)) {
            break;
        }
        int middle = top + rowHeight / 2;
        int level = depth + rootLevel;  // columns to the left of the item's text
        int textLeft = inside.x + level * indent;

        if (lines && level > 0) {
            for (int ancestor = std::max(0, 1 - rootLevel); ancestor < depth; ++ancestor) {
                if (!continues[static_cast<std::size_t>(ancestor)]) {
                    continue;
                }
                int x = inside.x + (ancestor + rootLevel) * indent - indent / 2;
                canvas.DottedVLine(x, top, rowHeight, colors::TreeLine);
            }
            int x = textLeft - indent / 2;
            int lineTop = hasPrevious ? top : middle;
            int lineBottom = nextSibling[i] ? top + rowHeight : middle + 1;
            canvas.DottedVLine(x, lineTop, lineBottom - lineTop, colors::TreeLine);
            canvas.DottedHLine(x, middle, textLeft - x, colors::TreeLine);
        }
        if (buttons && level > 0 && item.hasChildren) {
            DrawExpandButton(canvas, textLeft - indent / 2, middle, item.expanded);
        }

        PixelRect textBox{textLeft + 3, top, Right(inside) - textLeft - 3, rowHeight};
        PixelRect covered = MeasureText(canvas, widget.font, textBox, item.text, layout);
        PixelRect highlight{covered.x - 2, top + 1, covered.width + 4, rowHeight - 2};
        Color text = window.enabled ? colors::WindowText : colors::GrayText;
        if (item.selected && window.focused) {
            canvas.Fill(highlight, colors::Selection);
            FocusRect(canvas, highlight, kFocusOnSelection);
            text = colors::SelectionText;
        } else if (item.selected && (window.style & TVS_SHOWSELALWAYS) != 0) {
            canvas.Fill(highlight, colors::Face);
        }
        DrawText(canvas, widget.font, textBox, item.text, layout, text);
    }
}

}  // namespace vtsim::internal::drawing
