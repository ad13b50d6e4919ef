#include "tests/host/windows/sample_windows.h"

#include <string>

namespace samples {

namespace {

using vtsim::WidgetKind;
using vtsim::WindowSnapshot;

constexpr std::uint32_t kAutoRadio = 0x9;       // BS_AUTORADIOBUTTON
constexpr std::uint32_t kDefPushButton = 0x1;   // BS_DEFPUSHBUTTON
constexpr std::uint32_t kGroupBox = 0x7;        // BS_GROUPBOX
constexpr std::uint32_t kSunken = 0x1000;       // SS_SUNKEN
constexpr std::uint32_t kBitmap = 0xE;          // SS_BITMAP
constexpr std::uint32_t kGrayRect = 0x5;        // SS_GRAYRECT
constexpr std::uint32_t kDropDown = 0x2;        // CBS_DROPDOWN
constexpr std::uint32_t kVScroll = 0x00200000;  // WS_VSCROLL
constexpr std::uint32_t kTreeStyle =
    0x1 | 0x2 | 0x4;  // TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT
constexpr std::uint32_t kCaptionSysMenu = 0x00C00000 | 0x00080000;
constexpr std::uint32_t kPopupModal = 0x80000000 | 0x80;  // WS_POPUP | DS_MODALFRAME

int MulDiv(int value, int numerator, int denominator)
{
    return (value * numerator + denominator / 2) / denominator;
}

WindowSnapshot TopLevel(const char* caption, int widthDlu, int heightDlu, bool toolWindow)
{
    WindowSnapshot window;
    window.className = "#32770";
    window.kind = WidgetKind::Dialog;
    window.text = caption;
    window.style = kPopupModal | kCaptionSysMenu | 0x10000000;
    window.exStyle = 0x1 | (toolWindow ? 0x80u : 0u);  // WS_EX_DLGMODALFRAME, WS_EX_TOOLWINDOW
    window.hasCaption = true;
    window.hasSysMenu = true;
    window.fontFace = "MS Sans Serif";
    window.fontPointSize = 8;
    int captionHeight = toolWindow ? 16 : 19;
    window.client = {3, 3 + captionHeight, DluX(widthDlu), DluY(heightDlu)};
    window.rect = {120, 80, window.client.width + 6, window.client.height + captionHeight + 6};
    return window;
}

}  // namespace

std::string PicturePath(const std::string& name)
{
    return std::string(VT_PICTURE_DIR) + "/" + name;
}

int DluX(int x)
{
    return MulDiv(x, 6, 4);
}
int DluY(int y)
{
    return MulDiv(y, 13, 8);
}
vtsim::PixelRect Dlu(int x, int y, int width, int height)
{
    return {DluX(x), DluY(y), DluX(width), DluY(height)};
}

WindowSnapshot Control(WidgetKind kind, const char* className, int id, const char* text,
                       std::uint32_t style, vtsim::PixelRect rect)
{
    WindowSnapshot control;
    control.className = className;
    control.kind = kind;
    control.id = id;
    control.text = text;
    control.style = kChildVisible | style;
    control.rect = rect;
    control.client = {0, 0, rect.width, rect.height};
    return control;
}

WindowSnapshot DeviceSettingDialog()
{
    WindowSnapshot dialog = TopLevel("VTC-4100/E/VTM-6200K Device Setting", 246, 102, false);
    const int columns[] = {73, 117, 163, 208};
    for (int bit = 0; bit < 4; ++bit) {
        for (int falling = 0; falling < 2; ++falling) {
            auto radio = Control(WidgetKind::RadioButton, "Button", 1011 + 2 * bit + falling, "",
                                 kAutoRadio | kTabStop | (falling == 0 ? kGroup : 0u),
                                 Dlu(columns[bit], falling == 0 ? 38 : 55, 9, 8));
            radio.checked = (falling == 1) == ((10 >> bit) & 1);
            radio.enabled = bit < 2;
            dialog.children.push_back(radio);
        }
    }
    auto ok = Control(WidgetKind::DefPushButton, "Button", 1, "OK", kDefPushButton | kTabStop,
                      Dlu(57, 81, 50, 14));
    dialog.children.push_back(ok);
    dialog.children.push_back(
        Control(WidgetKind::PushButton, "Button", 2, "Cancel", kTabStop, Dlu(140, 81, 50, 14)));
    dialog.children.push_back(
        Control(WidgetKind::Label, "Static", -1, "Rising", 0, Dlu(42, 37, 24, 12)));
    dialog.children.push_back(
        Control(WidgetKind::Label, "Static", -1, "Falling", 0, Dlu(43, 52, 24, 12)));
    const int labels[][2] = {{72, 13}, {117, 13}, {162, 13}, {209, 14}};
    for (int bit = 0; bit < 4; ++bit) {
        std::string text = "Bit" + std::to_string(bit);
        auto label = Control(WidgetKind::Label, "Static", -1, text.c_str(), 0,
                             Dlu(labels[bit][0], 24, labels[bit][1], 8));
        label.enabled = bit < 2;
        dialog.children.push_back(label);
    }
    dialog.children.push_back(Control(WidgetKind::GroupBox, "Button", -1,
                                      "DI Interrupt Trigger Edge Port0", kGroupBox,
                                      Dlu(12, 11, 226, 62)));
    return dialog;
}

vtsim::BitmapSnapshot BoardBitmap(int width, int height)
{
    vtsim::BitmapSnapshot bitmap{
        width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width * height))};
    auto set = [&](int x, int y, std::uint32_t color) {
        bitmap.pixels[static_cast<std::size_t>(y * width + x)] = color;
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t color = kBoardColor;
            bool fingers = y >= height - 10 && x >= 12 && x < width - 12 && (x / 3) % 2 == 0;
            bool chip = x >= width / 3 && x < width / 3 + 36 && y >= 20 && y < 44;
            bool connector = x >= width - 22 && x < width - 6 && y >= 8 && y < 60;
            if (fingers) {
                color = 0xFFD4A017;
            }
            if (chip) {
                color = 0xFF202020;
            }
            if (connector) {
                color = 0xFFB0B0B0;
            }
            set(x, y, color);
        }
    }
    return bitmap;
}

WindowSnapshot EditorWindow()
{
    WindowSnapshot editor =
        TopLevel("VTC-4100/E/VTM-6200K device setting templates", 346, 254, true);

    auto tree = Control(WidgetKind::TreeView, "SysTreeView32", 102, "Tree1",
                        kTreeStyle | kBorder | kTabStop, Dlu(7, 9, 88, 218));
    tree.focused = true;
    auto item = [](const char* text, int depth, bool hasChildren, bool expanded,
                   bool visible = true) {
        vtsim::TreeItemSnapshot snapshot;
        snapshot.text = text;
        snapshot.depth = depth;
        snapshot.hasChildren = hasChildren;
        snapshot.expanded = expanded;
        snapshot.visible = visible;
        return snapshot;
    };
    tree.treeItems = {
        item("DeviceTemplate", 0, true, true), item("VTM-6200K", 1, true, true),
        item("Template0", 2, false, false),    item("Template1", 2, false, false),
        item("VTC-4100", 1, true, false),      item("Template0", 2, false, false, false),
        item("VTC-4100E", 1, false, false)};
    tree.treeItems[3].selected = true;
    editor.children.push_back(tree);

    auto tabs = Control(WidgetKind::TabControl, "SysTabControl32", 101, "Tab1", kTabStop,
                        Dlu(102, 6, 236, 222));
    tabs.tabs = {"Device", "DI"};
    tabs.tabSelection = 0;
    editor.children.push_back(tabs);

    auto pageArea =
        Control(WidgetKind::Frame, "Static", 106, "", kGrayRect, Dlu(106, 18, 224, 194));
    pageArea.visible = false;
    editor.children.push_back(pageArea);

    editor.children.push_back(
        Control(WidgetKind::PushButton, "Button", 104, "&Add", kTabStop, Dlu(150, 233, 44, 13)));
    editor.children.push_back(
        Control(WidgetKind::PushButton, "Button", 103, "Remove", kTabStop, Dlu(196, 233, 44, 13)));
    auto save = Control(WidgetKind::DefPushButton, "Button", 1006, "Save",
                        kDefPushButton | kTabStop, Dlu(242, 233, 44, 13));
    save.enabled = false;
    editor.children.push_back(save);
    editor.children.push_back(
        Control(WidgetKind::PushButton, "Button", 1007, "Close", kTabStop, Dlu(288, 233, 44, 13)));

    // The device page sits where the grey rectangle marks the page area.
    auto page = Control(WidgetKind::Dialog, "#32770", 0, "", 0, Dlu(106, 18, 224, 194));
    auto picture = Control(WidgetKind::Picture, "Static", 1003, "", kBitmap, Dlu(13, 7, 79, 67));
    picture.bitmap = BoardBitmap(picture.rect.width, picture.rect.height);
    page.children.push_back(picture);
    auto features = Control(
        WidgetKind::Label, "Static", 1004,
        "Isolated digital I/O board: 8 inputs, 8 outputs, 2 inputs can interrupt on the rising "
        "or falling edge.\nSwitch ID selects the board when several are installed.",
        kSunken, Dlu(13, 104, 212, 71));
    features.sunken = true;
    page.children.push_back(features);
    page.children.push_back(
        Control(WidgetKind::Label, "Static", -1, "Device Name", 0, Dlu(14, 180, 46, 10)));
    auto model =
        Control(WidgetKind::Label, "Static", 1001, "VTM-6200K", kSunken, Dlu(65, 181, 41, 11));
    model.sunken = true;
    page.children.push_back(model);
    page.children.push_back(
        Control(WidgetKind::Label, "Static", -1, "BoardID", 0, Dlu(137, 181, 38, 12)));
    auto combo = Control(WidgetKind::ComboBox, "ComboBox", 1002, "",
                         kDropDown | kVScroll | kTabStop, Dlu(182, 181, 43, 16));
    for (int i = 0; i < 16; ++i) {
        combo.comboItems.push_back(std::to_string(i));
    }
    combo.comboSelection = 3;
    combo.comboEditText = combo.comboItems[combo.comboSelection];
    page.children.push_back(combo);
    editor.children.push_back(page);
    return editor;
}

}  // namespace samples
