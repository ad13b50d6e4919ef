// A window of the simulated target as a person would see it, frozen at one
// moment: what a test reads back after driving a dialog, what the picture
// renderer draws, and what a comparison with a real desktop checks.
//
// A snapshot is plain data, detached from the live window: it stays valid
// after the window is destroyed and can be built by hand (the renderer's
// tests do). Positions are in pixels; a child's rectangle is relative to its
// parent's client area, a top-level window's to the screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vtsim {

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

// One item of a tree view, in display order (depth first); children follow
// their parent with depth + 1.
struct TreeItemSnapshot {
    std::string text;
    int depth = 0;
    bool hasChildren = false;
    bool expanded = false;
    bool selected = false;
    bool visible = true;  // false when an ancestor is collapsed
    bool operator==(const TreeItemSnapshot&) const = default;
};

// A bitmap in 32-bit 0xAARRGGBB pixels, rows from the top.
struct BitmapSnapshot {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    bool operator==(const BitmapSnapshot&) const = default;
};

// What kind of control a window is, from its class and style: decides how it
// is drawn and how it reacts to input.
enum class WidgetKind {
    Dialog,         // a dialog (top-level with caption and frame, or a child page)
    PushButton,     // BS_PUSHBUTTON
    DefPushButton,  // BS_DEFPUSHBUTTON, or the dialog's current default
    RadioButton,    // BS_RADIOBUTTON / BS_AUTORADIOBUTTON
    CheckBox,       // BS_CHECKBOX / BS_AUTOCHECKBOX
    GroupBox,       // BS_GROUPBOX
    Label,          // static text (SS_LEFT, SS_CENTER, SS_RIGHT)
    Picture,        // static with SS_BITMAP
    Frame,          // static rectangles and frames (SS_GRAYRECT, SS_ETCHEDFRAME, ...)
    ComboBox,
    TreeView,
    TabControl,
    Other,
};

struct WindowSnapshot {
    std::uintptr_t handle = 0;  // the HWND's value at the time
    std::string
        className;  // "#32770", "Button", "Static", "ComboBox", "SysTreeView32", "SysTabControl32"
    WidgetKind kind = WidgetKind::Other;
    int id = 0;               // control id (0 for a top-level window)
    std::string text;         // window text (caption, label, button text), UTF-8
    std::uint32_t style = 0;  // WS_* and the class's own style bits
    std::uint32_t exStyle = 0;
    PixelRect rect;    // window rectangle, see above
    PixelRect client;  // client area inside the window, relative to rect's origin
    bool enabled = true;
    bool visible = true;
    bool focused = false;
    bool checked = false;     // radio buttons and check boxes
    bool sunken = false;      // SS_SUNKEN or WS_EX_CLIENTEDGE / WS_EX_STATICEDGE
    bool hasCaption = false;  // WS_CAPTION: drawn with a title bar
    bool hasSysMenu = false;  // the caption's close box

    // The font the window is drawn with (the dialog template's font).
    std::string fontFace;  // e.g. "MS Sans Serif"
    int fontPointSize = 0;

    // Control state.
    std::vector<std::string> comboItems;  // combo box entries
    int comboSelection = -1;              // -1: nothing selected
    std::string comboEditText;            // text shown in the combo's edit field
    std::vector<TreeItemSnapshot> treeItems;
    std::vector<std::string> tabs;
    int tabSelection = -1;
    BitmapSnapshot bitmap;  // a picture's bitmap (empty when none)

    std::vector<WindowSnapshot> children;  // in creation (template) order
};

}  // namespace vtsim
