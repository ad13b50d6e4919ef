#include "tools/vtcfg/editor_view.h"

#include <sstream>

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

bool FindTreePath(const vtsim::WindowSnapshot& tree, const std::vector<std::string>& texts,
                  std::vector<std::string>* path)
{
    const auto& items = tree.treeItems;
    std::vector<std::string> ancestors;  // texts of the current item's ancestors and itself
    for (std::size_t i = 0; i < items.size(); ++i) {
        ancestors.resize(static_cast<std::size_t>(items[i].depth));
        ancestors.push_back(items[i].text);
        if (ancestors.size() < texts.size()) {
            continue;
        }
        if (std::equal(texts.begin(), texts.end(),
                       ancestors.end() - static_cast<long>(texts.size()))) {
            *path = ancestors;
            return true;
        }
    }
    return false;
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

}  // namespace vtcfg
