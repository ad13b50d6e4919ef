// The control wrappers' calls that need more than one message.
#include "platform/framework/controls.h"

#include <vector>

namespace vtfw {

WString Control::Text() const
{
    const int length = GetWindowTextLengthW(window_);
    if (length <= 0) {
        return {};
    }
    std::vector<WCHAR> buffer(static_cast<std::size_t>(length) + 1);
    const int copied = GetWindowTextW(window_, buffer.data(), length + 1);
    return WString(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

int TabControl::InsertItem(int index, LPCWSTR text) const
{
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPWSTR>(text);
    return static_cast<int>(SendMessageW(window_, TCM_INSERTITEMW, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(&item)));
}

HTREEITEM TreeView::InsertItem(LPCWSTR text, HTREEITEM parent, HTREEITEM insertAfter) const
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = insertAfter;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<LPWSTR>(text);
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(window_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

WString TreeView::ItemText(HTREEITEM item, int maxChars) const
{
    if (item == nullptr || maxChars <= 0) {
        return {};
    }
    std::vector<WCHAR> buffer(static_cast<std::size_t>(maxChars), 0);
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = buffer.data();
    query.cchTextMax = maxChars;
    if (SendMessageW(window_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)) == FALSE) {
        return {};
    }
    return WString(buffer.data());
}

}  // namespace vtfw
