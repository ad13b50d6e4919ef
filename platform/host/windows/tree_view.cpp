// The tree view class ("SysTreeView32"): items with text and a parameter,
// in levels under their parents, expanded or collapsed; one selected item.
// The window procedure, the selection and the click live here; the item
// operations in tree_items.cpp.
#include "platform/host/windows/tree_view_items.h"

#include <algorithm>

#include "platform/host/windows/user_input.h"
#include "platform/host/windows/window_classes.h"

namespace vtsim::internal {
namespace tree {

bool IsSpecial(HTREEITEM item)
{
    return item == TVI_ROOT || item == TVI_FIRST || item == TVI_LAST || item == TVI_SORT;
}

std::vector<HTREEITEM>& SiblingsLocked(TreeState& tree, HTREEITEM item)
{
    TreeNode& node = tree.nodes.at(item);
    return node.parent == nullptr ? tree.roots : tree.nodes.at(node.parent).children;
}

bool IsShowingLocked(const TreeState& tree, HTREEITEM item)
{
    for (HTREEITEM at = tree.nodes.at(item).parent; at != nullptr; at = tree.nodes.at(at).parent) {
        if ((tree.nodes.at(at).state & TVIS_EXPANDED) == 0) {
            return false;
        }
    }
    return true;
}

void ExpandAncestorsLocked(TreeState& tree, HTREEITEM item)
{
    for (HTREEITEM at = tree.nodes.at(item).parent; at != nullptr; at = tree.nodes.at(at).parent) {
        tree.nodes.at(at).state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    }
}

void DisplayOrderLocked(const TreeState& tree, const std::vector<HTREEITEM>& level, bool shownOnly,
                        std::vector<HTREEITEM>* out)
{
    for (HTREEITEM item : level) {
        out->push_back(item);
        const TreeNode& node = tree.nodes.at(item);
        if (!shownOnly || (node.state & TVIS_EXPANDED) != 0) {
            DisplayOrderLocked(tree, node.children, shownOnly, out);
        }
    }
}

void DescribeLocked(const TreeState& tree, HTREEITEM item, TVITEMW* out)
{
    *out = {};
    out->mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    out->hItem = item;
    auto found = tree.nodes.find(item);
    if (found == tree.nodes.end()) {
        return;
    }
    out->state = found->second.state | (tree.selected == item ? TVIS_SELECTED : 0u);
    out->stateMask = ~0u;
    out->lParam = found->second.param;
}

TreeState* TreeOfLocked(HWND window)
{
    Window* self = FindWindowLocked(window);
    return self == nullptr || self->kind != WindowKind::TreeView ? nullptr : &self->tree;
}

bool Exists(HWND window, HTREEITEM item)
{
    WindowLock lock = LockWindows();
    TreeState* tree = TreeOfLocked(window);
    return tree != nullptr && tree->nodes.count(item) != 0;
}

bool SelectWithNotice(HWND window, HTREEITEM item, UINT action, bool forced)
{
    NMTREEVIEWW notice{};
    notice.action = action;
    {
        WindowLock lock = LockWindows();
        TreeState* tree = TreeOfLocked(window);
        if (tree == nullptr || (item != nullptr && tree->nodes.count(item) == 0)) {
            return false;
        }
        if (tree->selected == item) {
            if (item != nullptr) {
                ExpandAncestorsLocked(*tree, item);
            }
            return true;
        }
        DescribeLocked(*tree, tree->selected, &notice.itemOld);
        DescribeLocked(*tree, item, &notice.itemNew);
    }
    if (NotifyParent(window, TVN_SELCHANGINGW, &notice.hdr) != 0 && !forced) {
        return false;
    }
    {
        WindowLock lock = LockWindows();
        TreeState* tree = TreeOfLocked(window);
        if (tree == nullptr || (item != nullptr && tree->nodes.count(item) == 0)) {
            return false;
        }
        tree->selected = item;
        if (item != nullptr) {
            ExpandAncestorsLocked(*tree, item);
        }
        DescribeLocked(*tree, item, &notice.itemNew);
    }
    NotifyParent(window, TVN_SELCHANGEDW, &notice.hdr);
    return true;
}

}  // namespace tree

using namespace tree;

LRESULT CALLBACK TreeViewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto item = reinterpret_cast<HTREEITEM>(lParam);
    switch (message) {
    case TVM_INSERTITEMW:
        return reinterpret_cast<LRESULT>(
            Insert(window, reinterpret_cast<const TVINSERTSTRUCTW*>(lParam)));
    case TVM_DELETEITEM:
        return Delete(window, item) ? TRUE : FALSE;
    case TVM_EXPAND:
        return Expand(window, wParam, item) ? TRUE : FALSE;
    case TVM_GETNEXTITEM:
        return reinterpret_cast<LRESULT>(Next(window, wParam, item));
    case TVM_SELECTITEM:
        if (wParam == TVGN_CARET) {
            return SelectWithNotice(window, item, TVC_UNKNOWN, false) ? TRUE : FALSE;
        }
        if (wParam == TVGN_FIRSTVISIBLE) {
            WindowLock lock = LockWindows();
            TreeState* tree = TreeOfLocked(window);
            if (tree == nullptr || tree->nodes.count(item) == 0) {
                return FALSE;
            }
            ExpandAncestorsLocked(*tree, item);
            tree->firstVisible = item;
            return TRUE;
        }
        return FALSE;
    case TVM_GETITEMW:
        return GetItem(window, reinterpret_cast<TVITEMW*>(lParam));
    case TVM_SETITEMW:
        return SetItem(window, reinterpret_cast<const TVITEMW*>(lParam));
    case TVM_GETITEMSTATE: {
        WindowLock lock = LockWindows();
        TreeState* tree = TreeOfLocked(window);
        auto target = reinterpret_cast<HTREEITEM>(wParam);
        if (tree == nullptr || tree->nodes.count(target) == 0) {
            return 0;
        }
        UINT state = tree->nodes.at(target).state | (tree->selected == target ? TVIS_SELECTED : 0u);
        return static_cast<LRESULT>(state & static_cast<UINT>(lParam));
    }
    case TVM_GETCOUNT: {
        WindowLock lock = LockWindows();
        TreeState* tree = TreeOfLocked(window);
        return tree == nullptr ? 0 : static_cast<LRESULT>(tree->nodes.size());
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool ClickTreeItem(HWND tree, HTREEITEM item, std::string* reason)
{
    if (!Exists(tree, item)) {
        *reason = "the tree has no such item";
        return false;
    }
    // Collapsed ancestors, outermost first, are opened by their buttons.
    std::vector<HTREEITEM> collapsed;
    {
        WindowLock lock = LockWindows();
        TreeState* state = TreeOfLocked(tree);
        for (HTREEITEM at = state->nodes.at(item).parent; at != nullptr;
             at = state->nodes.at(at).parent) {
            if ((state->nodes.at(at).state & TVIS_EXPANDED) == 0) {
                collapsed.insert(collapsed.begin(), at);
            }
        }
    }
    for (HTREEITEM ancestor : collapsed) {
        NMTREEVIEWW notice{};
        notice.action = TVE_EXPAND;
        {
            WindowLock lock = LockWindows();
            TreeState* state = TreeOfLocked(tree);
            if (state == nullptr) {
                return false;
            }
            DescribeLocked(*state, ancestor, &notice.itemNew);
        }
        if (NotifyParent(tree, TVN_ITEMEXPANDINGW, &notice.hdr) != 0) {
            *reason = "the program refused to expand an item on the way";
            return false;
        }
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(ancestor));
        NotifyParent(tree, TVN_ITEMEXPANDEDW, &notice.hdr);
    }
    SetFocus(tree);
    if (!SelectWithNotice(tree, item, TVC_BYMOUSE, false)) {
        *reason = "the program refused the selection";
        return false;
    }
    return true;
}

}  // namespace vtsim::internal
