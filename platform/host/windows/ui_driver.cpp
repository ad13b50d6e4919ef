// Acting on windows as a person would: finding controls, and clicking,
// choosing, selecting, typing and pressing keys where a person could.
#include "platform/host/control/ui_driver.h"

#include "platform/host/kernel/utf.h"
#include "platform/host/windows/dialog_manager.h"
#include "platform/host/windows/dialog_state.h"
#include "platform/host/windows/user_input.h"
#include "platform/host/windows/window_classes.h"

namespace vtsim {
namespace {

using internal::Window;
using internal::WindowKind;

bool Fail(std::string* error, std::string reason)
{
    if (error != nullptr) {
        *error = std::move(reason);
    }
    return false;
}

// The text without the '&' marks of a mnemonic ("&&" stands for '&').
std::u16string WithoutMnemonic(const std::u16string& text)
{
    std::u16string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
        }
        plain.push_back(text[i]);
    }
    return plain;
}

std::u16string FromUtf8(std::string_view text)
{
    std::u16string wide;
    std::size_t bad = 0;
    internal::DecodeUtf8(text, &wide, &bad);
    return wide;
}

HWND FindLocked(const Window& window, const std::function<bool(const Window&)>& match)
{
    for (HWND child : window.children) {
        const Window* control = internal::FindWindowLocked(child);
        if (control == nullptr) {
            continue;
        }
        if (match(*control)) {
            return child;
        }
        if (HWND inner = FindLocked(*control, match)) {
            return inner;
        }
    }
    return nullptr;
}

// Whether a person can reach the window now: it lives, it and the windows
// holding it are shown and enabled. The kind is returned for the caller.
bool TakesInput(HWND window, std::string* error, WindowKind* kind = nullptr, DWORD* style = nullptr)
{
    internal::WindowLock lock = internal::LockWindows();
    const Window* target = internal::FindWindowLocked(window);
    if (target == nullptr) {
        return Fail(error, "no such window");
    }
    if (!internal::IsShownLocked(*target)) {
        return Fail(error, "the window is hidden");
    }
    if (!internal::IsEnabledLocked(*target)) {
        return Fail(error, "the window is disabled");
    }
    if (kind != nullptr) {
        *kind = target->kind;
    }
    if (style != nullptr) {
        *style = target->style;
    }
    return true;
}

// What the message loop does after an input: the messages it posted.
bool Done()
{
    internal::PumpPostedMessages(nullptr);
    return true;
}

}  // namespace

std::vector<HWND> TopLevelWindows()
{
    internal::WindowLock lock = internal::LockWindows();
    return internal::TopLevelWindowsLocked();
}

HWND FindControl(HWND window, int id)
{
    internal::WindowLock lock = internal::LockWindows();
    const Window* target = internal::FindWindowLocked(window);
    if (target == nullptr) {
        return nullptr;
    }
    return FindLocked(*target, [id](const Window& control) { return control.id == id; });
}

HWND FindControlByText(HWND window, std::string_view text)
{
    std::u16string wanted = FromUtf8(text);
    internal::WindowLock lock = internal::LockWindows();
    const Window* target = internal::FindWindowLocked(window);
    if (target == nullptr) {
        return nullptr;
    }
    return FindLocked(*target, [&](const Window& control) {
        return control.text == wanted || WithoutMnemonic(control.text) == wanted;
    });
}

bool Click(HWND control, std::string* error)
{
    WindowKind kind{};
    DWORD style = 0;
    if (!TakesInput(control, error, &kind, &style)) {
        return false;
    }
    if (kind == WindowKind::Button) {
        if ((style & BS_TYPEMASK) == BS_GROUPBOX) {
            return Fail(error, "a group box cannot be clicked");
        }
        SendMessageW(control, BM_CLICK, 0, 0);
        return Done();
    }
    if (kind == WindowKind::Static && (style & SS_NOTIFY) != 0) {
        internal::CommandToParent(control, STN_CLICKED);
        return Done();
    }
    return Fail(error, "not a button");
}

bool ChooseComboEntry(HWND combo, int index, std::string* error)
{
    std::string reason;
    if (!TakesInput(combo, error)) {
        return false;
    }
    if (!internal::ChooseComboEntry(combo, index, &reason)) {
        return Fail(error, reason);
    }
    return Done();
}

bool ChooseComboEntry(HWND combo, std::string_view text, std::string* error)
{
    std::u16string wanted = FromUtf8(text);
    int index = CB_ERR;
    {
        internal::WindowLock lock = internal::LockWindows();
        const Window* target = internal::FindWindowLocked(combo);
        if (target != nullptr && target->kind == WindowKind::ComboBox) {
            for (std::size_t i = 0; i < target->combo.items.size(); ++i) {
                if (target->combo.items[i] == wanted) {
                    index = static_cast<int>(i);
                    break;
                }
            }
        }
    }
    if (index == CB_ERR && IsWindow(combo) != FALSE) {
        return Fail(error, "the list has no entry '" + std::string(text) + "'");
    }
    return ChooseComboEntry(combo, index, error);
}

bool SelectTreeItem(HWND tree, const std::vector<std::string>& path, std::string* error)
{
    if (!TakesInput(tree, error)) {
        return false;
    }
    if (path.empty()) {
        return Fail(error, "no item named");
    }
    HTREEITEM item = nullptr;
    HTREEITEM level =
        reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (const std::string& name : path) {
        std::u16string wanted = FromUtf8(name);
        item = nullptr;
        for (HTREEITEM at = level; at != nullptr;
             at = reinterpret_cast<HTREEITEM>(
                 SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(at)))) {
            char16_t text[260] = {};
            TVITEMW query{};
            query.mask = TVIF_TEXT;
            query.hItem = at;
            query.pszText = text;
            query.cchTextMax = 260;
            if (SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)) != FALSE &&
                wanted == text) {
                item = at;
                break;
            }
        }
        if (item == nullptr) {
            return Fail(error, "the tree has no item '" + name + "' there");
        }
        level = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
    }
    std::string reason;
    if (!internal::ClickTreeItem(tree, item, &reason)) {
        return Fail(error, reason);
    }
    return Done();
}

bool SelectTab(HWND tabControl, int index, std::string* error)
{
    std::string reason;
    if (!TakesInput(tabControl, error)) {
        return false;
    }
    if (!internal::ClickTab(tabControl, index, &reason)) {
        return Fail(error, reason);
    }
    return Done();
}

bool SelectTab(HWND tabControl, std::string_view text, std::string* error)
{
    std::u16string wanted = FromUtf8(text);
    int index = -1;
    {
        internal::WindowLock lock = internal::LockWindows();
        const Window* target = internal::FindWindowLocked(tabControl);
        if (target != nullptr && target->kind == WindowKind::TabControl) {
            for (std::size_t i = 0; i < target->tabs.tabs.size(); ++i) {
                if (target->tabs.tabs[i].text == wanted) {
                    index = static_cast<int>(i);
                    break;
                }
            }
        }
    }
    if (index < 0 && IsWindow(tabControl) != FALSE) {
        return Fail(error, "the control has no tab '" + std::string(text) + "'");
    }
    return SelectTab(tabControl, index, error);
}

bool TypeText(HWND control, std::string_view text, std::string* error)
{
    std::string reason;
    if (!TakesInput(control, error)) {
        return false;
    }
    SetFocus(control);
    if (!internal::TypeIntoControl(control, FromUtf8(text), &reason)) {
        return Fail(error, reason);
    }
    return Done();
}

bool PressKey(HWND window, Key key, std::string* error)
{
    HWND dialog = internal::DialogOf(window);
    if (dialog == nullptr) {
        return Fail(error, IsWindow(window) != FALSE ? "not in a dialog" : "no such window");
    }
    if (!TakesInput(dialog, error)) {
        return false;
    }
    MSG message{};
    message.hwnd =
        GetFocus() != nullptr && IsChild(dialog, GetFocus()) != FALSE ? GetFocus() : dialog;
    message.message = WM_KEYDOWN;
    message.wParam = key == Key::Enter ? VK_RETURN : VK_ESCAPE;
    IsDialogMessageW(dialog, &message);
    return Done();
}

bool PressOk(HWND dialog, std::string* error)
{
    HWND button = GetDlgItem(dialog, IDOK);
    if (button == nullptr) {
        return Fail(error,
                    IsWindow(dialog) != FALSE ? "the dialog has no OK button" : "no such window");
    }
    return Click(button, error);
}

bool PressCancel(HWND dialog, std::string* error)
{
    HWND button = GetDlgItem(dialog, IDCANCEL);
    if (button == nullptr) {
        return Fail(error, IsWindow(dialog) != FALSE ? "the dialog has no Cancel button"
                                                     : "no such window");
    }
    return Click(button, error);
}

bool ClickCloseBox(HWND window, std::string* error)
{
    DWORD style = 0;
    if (!TakesInput(window, error, nullptr, &style)) {
        return false;
    }
    if ((style & WS_CHILD) != 0 || (style & WS_CAPTION) != WS_CAPTION ||
        (style & WS_SYSMENU) == 0) {
        return Fail(error, "the window has no close box");
    }
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return Done();
}

}  // namespace vtsim
