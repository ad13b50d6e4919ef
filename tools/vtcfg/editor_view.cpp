#include "tools/vtcfg/editor_view.h"

#include <sstream>

#include "platform/ui.h"

namespace vtcfg {

namespace {

const vtsim::WindowSnapshot* Find(const vtsim::WindowSnapshot& window, int id)
{
    if (window.id == id && id != 0) {
        return &window;
    }
    for (const auto& child : window.children) {
        if (const vtsim::WindowSnapshot* found = Find(child, id)) {
            return found;
        }
    }
    return nullptr;
}

// The page (a child dialog) that holds control id, or null.
const vtsim::WindowSnapshot* PageOf(const vtsim::WindowSnapshot& editor, int id)
{
    for (const auto& child : editor.children) {
        if (child.kind == vtsim::WidgetKind::Dialog && Find(child, id) != nullptr) {
            return &child;
        }
    }
    return nullptr;
}

std::string OneLine(const std::string& text)
{
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            if (!line.empty() && line.back() != ' ') {
                line += "; ";
            }
        } else if (c != '\r') {
            line += c;
        }
    }
    while (!line.empty() && (line.back() == ' ' || line.back() == ';')) {
        line.pop_back();
    }
    return line;
}

}  // namespace

std::vector<std::pair<int, std::string>> TreeItemsOf(const vtsim::WindowSnapshot& tree)
{
    std::vector<std::pair<int, std::string>> items;
    for (const auto& item : tree.treeItems) {
        items.emplace_back(item.depth, item.text);
    }
    return items;
}

std::string DescribeEditor(const vtsim::WindowSnapshot& editor)
{
    std::ostringstream out;
    if (const vtsim::WindowSnapshot* tree = Find(editor, kTreeView)) {
        out << "tree:\n";
        for (const auto& item : tree->treeItems) {
            if (!item.visible) {
                continue;
            }
            out << "  " << (item.selected ? "> " : "  ")
                << std::string(2 * static_cast<std::size_t>(item.depth), ' ')
                << (item.hasChildren && !item.expanded ? "+" : "") << item.text << "\n";
        }
    }
    if (const vtsim::WindowSnapshot* tabs = Find(editor, kTabControl)) {
        const int selected = tabs->tabSelection;
        out << "tab: "
            << (selected >= 0 && selected < static_cast<int>(tabs->tabs.size())
                    ? tabs->tabs[static_cast<std::size_t>(selected)]
                    : "none")
            << "\n";
    }
    out << "buttons:";
    for (int id : {kAddButton, kRemoveButton, kSaveButton, kCloseButton}) {
        if (const vtsim::WindowSnapshot* button = Find(editor, id)) {
            out << " " << button->text << (button->enabled ? "" : " (disabled)");
        }
    }
    out << "\n";
    const vtsim::WindowSnapshot* device = PageOf(editor, kSwitchIdList);
    const vtsim::WindowSnapshot* edges = PageOf(editor, kEdgeFirst);
    if (device != nullptr && device->visible) {
        const vtsim::WindowSnapshot* list = Find(*device, kSwitchIdList);
        out << "page Device: model " << Find(*device, kModelName)->text << ", SwitchID "
            << (list->comboSelection >= 0 ? std::to_string(list->comboSelection) : "none")
            << "\n  features: " << OneLine(Find(*device, kFeatures)->text) << "\n";
    } else if (edges != nullptr && edges->visible) {
        out << "page DI:";
        for (int input = 0; input < 4; ++input) {
            const vtsim::WindowSnapshot* rising = Find(*edges, kEdgeFirst + 2 * input);
            const vtsim::WindowSnapshot* falling = Find(*edges, kEdgeFirst + 2 * input + 1);
            out << " Bit" << input << " "
                << (rising->checked    ? "rising"
                    : falling->checked ? "falling"
                                       : "none")
                << (rising->enabled ? "" : " (disabled)") << (input < 3 ? "," : "");
        }
        out << "\n";
    } else {
        out << "page: none (no template selected)\n";
    }
    return out.str();
}

namespace {

// How many pixels 400 dialog units are in the dialog window (x, y).
std::pair<int, int> PixelsPer400(std::uintptr_t dialog)
{
    RECT r{0, 0, 400, 400};
    if (!MapDialogRect(reinterpret_cast<HWND>(dialog), &r)) {
        return {0, 0};
    }
    return {r.right, r.bottom};
}

std::string SelectionOf(const vtsim::WindowSnapshot& window)
{
    if (window.kind == vtsim::WidgetKind::ComboBox && window.comboSelection >= 0 &&
        window.comboSelection < static_cast<int>(window.comboItems.size())) {
        return window.comboItems[static_cast<std::size_t>(window.comboSelection)];
    }
    if (window.kind == vtsim::WidgetKind::TabControl && window.tabSelection >= 0 &&
        window.tabSelection < static_cast<int>(window.tabs.size())) {
        return window.tabs[static_cast<std::size_t>(window.tabSelection)];
    }
    if (window.kind == vtsim::WidgetKind::TreeView) {
        std::vector<std::string> path;
        for (const auto& item : window.treeItems) {
            path.resize(static_cast<std::size_t>(item.depth));
            path.push_back(item.text);
            if (item.selected) {
                std::string joined;
                for (const std::string& text : path) {
                    joined += (joined.empty() ? "" : "/") + text;
                }
                return joined;
            }
        }
    }
    return "";
}

void AddStates(const vtsim::WindowSnapshot& window, int depth, std::pair<int, int> parentUnits,
               std::vector<ControlState>* states)
{
    ControlState s;
    s.depth = depth;
    s.className = window.className;
    s.id = window.id;
    s.text = window.kind == vtsim::WidgetKind::ComboBox || window.kind == vtsim::WidgetKind::Picture
                 ? ""
                 : window.text;
    if (depth == 0) {
        const auto own = PixelsPer400(window.handle);
        s.width = PixelsToDialogUnits(window.client.width, own.first);
        s.height = PixelsToDialogUnits(window.client.height, own.second);
    } else {
        s.x = PixelsToDialogUnits(window.rect.x, parentUnits.first);
        s.y = PixelsToDialogUnits(window.rect.y, parentUnits.second);
        s.width = PixelsToDialogUnits(window.rect.width, parentUnits.first);
        s.height = PixelsToDialogUnits(window.rect.height, parentUnits.second);
    }
    s.visible = (window.style & WS_VISIBLE) != 0;
    s.enabled = window.enabled;
    s.checked = window.checked;
    s.isDefault = window.kind == vtsim::WidgetKind::DefPushButton;
    s.focused = window.focused;
    s.selection = SelectionOf(window);
    states->push_back(s);
    const auto units =
        window.kind == vtsim::WidgetKind::Dialog ? PixelsPer400(window.handle) : parentUnits;
    for (const auto& child : window.children) {
        AddStates(child, depth + 1, units, states);
    }
}

}  // namespace

std::vector<ControlState> ControlStatesOf(const vtsim::WindowSnapshot& editor)
{
    std::vector<ControlState> states;
    AddStates(editor, 0, {0, 0}, &states);
    return states;
}

}  // namespace vtcfg
