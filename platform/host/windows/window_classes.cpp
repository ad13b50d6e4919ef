// Window classes: the built-in ones, those the program registers, and the
// helpers through which controls report to their parent.
#include "platform/host/windows/window_classes.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <vector>

#include "platform/commctrl.h"
#include "platform/host/kernel/strings.h"

namespace vtsim::internal {
namespace {

constexpr ULONG_PTR kDialogAtom = 0x8002;

const std::array<WindowClass, 7>& BuiltInClasses()
{
    static const std::array<WindowClass, 7> classes = {{
        {WindowKind::Dialog, u"#32770", &DefDlgProcW},
        {WindowKind::Button, u"Button", &ButtonProcedure},
        {WindowKind::Static, u"Static", &StaticProcedure},
        {WindowKind::Edit, u"Edit", &EditProcedure},
        {WindowKind::ComboBox, u"ComboBox", &ComboBoxProcedure},
        {WindowKind::TreeView, u"SysTreeView32", &TreeViewProcedure},
        {WindowKind::TabControl, u"SysTabControl32", &TabControlProcedure},
    }};
    return classes;
}

struct RegisteredClasses {
    std::mutex mutex;
    std::vector<WindowClass> classes;
    ATOM nextAtom = 0xC000;
};

RegisteredClasses& Registered()
{
    static RegisteredClasses* registered = new RegisteredClasses;  // lives until exit
    return *registered;
}

bool FindBuiltIn(std::u16string_view name, WindowClass* found)
{
    for (const WindowClass& candidate : BuiltInClasses()) {
        if (NamesEqual(candidate.name, name)) {
            *found = candidate;
            return true;
        }
    }
    return false;
}

}  // namespace

bool FindWindowClass(LPCWSTR name, WindowClass* found)
{
    if (name == nullptr) {
        return false;
    }
    if (IS_INTRESOURCE(name)) {
        if (reinterpret_cast<ULONG_PTR>(name) == kDialogAtom) {
            *found = BuiltInClasses()[0];
            return true;
        }
        return false;
    }
    if (FindBuiltIn(name, found)) {
        return true;
    }
    RegisteredClasses& registered = Registered();
    std::lock_guard lock(registered.mutex);
    for (const WindowClass& candidate : registered.classes) {
        if (NamesEqual(candidate.name, name)) {
            *found = candidate;
            return true;
        }
    }
    return false;
}

bool FindPredefinedClass(WORD ordinal, WindowClass* found)
{
    switch (ordinal) {
    case 0x0080:
        return FindBuiltIn(u"Button", found);
    case 0x0081:
        return FindBuiltIn(u"Edit", found);
    case 0x0082:
        return FindBuiltIn(u"Static", found);
    case 0x0085:
        return FindBuiltIn(u"ComboBox", found);
    default:
        return false;
    }
}

void CommandToParent(HWND control, WORD code)
{
    HWND parent = nullptr;
    int id = 0;
    {
        WindowLock lock = LockWindows();
        Window* window = FindWindowLocked(control);
        if (window == nullptr || !window->IsChild()) {
            return;
        }
        parent = window->parent;
        id = window->id;
    }
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), code),
                 reinterpret_cast<LPARAM>(control));
}

LRESULT NotifyParent(HWND control, UINT code, NMHDR* header)
{
    HWND parent = nullptr;
    {
        WindowLock lock = LockWindows();
        Window* window = FindWindowLocked(control);
        if (window == nullptr || !window->IsChild()) {
            return 0;
        }
        parent = window->parent;
        header->idFrom = static_cast<UINT_PTR>(window->id);
    }
    header->hwndFrom = control;
    header->code = code;
    return SendMessageW(parent, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

int CopyText(std::u16string_view text, LPWSTR buffer, std::size_t capacity)
{
    if (buffer == nullptr || capacity == 0) {
        return 0;
    }
    std::size_t count = std::min(text.size(), capacity - 1);
    std::copy_n(text.begin(), count, buffer);
    buffer[count] = 0;
    return static_cast<int>(count);
}

std::u16string TextOf(LPCWSTR text)
{
    return text == nullptr ? std::u16string() : std::u16string(text);
}

}  // namespace vtsim::internal

using namespace vtsim::internal;

extern "C" ATOM RegisterClassW(const WNDCLASSW* windowClass)
{
    if (windowClass == nullptr || windowClass->lpfnWndProc == nullptr ||
        windowClass->lpszClassName == nullptr || IS_INTRESOURCE(windowClass->lpszClassName)) {
        return FailWith<ATOM>(ERROR_INVALID_PARAMETER, 0);
    }
    WindowClass existing;
    if (FindWindowClass(windowClass->lpszClassName, &existing)) {
        return FailWith<ATOM>(ERROR_CLASS_ALREADY_EXISTS, 0);
    }
    RegisteredClasses& registered = Registered();
    std::lock_guard lock(registered.mutex);
    registered.classes.push_back(
        {WindowKind::Registered, windowClass->lpszClassName, windowClass->lpfnWndProc});
    return registered.nextAtom++;
}

extern "C" BOOL UnregisterClassW(LPCWSTR className, HINSTANCE)
{
    if (className == nullptr || IS_INTRESOURCE(className)) {
        return FailWith<BOOL>(ERROR_CLASS_DOES_NOT_EXIST, FALSE);
    }
    {
        WindowLock lock = LockWindows();
        if (AnyWindowLocked([&](const Window& window) {
                return window.kind == WindowKind::Registered &&
                       NamesEqual(window.className, className);
            })) {
            return FailWith<BOOL>(ERROR_CLASS_HAS_WINDOWS, FALSE);
        }
    }
    RegisteredClasses& registered = Registered();
    std::lock_guard lock(registered.mutex);
    auto found = std::find_if(registered.classes.begin(), registered.classes.end(),
                              [&](const WindowClass& c) { return NamesEqual(c.name, className); });
    if (found == registered.classes.end()) {
        return FailWith<BOOL>(ERROR_CLASS_DOES_NOT_EXIST, FALSE);
    }
    registered.classes.erase(found);
    return TRUE;
}

extern "C" void InitCommonControls() {}

extern "C" BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls)
{
    return controls != nullptr && controls->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}
