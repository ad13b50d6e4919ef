// Windows as objects: creation and destruction, and relations; their data,
// text and painting are in window_data.cpp.
#include <algorithm>

#include "platform/host/windows/dialog_manager.h"
#include "platform/host/windows/dialog_state.h"
#include "platform/host/windows/focus.h"
#include "platform/host/windows/window_creation.h"

namespace vtsim::internal {
namespace {

// The height a combo box shows closed: its edit field (the font's height
// and the field's border), whatever height it was given.
int ClosedComboHeight(HWND parent)
{
    return DialogBaseUnitsOf(parent).y + 8;
}

// WM_DESTROY to the window, then to each child (the children still exist
// while the parent handles it), then WM_NCDESTROY children first; the
// window leaves the table last.
void DestroyTree(HWND handle)
{
    std::vector<HWND> children;
    {
        WindowLock lock = LockWindows();
        Window* window = FindWindowLocked(handle);
        if (window == nullptr) {
            return;
        }
        window->destroying = true;
        window->style &= ~WS_VISIBLE;
    }
    SendMessageW(handle, WM_DESTROY, 0, 0);
    {
        WindowLock lock = LockWindows();
        if (Window* window = FindWindowLocked(handle)) {
            children = window->children;
        }
    }
    for (HWND child : children) {
        DestroyTree(child);
    }
    SendMessageW(handle, WM_NCDESTROY, 0, 0);
    WindowLock lock = LockWindows();
    RemoveWindowLocked(handle);
}

}  // namespace

HWND CreateWindowFrom(const WindowRequest& request)
{
    auto window = std::make_shared<Window>();
    window->kind = request.windowClass.kind;
    window->className = request.windowClass.name;
    window->procedure = request.windowClass.procedure;
    window->instance = request.instance;
    window->text = IS_INTRESOURCE(request.name) ? std::u16string() : TextOf(request.name);
    window->style = request.style & ~WS_VISIBLE;
    window->exStyle = request.exStyle;
    window->x = request.x;
    window->y = request.y;
    window->width = std::max(0, request.width);
    window->height = std::max(0, request.height);
    window->thread = std::this_thread::get_id();
    if (window->kind == WindowKind::Dialog) {
        window->dialog = std::make_unique<DialogState>();
    }
    HWND handle = nullptr;
    {
        WindowLock lock = LockWindows();
        if ((request.style & WS_CHILD) != 0) {
            Window* parent = FindWindowLocked(request.parent);
            if (parent == nullptr) {
                return FailWith<HWND>(request.parent == nullptr ? ERROR_TLW_WITH_WSCHILD
                                                                : ERROR_INVALID_WINDOW_HANDLE,
                                      nullptr);
            }
            window->parent = request.parent;
            window->id = request.id;
        } else if (request.parent != nullptr) {
            Window* owner = FindWindowLocked(request.parent);
            if (owner == nullptr) {
                return FailWith<HWND>(ERROR_INVALID_WINDOW_HANDLE, nullptr);
            }
            window->owner = TopLevelOfLocked(*owner)->handle;
        }
        if (window->kind == WindowKind::ComboBox) {
            window->combo.droppedHeight = window->height;
        }
        if (request.prepare) {
            request.prepare(*window);
        }
        handle = InsertWindowLocked(window);
    }
    if (window->kind == WindowKind::ComboBox) {
        int closed = ClosedComboHeight(request.parent);
        WindowLock lock = LockWindows();
        window->height = closed;
    }

    CREATESTRUCTW create{};
    create.lpCreateParams = request.param;
    create.hInstance = request.instance;
    create.hMenu = reinterpret_cast<HMENU>(static_cast<LONG_PTR>(request.id));
    create.hwndParent = request.parent;
    create.cx = request.width;
    create.cy = request.height;
    create.x = request.x;
    create.y = request.y;
    create.style = static_cast<LONG>(request.style);
    create.lpszName = request.name;
    create.lpszClass = request.windowClass.name.c_str();
    create.dwExStyle = request.exStyle;
    if (SendMessageW(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) == FALSE ||
        SendMessageW(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        return FailWith<HWND>(ERROR_INVALID_PARAMETER, nullptr);
    }
    if ((request.style & WS_VISIBLE) != 0) {
        if ((request.style & WS_CHILD) != 0) {
            WindowLock lock = LockWindows();
            window->style |= WS_VISIBLE;
        } else {
            ShowWindow(handle, SW_SHOW);
        }
    }
    return handle;
}

}  // namespace vtsim::internal

using namespace vtsim::internal;

extern "C" HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                                int x, int y, int width, int height, HWND parent, HMENU menu,
                                HINSTANCE instance, LPVOID param)
{
    WindowRequest request;
    if (!FindWindowClass(className, &request.windowClass)) {
        return FailWith<HWND>(ERROR_CANNOT_FIND_WND_CLASS, nullptr);
    }
    request.exStyle = exStyle;
    request.name = windowName;
    request.style = style;
    request.x = x;
    request.y = y;
    request.width = width;
    request.height = height;
    request.parent = parent;
    request.id = static_cast<int>(reinterpret_cast<LONG_PTR>(menu));
    request.instance = instance;
    request.param = param;
    return CreateWindowFrom(request);
}

extern "C" BOOL DestroyWindow(HWND window)
{
    std::vector<HWND> owned;
    {
        WindowLock lock = LockWindows();
        Window* target = FindWindowLocked(window);
        if (target == nullptr) {
            return FailWith<BOOL>(ERROR_INVALID_WINDOW_HANDLE, FALSE);
        }
        if (target->destroying) {
            return TRUE;
        }
        for (HWND top : TopLevelWindowsLocked()) {
            Window* candidate = FindWindowLocked(top);
            if (candidate != nullptr && candidate->owner == window) {
                owned.push_back(top);
            }
        }
    }
    for (HWND top : owned) {
        DestroyWindow(top);
    }
    EndModalLoopOf(window);
    DropFocusWithin(window);
    DestroyTree(window);
    DiscardMessagesOfDestroyedWindows();
    return TRUE;
}

extern "C" BOOL IsWindow(HWND window)
{
    WindowLock lock = LockWindows();
    return FindWindowLocked(window) != nullptr ? TRUE : FALSE;
}

extern "C" int GetClassNameW(HWND window, LPWSTR buffer, int bufferChars)
{
    WindowLock lock = LockWindows();
    Window* target = FindWindowLocked(window);
    if (target == nullptr || bufferChars <= 0) {
        return FailWith<int>(ERROR_INVALID_WINDOW_HANDLE, 0);
    }
    return CopyText(target->className, buffer, static_cast<std::size_t>(bufferChars));
}

// ---- Relations -----------------------------------------------------------------------

extern "C" HWND GetParent(HWND window)
{
    WindowLock lock = LockWindows();
    Window* target = FindWindowLocked(window);
    if (target == nullptr) {
        return FailWith<HWND>(ERROR_INVALID_WINDOW_HANDLE, nullptr);
    }
    return target->IsChild() ? target->parent : target->owner;
}

extern "C" HWND GetWindow(HWND window, UINT relation)
{
    WindowLock lock = LockWindows();
    Window* target = FindWindowLocked(window);
    if (target == nullptr) {
        return FailWith<HWND>(ERROR_INVALID_WINDOW_HANDLE, nullptr);
    }
    if (relation == GW_CHILD) {
        return target->children.empty() ? nullptr : target->children.front();
    }
    if (relation == GW_OWNER) {
        return target->IsChild() ? nullptr : target->owner;
    }
    const std::vector<HWND>* siblings = &TopLevelWindowsLocked();
    if (target->IsChild()) {
        Window* parent = FindWindowLocked(target->parent);
        if (parent == nullptr) {
            return nullptr;
        }
        siblings = &parent->children;
    }
    auto at = std::find(siblings->begin(), siblings->end(), window);
    switch (relation) {
    case GW_HWNDFIRST:
        return siblings->front();
    case GW_HWNDLAST:
        return siblings->back();
    case GW_HWNDNEXT:
        return at == siblings->end() || at + 1 == siblings->end() ? nullptr : *(at + 1);
    case GW_HWNDPREV:
        return at == siblings->begin() || at == siblings->end() ? nullptr : *(at - 1);
    default:
        return FailWith<HWND>(ERROR_INVALID_PARAMETER, nullptr);
    }
}

extern "C" BOOL IsChild(HWND parent, HWND child)
{
    WindowLock lock = LockWindows();
    Window* current = FindWindowLocked(child);
    while (current != nullptr && current->IsChild()) {
        if (current->parent == parent) {
            return TRUE;
        }
        current = FindWindowLocked(current->parent);
    }
    return FALSE;
}

extern "C" HWND GetDlgItem(HWND dialog, int id)
{
    WindowLock lock = LockWindows();
    Window* target = FindWindowLocked(dialog);
    if (target == nullptr) {
        return FailWith<HWND>(ERROR_INVALID_WINDOW_HANDLE, nullptr);
    }
    for (HWND child : target->children) {
        Window* control = FindWindowLocked(child);
        if (control != nullptr && control->id == id) {
            return child;
        }
    }
    return FailWith<HWND>(ERROR_CONTROL_ID_NOT_FOUND, nullptr);
}

extern "C" int GetDlgCtrlID(HWND window)
{
    WindowLock lock = LockWindows();
    Window* target = FindWindowLocked(window);
    if (target == nullptr) {
        return FailWith<int>(ERROR_INVALID_WINDOW_HANDLE, 0);
    }
    return target->IsChild() ? target->id : 0;
}
