// Snapshots: a live window with its children, frozen as plain data for
// tests, tools and the picture renderer.
#include "platform/host/control/ui_driver.h"
#include "platform/host/kernel/utf.h"
#include "platform/host/windows/bitmaps.h"
#include "platform/host/windows/focus.h"
#include "platform/host/windows/window_objects.h"

namespace vtsim {
namespace {

using internal::Window;
using internal::WindowKind;

WidgetKind KindOf(const Window& window)
{
    switch (window.kind) {
    case WindowKind::Dialog:
        return WidgetKind::Dialog;
    case WindowKind::Button:
        switch (window.style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
            return WidgetKind::PushButton;
        case BS_DEFPUSHBUTTON:
            return WidgetKind::DefPushButton;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return WidgetKind::RadioButton;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            return WidgetKind::CheckBox;
        case BS_GROUPBOX:
            return WidgetKind::GroupBox;
        default:
            return WidgetKind::Other;
        }
    case WindowKind::Static:
        switch (window.style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
        case SS_SIMPLE:
        case SS_LEFTNOWORDWRAP:
            return WidgetKind::Label;
        case SS_BITMAP:
            return WidgetKind::Picture;
        case SS_BLACKRECT:
        case SS_GRAYRECT:
        case SS_WHITERECT:
        case SS_BLACKFRAME:
        case SS_GRAYFRAME:
        case SS_WHITEFRAME:
        case SS_ETCHEDHORZ:
        case SS_ETCHEDVERT:
        case SS_ETCHEDFRAME:
            return WidgetKind::Frame;
        default:
            return WidgetKind::Other;
        }
    case WindowKind::ComboBox:
        return WidgetKind::ComboBox;
    case WindowKind::TreeView:
        return WidgetKind::TreeView;
    case WindowKind::TabControl:
        return WidgetKind::TabControl;
    case WindowKind::Registered:
        return window.IsChild() ? WidgetKind::Other : WidgetKind::Dialog;
    case WindowKind::Edit:
    default:
        return WidgetKind::Other;
    }
}

void AddTreeItems(const internal::TreeState& tree, const std::vector<HTREEITEM>& level, int depth,
                  bool visible, std::vector<TreeItemSnapshot>* out)
{
    for (HTREEITEM item : level) {
        const internal::TreeNode& node = tree.nodes.at(item);
        TreeItemSnapshot snapshot;
        snapshot.text = internal::ToUtf8(node.text);
        snapshot.depth = depth;
        snapshot.hasChildren = !node.children.empty();
        snapshot.expanded = (node.state & TVIS_EXPANDED) != 0;
        snapshot.selected = tree.selected == item;
        snapshot.visible = visible;
        out->push_back(std::move(snapshot));
        AddTreeItems(tree, node.children, depth + 1, visible && (node.state & TVIS_EXPANDED) != 0,
                     out);
    }
}

// Builds the snapshot of a window and its children. Window lock held.
WindowSnapshot Build(const Window& window, HWND focus, bool topLevel)
{
    WindowSnapshot snapshot;
    snapshot.handle = reinterpret_cast<std::uintptr_t>(window.handle);
    snapshot.className = internal::ToUtf8(window.className);
    snapshot.kind = KindOf(window);
    snapshot.id = window.IsChild() ? window.id : 0;
    snapshot.text = internal::ToUtf8(window.text);
    snapshot.style = window.style;
    snapshot.exStyle = window.exStyle;
    if (topLevel && window.IsChild()) {
        RECT screen = internal::ScreenRectLocked(window);
        snapshot.rect = {screen.left, screen.top, window.width, window.height};
    } else {
        snapshot.rect = {window.x, window.y, window.width, window.height};
    }
    internal::Insets insets = window.ClientInsets();
    snapshot.client = {insets.left, insets.top, window.width - insets.left - insets.right,
                       window.height - insets.top - insets.bottom};
    snapshot.enabled = (window.style & WS_DISABLED) == 0;
    snapshot.visible = (window.style & WS_VISIBLE) != 0;
    snapshot.focused = window.handle == focus;
    snapshot.checked = window.kind == WindowKind::Button && window.button.check == BST_CHECKED;
    snapshot.sunken = (window.kind == WindowKind::Static && (window.style & SS_SUNKEN) != 0) ||
                      (window.exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)) != 0;
    snapshot.hasCaption = !window.IsChild() && (window.style & WS_CAPTION) == WS_CAPTION;
    snapshot.hasSysMenu = snapshot.hasCaption && (window.style & WS_SYSMENU) != 0;
    if (window.dialog) {
        snapshot.fontFace = internal::ToUtf8(window.dialog->fontFace);
        snapshot.fontPointSize = window.dialog->fontPointSize;
    }
    if (window.kind == WindowKind::ComboBox) {
        for (const std::u16string& item : window.combo.items) {
            snapshot.comboItems.push_back(internal::ToUtf8(item));
        }
        snapshot.comboSelection = window.combo.selection;
        snapshot.comboEditText = snapshot.text;
    }
    if (window.kind == WindowKind::TreeView) {
        AddTreeItems(window.tree, window.tree.roots, 0, true, &snapshot.treeItems);
    }
    if (window.kind == WindowKind::TabControl) {
        for (const internal::TabItem& tab : window.tabs.tabs) {
            snapshot.tabs.push_back(internal::ToUtf8(tab.text));
        }
        snapshot.tabSelection = window.tabs.selection;
    }
    if (window.kind == WindowKind::Static && window.picture.bitmap != nullptr) {
        if (auto pixels = internal::BitmapOf(window.picture.bitmap)) {
            snapshot.bitmap = {pixels->width, pixels->height, pixels->pixels};
        }
    }
    for (HWND child : window.children) {
        if (const Window* control = internal::FindWindowLocked(child)) {
            snapshot.children.push_back(Build(*control, focus, false));
        }
    }
    return snapshot;
}

}  // namespace

WindowSnapshot Snapshot(HWND window)
{
    std::thread::id thread;
    {
        internal::WindowLock lock = internal::LockWindows();
        const Window* target = internal::FindWindowLocked(window);
        if (target == nullptr) {
            return {};
        }
        thread = target->thread;
    }
    HWND focus = internal::FocusOfThread(thread);
    internal::WindowLock lock = internal::LockWindows();
    const Window* target = internal::FindWindowLocked(window);
    return target == nullptr ? WindowSnapshot{} : Build(*target, focus, true);
}

}  // namespace vtsim
