// The tab control class ("SysTabControl32"): tabs with text and a
// parameter, one selected.
#include "platform/host/windows/user_input.h"
#include "platform/host/windows/window_classes.h"

namespace vtsim::internal {
namespace {

TabState* TabsOfLocked(HWND window)
{
    Window* self = FindWindowLocked(window);
    return self == nullptr || self->kind != WindowKind::TabControl ? nullptr : &self->tabs;
}

LRESULT HandleLocked(TabState& state, UINT message, WPARAM wParam, LPARAM lParam)
{
    const int count = static_cast<int>(state.tabs.size());
    const int index = static_cast<int>(static_cast<LONG_PTR>(wParam));
    switch (message) {
    case TCM_GETITEMCOUNT:
        return count;
    case TCM_GETCURSEL:
        return state.selection;
    case TCM_SETCURSEL: {
        if (index < 0 || index >= count) {
            return -1;
        }
        int previous = state.selection;
        state.selection = index;
        return previous;
    }
    case TCM_INSERTITEMW: {
        const auto* item = reinterpret_cast<const TCITEMW*>(lParam);
        if (item == nullptr || index < 0) {
            return -1;
        }
        TabItem tab;
        if ((item->mask & TCIF_TEXT) != 0) {
            tab.text = TextOf(item->pszText);
        }
        if ((item->mask & TCIF_PARAM) != 0) {
            tab.param = item->lParam;
        }
        int at = index > count ? count : index;
        state.tabs.insert(state.tabs.begin() + at, std::move(tab));
        if (state.selection < 0) {
            state.selection = 0;
        } else if (state.selection >= at) {
            ++state.selection;
        }
        return at;
    }
    case TCM_GETITEMW: {
        auto* item = reinterpret_cast<TCITEMW*>(lParam);
        if (item == nullptr || index < 0 || index >= count) {
            return FALSE;
        }
        const TabItem& tab = state.tabs[static_cast<std::size_t>(index)];
        if ((item->mask & TCIF_TEXT) != 0) {
            if (item->pszText == nullptr || item->cchTextMax <= 0) {
                return FALSE;
            }
            CopyText(tab.text, item->pszText, static_cast<std::size_t>(item->cchTextMax));
        }
        if ((item->mask & TCIF_PARAM) != 0) {
            item->lParam = tab.param;
        }
        return TRUE;
    }
    case TCM_SETITEMW: {
        const auto* item = reinterpret_cast<const TCITEMW*>(lParam);
        if (item == nullptr || index < 0 || index >= count) {
            return FALSE;
        }
        TabItem& tab = state.tabs[static_cast<std::size_t>(index)];
        if ((item->mask & TCIF_TEXT) != 0) {
            tab.text = TextOf(item->pszText);
        }
        if ((item->mask & TCIF_PARAM) != 0) {
            tab.param = item->lParam;
        }
        return TRUE;
    }
    case TCM_DELETEITEM:
        if (index < 0 || index >= count) {
            return FALSE;
        }
        state.tabs.erase(state.tabs.begin() + index);
        if (state.selection == index) {
            state.selection = -1;
        } else if (state.selection > index) {
            --state.selection;
        }
        return TRUE;
    case TCM_DELETEALLITEMS:
        state.tabs.clear();
        state.selection = -1;
        return TRUE;
    default:
        return 0;
    }
}

}  // namespace

LRESULT CALLBACK TabControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message < TCM_FIRST || message >= TCM_FIRST + 0x100) {
        return message == WM_GETDLGCODE ? DLGC_WANTARROWS
                                        : DefWindowProcW(window, message, wParam, lParam);
    }
    WindowLock lock = LockWindows();
    TabState* state = TabsOfLocked(window);
    return state == nullptr ? 0 : HandleLocked(*state, message, wParam, lParam);
}

bool ClickTab(HWND tab, int index, std::string* reason)
{
    {
        WindowLock lock = LockWindows();
        TabState* state = TabsOfLocked(tab);
        if (state == nullptr) {
            *reason = "not a tab control";
            return false;
        }
        if (index < 0 || index >= static_cast<int>(state->tabs.size())) {
            *reason = "the control has no tab " + std::to_string(index);
            return false;
        }
        if (state->selection == index) {
            return true;
        }
    }
    NMHDR header{};
    if (NotifyParent(tab, TCN_SELCHANGING, &header) != 0) {
        *reason = "the program refused the change of tab";
        return false;
    }
    {
        WindowLock lock = LockWindows();
        TabState* state = TabsOfLocked(tab);
        if (state == nullptr || index >= static_cast<int>(state->tabs.size())) {
            *reason = "the tab went away";
            return false;
        }
        state->selection = index;
    }
    NotifyParent(tab, TCN_SELCHANGE, &header);
    return true;
}

}  // namespace vtsim::internal
