// Thin wrappers of the controls a dialog holds: each is a window handle with
// the calls its control class answers, sent as the control's own messages.
// A wrapper owns nothing (the dialog owns its controls); a wrapper of NULL
// is allowed and every call on it fails quietly (returns 0, NULL, false or
// -1 as its comment says). Used on the thread that owns the dialog.
#pragma once

#include "platform/commctrl.h"
#include "platform/framework/application.h"
#include "platform/resources.h"
#include "platform/types.h"
#include "platform/ui.h"

namespace vtfw {

class Control {
public:
    explicit Control(HWND window = nullptr) noexcept : window_(window) {}
    HWND Handle() const noexcept
    {
        return window_;
    }
    void Enable(bool enable) const
    {
        EnableWindow(window_, enable ? TRUE : FALSE);
    }
    bool IsEnabled() const
    {
        return IsWindowEnabled(window_) != FALSE;
    }
    void Show(bool show) const
    {
        ShowWindow(window_, show ? SW_SHOW : SW_HIDE);
    }
    void SetText(LPCWSTR text) const
    {
        SetWindowTextW(window_, text);
    }
    // The window's text (empty for NULL).
    WString Text() const;

protected:
    HWND window_;
};

// A push, radio or check button.
class Button : public Control {
public:
    using Control::Control;
    bool IsChecked() const
    {
        return SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void SetCheck(bool checked) const
    {
        SendMessageW(window_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
};

// A static text.
using StaticText = Control;

// A static picture (SS_BITMAP).
class Picture : public Control {
public:
    using Control::Control;
    // Shows bitmap (NULL: none) and returns the one shown before; the caller
    // keeps owning both (DeleteObject when no longer shown).
    HBITMAP SetBitmap(HBITMAP bitmap) const
    {
        return reinterpret_cast<HBITMAP>(
            SendMessageW(window_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
};

class ComboBox : public Control {
public:
    using Control::Control;
    // Adds an entry at the end (unsorted list) and returns its index, CB_ERR
    // on failure.
    int AddString(LPCWSTR text) const
    {
        return static_cast<int>(
            SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int Count() const
    {
        return static_cast<int>(SendMessageW(window_, CB_GETCOUNT, 0, 0));
    }
    // The selected entry's index, CB_ERR (-1) when none.
    int Selection() const
    {
        return window_ != nullptr ? static_cast<int>(SendMessageW(window_, CB_GETCURSEL, 0, 0))
                                  : CB_ERR;
    }
    // Selects entry index (-1: none) without a notification; returns the
    // index, CB_ERR when there is no such entry.
    int Select(int index) const
    {
        return static_cast<int>(SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(index), 0));
    }
};

class TabControl : public Control {
public:
    using Control::Control;
    // Inserts a tab with text at index; returns its index, -1 on failure.
    int InsertItem(int index, LPCWSTR text) const;
    // The selected tab's index, -1 when none.
    int Selection() const
    {
        return window_ != nullptr ? static_cast<int>(SendMessageW(window_, TCM_GETCURSEL, 0, 0))
                                  : -1;
    }
    // Selects tab index without notifications; returns the previous index.
    int Select(int index) const
    {
        return static_cast<int>(
            SendMessageW(window_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0));
    }
};

class TreeView : public Control {
public:
    using Control::Control;
    // Inserts an item with text under parent (TVI_ROOT: the top level) after
    // insertAfter (TVI_LAST: at the end); returns it, NULL on failure.
    HTREEITEM InsertItem(LPCWSTR text, HTREEITEM parent = TVI_ROOT,
                         HTREEITEM insertAfter = TVI_LAST) const;
    // Related items (TVM_GETNEXTITEM); NULL when there is none.
    HTREEITEM Root() const
    {
        return Next(nullptr, TVGN_ROOT);
    }
    HTREEITEM Selection() const
    {
        return Next(nullptr, TVGN_CARET);
    }
    HTREEITEM Parent(HTREEITEM item) const
    {
        return Next(item, TVGN_PARENT);
    }
    HTREEITEM FirstChild(HTREEITEM item) const
    {
        return Next(item, TVGN_CHILD);
    }
    HTREEITEM NextSibling(HTREEITEM item) const
    {
        return Next(item, TVGN_NEXT);
    }
    // The item's text, at most maxChars - 1 characters; empty for NULL.
    WString ItemText(HTREEITEM item, int maxChars = 260) const;
    // Selects item (with the selection notifications, opening its
    // ancestors); scrolls item to the top of the view (opening its
    // ancestors); expands or collapses (TVE_*) item; deletes item and its
    // children. Each true on success.
    bool Select(HTREEITEM item) const
    {
        return SendMessageW(window_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) !=
               FALSE;
    }
    bool ScrollToTop(HTREEITEM item) const
    {
        return SendMessageW(window_, TVM_SELECTITEM, TVGN_FIRSTVISIBLE,
                            reinterpret_cast<LPARAM>(item)) != FALSE;
    }
    bool Expand(HTREEITEM item, WPARAM action) const
    {
        return SendMessageW(window_, TVM_EXPAND, action, reinterpret_cast<LPARAM>(item)) != FALSE;
    }
    bool DeleteItem(HTREEITEM item) const
    {
        return SendMessageW(window_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != FALSE;
    }

private:
    HTREEITEM Next(HTREEITEM item, WPARAM relation) const
    {
        return reinterpret_cast<HTREEITEM>(
            SendMessageW(window_, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
};

}  // namespace vtfw
