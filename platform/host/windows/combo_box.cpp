// The "ComboBox" class: a list of strings with a selection and, unless it is
// a drop-down list, an edit field (the window's text).
#include <algorithm>

#include "platform/host/kernel/strings.h"
#include "platform/host/windows/user_input.h"
#include "platform/host/windows/window_classes.h"

namespace vtsim::internal {
namespace {

bool IsDropDownList(const Window& self)
{
    return (self.style & 0x3) == CBS_DROPDOWNLIST;
}

bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix)
{
    return text.size() >= prefix.size() && NamesEqual(text.substr(0, prefix.size()), prefix);
}

// The first entry after start (wrapping; start -1: from the top) that
// matches, or CB_ERR.
int FindEntry(const ComboState& combo, WPARAM start, LPCWSTR text, bool exact)
{
    if (text == nullptr || combo.items.empty()) {
        return CB_ERR;
    }
    std::u16string_view wanted(text);
    const int count = static_cast<int>(combo.items.size());
    int first = static_cast<int>(static_cast<LONG_PTR>(start));
    first = first < 0 || first >= count ? 0 : first + 1;
    for (int step = 0; step < count; ++step) {
        int index = (first + step) % count;
        const std::u16string& item = combo.items[static_cast<std::size_t>(index)];
        if (exact ? NamesEqual(item, wanted) : StartsWithFolded(item, wanted)) {
            return index;
        }
    }
    return CB_ERR;
}

// Selects index (CB_ERR: nothing) and shows it in the edit field. Lock held.
int SelectLocked(Window& self, int index)
{
    ComboState& combo = self.combo;
    if (index < 0 || index >= static_cast<int>(combo.items.size())) {
        combo.selection = CB_ERR;
        self.text.clear();
        return CB_ERR;
    }
    combo.selection = index;
    self.text = combo.items[static_cast<std::size_t>(index)];
    return index;
}

int InsertLocked(Window& self, int index, LPCWSTR text)
{
    ComboState& combo = self.combo;
    std::u16string item = TextOf(text);
    const int count = static_cast<int>(combo.items.size());
    if ((self.style & CBS_SORT) != 0 && index == count) {
        index =
            static_cast<int>(std::upper_bound(combo.items.begin(), combo.items.end(), item,
                                              [](const std::u16string& a, const std::u16string& b) {
                                                  return lstrcmpiW(a.c_str(), b.c_str()) < 0;
                                              }) -
                             combo.items.begin());
    }
    if (index < 0 || index > count) {
        index = count;
    }
    combo.items.insert(combo.items.begin() + index, std::move(item));
    combo.itemData.insert(combo.itemData.begin() + index, 0);
    if (combo.selection >= index) {
        ++combo.selection;
    }
    return index;
}

LRESULT HandleLocked(Window& self, UINT message, WPARAM wParam, LPARAM lParam)
{
    ComboState& combo = self.combo;
    const int count = static_cast<int>(combo.items.size());
    const int index = static_cast<int>(static_cast<LONG_PTR>(wParam));
    switch (message) {
    case CB_ADDSTRING:
        return InsertLocked(self, count, reinterpret_cast<LPCWSTR>(lParam));
    case CB_INSERTSTRING:
        return InsertLocked(self, index < 0 ? count : index, reinterpret_cast<LPCWSTR>(lParam));
    case CB_DELETESTRING:
        if (index < 0 || index >= count) {
            return CB_ERR;
        }
        combo.items.erase(combo.items.begin() + index);
        combo.itemData.erase(combo.itemData.begin() + index);
        if (combo.selection == index) {
            combo.selection = CB_ERR;
        } else if (combo.selection > index) {
            --combo.selection;
        }
        return count - 1;
    case CB_RESETCONTENT:
        combo.items.clear();
        combo.itemData.clear();
        combo.selection = CB_ERR;
        self.text.clear();
        return CB_OKAY;
    case CB_GETCOUNT:
        return count;
    case CB_GETCURSEL:
        return combo.selection;
    case CB_SETCURSEL:
        return SelectLocked(self, index);
    case CB_GETLBTEXT:
        if (index < 0 || index >= count || lParam == 0) {
            return CB_ERR;
        }
        {
            const std::u16string& item = combo.items[static_cast<std::size_t>(index)];
            auto* buffer = reinterpret_cast<LPWSTR>(lParam);
            std::copy(item.begin(), item.end(), buffer);
            buffer[item.size()] = 0;
            return static_cast<LRESULT>(item.size());
        }
    case CB_GETLBTEXTLEN:
        return index < 0 || index >= count
                   ? CB_ERR
                   : static_cast<LRESULT>(combo.items[static_cast<std::size_t>(index)].size());
    case CB_FINDSTRING:
        return FindEntry(combo, wParam, reinterpret_cast<LPCWSTR>(lParam), false);
    case CB_FINDSTRINGEXACT:
        return FindEntry(combo, wParam, reinterpret_cast<LPCWSTR>(lParam), true);
    case CB_SELECTSTRING: {
        int found = FindEntry(combo, wParam, reinterpret_cast<LPCWSTR>(lParam), false);
        return found == CB_ERR ? CB_ERR : SelectLocked(self, found);
    }
    case CB_SETITEMDATA:
        if (index < 0 || index >= count) {
            return CB_ERR;
        }
        combo.itemData[static_cast<std::size_t>(index)] = lParam;
        return CB_OKAY;
    case CB_GETITEMDATA:
        return index < 0 || index >= count ? CB_ERR
                                           : combo.itemData[static_cast<std::size_t>(index)];
    case CB_SHOWDROPDOWN:
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return FALSE;
    case CB_LIMITTEXT:
        return TRUE;
    case WM_SETTEXT:
        if (IsDropDownList(self)) {
            return CB_ERR;
        }
        self.text = TextOf(reinterpret_cast<LPCWSTR>(lParam));
        return TRUE;
    default:
        return 0;
    }
}

bool OwnMessage(UINT message)
{
    return (message >= CB_GETEDITSEL && message <= CB_FINDSTRINGEXACT) || message == WM_SETTEXT;
}

}  // namespace

LRESULT CALLBACK ComboBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETDLGCODE) {
        return DLGC_WANTCHARS | DLGC_WANTARROWS;
    }
    if (!OwnMessage(message)) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    WindowLock lock = LockWindows();
    Window* self = FindWindowLocked(window);
    return self == nullptr ? CB_ERR : HandleLocked(*self, message, wParam, lParam);
}

bool ChooseComboEntry(HWND combo, int index, std::string* reason)
{
    {
        WindowLock lock = LockWindows();
        Window* self = FindWindowLocked(combo);
        if (self == nullptr || self->kind != WindowKind::ComboBox) {
            *reason = "not a combo box";
            return false;
        }
        if (index < 0 || index >= static_cast<int>(self->combo.items.size())) {
            *reason = "the list has no entry " + std::to_string(index);
            return false;
        }
        SelectLocked(*self, index);
    }
    SetFocus(combo);
    CommandToParent(combo, CBN_SELCHANGE);
    CommandToParent(combo, CBN_SELENDOK);
    return true;
}

}  // namespace vtsim::internal
