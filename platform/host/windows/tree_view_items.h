// Internal: the tree view's parts shared by its window procedure
// (tree_view.cpp) and its item operations (tree_items.cpp). Functions named
// ...Locked expect the caller to hold the window lock (LockWindows); the
// others take it themselves and send notifications without it.
#pragma once

#include "platform/host/internal_header.h"

#include <vector>

#include "platform/host/windows/window_objects.h"

namespace vtsim::internal::tree {

// TVI_ROOT, TVI_FIRST, TVI_LAST or TVI_SORT.
bool IsSpecial(HTREEITEM item);
// The list that holds item: its parent's children or the roots.
std::vector<HTREEITEM>& SiblingsLocked(TreeState& tree, HTREEITEM item);
// True when every ancestor of item is expanded.
bool IsShowingLocked(const TreeState& tree, HTREEITEM item);
// Expands every ancestor of item (without notifications).
void ExpandAncestorsLocked(TreeState& tree, HTREEITEM item);
// The items in display order (depth first), shown ones only when asked.
void DisplayOrderLocked(const TreeState& tree, const std::vector<HTREEITEM>& level, bool shownOnly,
                        std::vector<HTREEITEM>* out);
// The handle, state and parameter of item, as notifications carry them.
void DescribeLocked(const TreeState& tree, HTREEITEM item, TVITEMW* out);
// The tree of a tree view window; nullptr for another window.
TreeState* TreeOfLocked(HWND window);
// True when window is a tree view holding item.
bool Exists(HWND window, HTREEITEM item);
// Changes the selection to item (NULL: none) with TVN_SELCHANGINGW (whose
// refusal keeps the old selection unless forced) and TVN_SELCHANGEDW; the
// item's ancestors are expanded.
bool SelectWithNotice(HWND window, HTREEITEM item, UINT action, bool forced);

// The item messages: TVM_INSERTITEMW, TVM_DELETEITEM, TVM_EXPAND,
// TVM_GETNEXTITEM, TVM_GETITEMW and TVM_SETITEMW, with their results.
HTREEITEM Insert(HWND window, const TVINSERTSTRUCTW* insert);
bool Delete(HWND window, HTREEITEM item);
// Expands, collapses or toggles without notifications; a collapse that
// hides the selected item selects the collapsed one.
bool Expand(HWND window, WPARAM action, HTREEITEM item);
HTREEITEM Next(HWND window, WPARAM relation, HTREEITEM item);
BOOL GetItem(HWND window, TVITEMW* item);
BOOL SetItem(HWND window, const TVITEMW* item);

}  // namespace vtsim::internal::tree
