// The tree view's item operations: insert, delete (with the selection
// moving off a deleted item), expand and collapse, walking by relation, and
// reading and changing an item.
#include <algorithm>
#include <atomic>

#include "platform/host/windows/tree_view_items.h"
#include "platform/host/windows/window_classes.h"

namespace vtsim::internal::tree {
namespace {

std::atomic<std::uintptr_t> g_nextItem{0x1000};

void CollectSubtreeLocked(const TreeState& tree, HTREEITEM item, std::vector<HTREEITEM>* out)
{
    for (HTREEITEM child : tree.nodes.at(item).children) {
        CollectSubtreeLocked(tree, child, out);
    }
    out->push_back(item);  // children before their parent
}

}  // namespace

HTREEITEM Insert(HWND window, const TVINSERTSTRUCTW* insert)
{
    if (insert == nullptr) {
        return nullptr;
    }
    WindowLock lock = LockWindows();
    TreeState* tree = TreeOfLocked(window);
    if (tree == nullptr) {
        return nullptr;
    }
    HTREEITEM parent = insert->hParent == TVI_ROOT ? nullptr : insert->hParent;
    if (parent != nullptr && tree->nodes.count(parent) == 0) {
        return nullptr;
    }
    TreeNode node;
    node.parent = parent;
    const TVITEMW& item = insert->item;
    if ((item.mask & TVIF_TEXT) != 0 && item.pszText != nullptr) {
        node.text = item.pszText;
    }
    if ((item.mask & TVIF_PARAM) != 0) {
        node.param = item.lParam;
    }
    if ((item.mask & TVIF_STATE) != 0) {
        node.state = item.state & item.stateMask & ~TVIS_SELECTED;
    }
    auto handle = reinterpret_cast<HTREEITEM>(g_nextItem.fetch_add(4));
    std::vector<HTREEITEM>& level =
        parent == nullptr ? tree->roots : tree->nodes.at(parent).children;
    auto position = level.end();
    if (insert->hInsertAfter == TVI_FIRST) {
        position = level.begin();
    } else if (insert->hInsertAfter == TVI_SORT) {
        position = std::find_if(level.begin(), level.end(), [&](HTREEITEM sibling) {
            return lstrcmpiW(tree->nodes.at(sibling).text.c_str(), node.text.c_str()) > 0;
        });
    } else if (!IsSpecial(insert->hInsertAfter)) {
        auto after = std::find(level.begin(), level.end(), insert->hInsertAfter);
        if (after == level.end()) {
            return nullptr;
        }
        position = after + 1;
    }
    level.insert(position, handle);
    tree->nodes.emplace(handle, std::move(node));
    return handle;
}

bool Delete(HWND window, HTREEITEM item)
{
    std::vector<HTREEITEM> doomed;
    HTREEITEM successor = nullptr;
    bool selectionGoes = false;
    {
        WindowLock lock = LockWindows();
        TreeState* tree = TreeOfLocked(window);
        if (tree == nullptr) {
            return false;
        }
        if (item == nullptr || item == TVI_ROOT) {
            for (HTREEITEM root : tree->roots) {
                CollectSubtreeLocked(*tree, root, &doomed);
            }
        } else {
            if (tree->nodes.count(item) == 0) {
                return false;
            }
            CollectSubtreeLocked(*tree, item, &doomed);
            std::vector<HTREEITEM>& siblings = SiblingsLocked(*tree, item);
            auto at = std::find(siblings.begin(), siblings.end(), item);
            if (at + 1 != siblings.end()) {
                successor = *(at + 1);
            } else if (at != siblings.begin()) {
                successor = *(at - 1);
            } else {
                successor = tree->nodes.at(item).parent;
            }
        }
        selectionGoes = tree->selected != nullptr &&
                        std::find(doomed.begin(), doomed.end(), tree->selected) != doomed.end();
    }
    if (selectionGoes) {
        // A refusal cannot keep a deleted item selected.
        SelectWithNotice(window, successor, TVC_UNKNOWN, true);
    }
    for (HTREEITEM gone : doomed) {
        NMTREEVIEWW notice{};
        {
            WindowLock lock = LockWindows();
            TreeState* tree = TreeOfLocked(window);
            if (tree == nullptr) {
                return false;
            }
            DescribeLocked(*tree, gone, &notice.itemOld);
        }
        NotifyParent(window, TVN_DELETEITEMW, &notice.hdr);
    }
    WindowLock lock = LockWindows();
    TreeState* tree = TreeOfLocked(window);
    if (tree == nullptr) {
        return false;
    }
    for (HTREEITEM gone : doomed) {
        if (tree->nodes.count(gone) == 0) {
            continue;
        }
        std::erase(SiblingsLocked(*tree, gone), gone);
        tree->nodes.erase(gone);
    }
    if (tree->selected != nullptr && tree->nodes.count(tree->selected) == 0) {
        tree->selected = nullptr;
    }
    if (tree->firstVisible != nullptr && tree->nodes.count(tree->firstVisible) == 0) {
        tree->firstVisible = nullptr;
    }
    return true;
}

bool Expand(HWND window, WPARAM action, HTREEITEM item)
{
    bool hidesSelection = false;
    {
        WindowLock lock = LockWindows();
        TreeState* tree = TreeOfLocked(window);
        if (tree == nullptr || tree->nodes.count(item) == 0) {
            return false;
        }
        TreeNode& node = tree->nodes.at(item);
        if (node.children.empty()) {
            return false;
        }
        bool expand = (action & 0x3) == TVE_EXPAND ||
                      ((action & 0x3) == TVE_TOGGLE && (node.state & TVIS_EXPANDED) == 0);
        if (expand) {
            node.state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
        } else {
            node.state &= ~TVIS_EXPANDED;
            for (HTREEITEM at = tree->selected; at != nullptr; at = tree->nodes.at(at).parent) {
                if (tree->nodes.at(at).parent == item) {
                    hidesSelection = true;
                }
            }
        }
    }
    if (hidesSelection) {
        SelectWithNotice(window, item, TVC_UNKNOWN, false);
    }
    return true;
}

HTREEITEM Next(HWND window, WPARAM relation, HTREEITEM item)
{
    WindowLock lock = LockWindows();
    TreeState* tree = TreeOfLocked(window);
    if (tree == nullptr) {
        return nullptr;
    }
    if (relation == TVGN_ROOT ||
        (relation == TVGN_CHILD && (item == nullptr || item == TVI_ROOT))) {
        return tree->roots.empty() ? nullptr : tree->roots.front();
    }
    if (relation == TVGN_CARET) {
        return tree->selected;
    }
    if (relation == TVGN_FIRSTVISIBLE) {
        if (tree->firstVisible != nullptr) {
            return tree->firstVisible;
        }
        return tree->roots.empty() ? nullptr : tree->roots.front();
    }
    if (tree->nodes.count(item) == 0) {
        return nullptr;
    }
    const TreeNode& node = tree->nodes.at(item);
    switch (relation) {
    case TVGN_CHILD:
        return node.children.empty() ? nullptr : node.children.front();
    case TVGN_PARENT:
        return node.parent;
    case TVGN_NEXT:
    case TVGN_PREVIOUS: {
        const std::vector<HTREEITEM>& siblings = SiblingsLocked(*tree, item);
        auto at = std::find(siblings.begin(), siblings.end(), item);
        if (relation == TVGN_NEXT) {
            return at + 1 == siblings.end() ? nullptr : *(at + 1);
        }
        return at == siblings.begin() ? nullptr : *(at - 1);
    }
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
        if (!IsShowingLocked(*tree, item)) {
            return nullptr;
        }
        std::vector<HTREEITEM> shown;
        DisplayOrderLocked(*tree, tree->roots, true, &shown);
        auto at = std::find(shown.begin(), shown.end(), item);
        if (relation == TVGN_NEXTVISIBLE) {
            return at == shown.end() || at + 1 == shown.end() ? nullptr : *(at + 1);
        }
        return at == shown.begin() || at == shown.end() ? nullptr : *(at - 1);
    }
    default:
        return nullptr;
    }
}

BOOL GetItem(HWND window, TVITEMW* item)
{
    WindowLock lock = LockWindows();
    TreeState* tree = TreeOfLocked(window);
    if (tree == nullptr || item == nullptr || tree->nodes.count(item->hItem) == 0) {
        return FALSE;
    }
    const TreeNode& node = tree->nodes.at(item->hItem);
    if ((item->mask & TVIF_TEXT) != 0) {
        if (item->pszText == nullptr || item->cchTextMax <= 0) {
            return FALSE;
        }
        CopyText(node.text, item->pszText, static_cast<std::size_t>(item->cchTextMax));
    }
    if ((item->mask & TVIF_STATE) != 0) {
        UINT state = node.state | (tree->selected == item->hItem ? TVIS_SELECTED : 0u);
        item->state = state & item->stateMask;
    }
    if ((item->mask & TVIF_PARAM) != 0) {
        item->lParam = node.param;
    }
    if ((item->mask & TVIF_CHILDREN) != 0) {
        item->cChildren = node.children.empty() ? 0 : 1;
    }
    return TRUE;
}

BOOL SetItem(HWND window, const TVITEMW* item)
{
    WindowLock lock = LockWindows();
    TreeState* tree = TreeOfLocked(window);
    if (tree == nullptr || item == nullptr || tree->nodes.count(item->hItem) == 0) {
        return FALSE;
    }
    TreeNode& node = tree->nodes.at(item->hItem);
    if ((item->mask & TVIF_TEXT) != 0) {
        node.text = TextOf(item->pszText);
    }
    if ((item->mask & TVIF_PARAM) != 0) {
        node.param = item->lParam;
    }
    if ((item->mask & TVIF_STATE) != 0) {
        UINT mask = item->stateMask & ~TVIS_SELECTED;
        node.state = (node.state & ~mask) | (item->state & mask);
    }
    return TRUE;
}

}  // namespace vtsim::internal::tree
