// Pictures of hand-built windows: their size and the pixels a person would
// look at (title bar, radio dots, greyed labels, the default button's frame,
// tree, tabs, combo box, bitmap). The pictures are also written to the
// test's build folder to be looked at.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/host/control/pictures.h"
#include "tests/host/windows/sample_windows.h"

namespace {

using vtsim::Image;
using vtsim::PixelRect;
using vtsim::WindowSnapshot;

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kFace = 0xFFC0C0C0;
constexpr std::uint32_t kGrey = 0xFF808080;
constexpr std::uint32_t kNavy = 0xFF000080;

// A child's rectangle in picture coordinates (children of the top level).
PixelRect OnPicture(const WindowSnapshot& top, const WindowSnapshot& child)
{
    return {top.client.x + child.rect.x, top.client.y + child.rect.y, child.rect.width,
            child.rect.height};
}

const WindowSnapshot& ById(const WindowSnapshot& parent, int id)
{
    for (const auto& child : parent.children) {
        if (child.id == id) {
            return child;
        }
    }
    throw std::runtime_error("no child " + std::to_string(id));
}

const WindowSnapshot& ByText(const WindowSnapshot& parent, const std::string& text)
{
    for (const auto& child : parent.children) {
        if (child.text == text) {
            return child;
        }
    }
    throw std::runtime_error("no child " + text);
}

int Count(const Image& image, const PixelRect& area,
          const std::function<bool(std::uint32_t)>& match)
{
    int count = 0;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            if (match(image.At(x, y))) {
                ++count;
            }
        }
    }
    return count;
}

int CountColor(const Image& image, const PixelRect& area, std::uint32_t color)
{
    return Count(image, area, [color](std::uint32_t pixel) { return pixel == color; });
}

// The centre of the 12-pixel radio mark, at the left of the button and
// centred vertically.
std::uint32_t RadioCentre(const Image& image, const PixelRect& button)
{
    return image.At(button.x + 5, button.y + (button.height - 12) / 2 + 5);
}

void Keep(const Image& image, const std::string& name)
{
    std::string error;
    EXPECT_TRUE(vtsim::WritePng(image, samples::PicturePath(name), &error)) << error;
}

TEST(WindowPicture, DeviceSettingDialogHasItsFrameCaptionAndSize)
{
    WindowSnapshot dialog = samples::DeviceSettingDialog();
    Image image = vtsim::RenderWindow(dialog);
    Keep(image, "device_setting_dialog.png");
    // 246 x 102 dialog units are 369 x 166 client pixels, plus frame and caption.
    ASSERT_EQ(image.width, 375);
    ASSERT_EQ(image.height, 191);
    ASSERT_EQ(image.pixels.size(), 375u * 191u);

    EXPECT_EQ(image.At(0, 100), 0xFFDFDFDF);  // frame: light outer edge
    EXPECT_EQ(image.At(1, 100), kWhite);      // then highlight
    EXPECT_EQ(image.At(374, 100), kBlack);    // dark outer edge right
    EXPECT_EQ(image.At(373, 100), kGrey);
    EXPECT_EQ(image.At(200, 190), kBlack);  // and bottom
    // The caption bar: navy across, white text at its left, close box at its right.
    EXPECT_EQ(image.At(300, 4), kNavy);
    EXPECT_EQ(image.At(300, 20), kNavy);
    EXPECT_EQ(image.At(300, 21), kFace);  // the line between caption and client
    EXPECT_GT(CountColor(image, {3, 3, 200, 18}, kWhite), 60);
    EXPECT_EQ(CountColor(image, {250, 3, 100, 18}, kWhite), 0);
    PixelRect closeBox{354, 5, 16, 14};
    EXPECT_EQ(image.At(closeBox.x, closeBox.y + 5), kWhite);
    EXPECT_GT(CountColor(image, closeBox, kBlack), 20);  // the cross and the dark edge
    EXPECT_EQ(image.At(200, 120), kFace);                // client area
}

TEST(WindowPicture, RadioButtonsShowCheckedAndEnabledState)
{
    WindowSnapshot dialog = samples::DeviceSettingDialog();
    Image image = vtsim::RenderWindow(dialog);
    // Bits 0 and 1 enabled: Rising/Falling of mode 10 = rising on 0, falling on 1.
    EXPECT_EQ(RadioCentre(image, OnPicture(dialog, ById(dialog, 1011))),
              kBlack);  // checked: dark dot
    EXPECT_EQ(RadioCentre(image, OnPicture(dialog, ById(dialog, 1012))),
              kWhite);  // unchecked: white field
    EXPECT_EQ(RadioCentre(image, OnPicture(dialog, ById(dialog, 1013))), kWhite);
    EXPECT_EQ(RadioCentre(image, OnPicture(dialog, ById(dialog, 1014))), kBlack);
    // Bits 2 and 3 disabled: grey field, grey dot.
    EXPECT_EQ(RadioCentre(image, OnPicture(dialog, ById(dialog, 1015))), kGrey);
    EXPECT_EQ(RadioCentre(image, OnPicture(dialog, ById(dialog, 1016))), kFace);
    // The round mark's outline: grey top, white bottom.
    PixelRect radio = OnPicture(dialog, ById(dialog, 1011));
    int top = radio.y + (radio.height - 12) / 2;
    EXPECT_EQ(image.At(radio.x + 5, top), kGrey);
    EXPECT_EQ(image.At(radio.x + 5, top + 11), kWhite);
}

TEST(WindowPicture, DisabledLabelsAreGreyEmbossedEnabledOnesBlack)
{
    WindowSnapshot dialog = samples::DeviceSettingDialog();
    Image image = vtsim::RenderWindow(dialog);
    PixelRect enabled = OnPicture(dialog, ByText(dialog, "Bit0"));
    PixelRect disabled = OnPicture(dialog, ByText(dialog, "Bit2"));
    EXPECT_GT(CountColor(image, enabled, kBlack), 10);
    EXPECT_EQ(CountColor(image, enabled, kGrey), 0);
    EXPECT_EQ(CountColor(image, disabled, kBlack), 0);
    EXPECT_GT(CountColor(image, disabled, kGrey), 10);
    EXPECT_GT(CountColor(image, disabled, kWhite), 5);  // the emboss
}

TEST(WindowPicture, DefaultButtonHasTheDarkOuterFrame)
{
    WindowSnapshot dialog = samples::DeviceSettingDialog();
    Image image = vtsim::RenderWindow(dialog);
    PixelRect ok = OnPicture(dialog, ById(dialog, 1));
    PixelRect cancel = OnPicture(dialog, ById(dialog, 2));
    int okMiddle = ok.y + ok.height / 2;
    int cancelMiddle = cancel.y + cancel.height / 2;
    EXPECT_EQ(image.At(ok.x, okMiddle), kBlack);      // the default's frame
    EXPECT_EQ(image.At(ok.x + 1, okMiddle), kWhite);  // then the raised edge
    EXPECT_EQ(image.At(ok.x + ok.width - 2, okMiddle), kBlack);
    EXPECT_EQ(image.At(ok.x + ok.width / 2, ok.y), kBlack);
    EXPECT_EQ(image.At(cancel.x, cancelMiddle), kWhite);  // a plain button starts light
    EXPECT_EQ(image.At(cancel.x + cancel.width - 1, cancelMiddle), kBlack);
    EXPECT_EQ(image.At(cancel.x + cancel.width - 2, cancelMiddle), kGrey);
    // Both show their text in black on the face.
    EXPECT_GT(CountColor(image, ok, kBlack),
              CountColor(image, {ok.x, ok.y, 1, ok.height}, kBlack) + 20);
    EXPECT_GT(CountColor(image, {cancel.x + 2, cancel.y + 2, cancel.width - 4, cancel.height - 4},
                         kBlack),
              20);
}

TEST(WindowPicture, GroupBoxHasAnEtchedFrameWithTextInItsTopBorder)
{
    WindowSnapshot dialog = samples::DeviceSettingDialog();
    Image image = vtsim::RenderWindow(dialog);
    PixelRect group = OnPicture(dialog, ByText(dialog, "DI Interrupt Trigger Edge Port0"));
    int column = group.x + group.width - 20;  // right of the text
    int line = group.y;
    while (line < group.y + group.height && image.At(column, line) == kFace) {
        ++line;
    }
    ASSERT_LT(line, group.y + 10);
    EXPECT_EQ(image.At(column, line), kGrey);
    EXPECT_EQ(image.At(column, line + 1), kWhite);
    EXPECT_EQ(image.At(group.x, group.y + group.height / 2), kGrey);
    EXPECT_EQ(image.At(group.x + 1, group.y + group.height / 2), kWhite);
    // The text interrupts the top line.
    EXPECT_GT(CountColor(image, {group.x + 8, group.y, 100, 13}, kBlack), 40);
    EXPECT_EQ(image.At(group.x + 9, line), kFace);
}

TEST(WindowPicture, EditorShowsTreeTabsPageAndComboBox)
{
    WindowSnapshot editor = samples::EditorWindow();
    Image image = vtsim::RenderWindow(editor);
    Keep(image, "template_editor.png");
    ASSERT_EQ(image.width, editor.rect.width);
    ASSERT_EQ(image.height, editor.rect.height);
    EXPECT_EQ(image.At(editor.rect.width / 2, 3), kNavy);  // the small tool window caption

    // Tree: white field in a sunken edge; the focused tree's selected item
    // in navy; grey dotted lines and +/- boxes.
    PixelRect tree = OnPicture(editor, ById(editor, 102));
    EXPECT_EQ(image.At(tree.x, tree.y + 50), kGrey);
    EXPECT_EQ(image.At(tree.x + 1, tree.y + 50), kBlack);
    EXPECT_EQ(image.At(tree.x + tree.width / 2, tree.y + tree.height - 20), kWhite);
    PixelRect items{tree.x + 2, tree.y + 2, tree.width - 4, 6 * 16};
    EXPECT_GT(CountColor(image, items, kNavy), 100);
    EXPECT_GT(CountColor(image, items, kGrey), 40);
    EXPECT_GT(CountColor(image, items, kBlack), 100);
    // Hidden items take no row: nothing below the sixth row.
    EXPECT_EQ(CountColor(image, {tree.x + 2, tree.y + 2 + 6 * 16, tree.width - 4, 40}, kBlack), 0);

    // Tabs: the selected one ("Device", first) reaches the control's top;
    // the other's top edge runs two pixels lower.
    PixelRect tabs = OnPicture(editor, ById(editor, 101));
    auto lastWhite = [&](int y) {
        int last = -1;
        for (int x = tabs.x; x < tabs.x + 150; ++x) {
            if (image.At(x, y) == kWhite) {
                last = x;
            }
        }
        return last;
    };
    EXPECT_EQ(image.At(tabs.x + 10, tabs.y), kWhite);
    EXPECT_GT(lastWhite(tabs.y), tabs.x + 30);
    EXPECT_GT(lastWhite(tabs.y + 2), lastWhite(tabs.y) + 10);
    // A tab is never narrower than the minimum tab width, however short its
    // text: "Device" and "DI" take two of them (the top line of the second
    // ends two pixels before its right side).
    EXPECT_EQ(lastWhite(tabs.y + 2), tabs.x + 2 + 2 * 54 - 3);
    EXPECT_EQ(image.At(tabs.x + tabs.width - 1, tabs.y + 100), kBlack);  // page frame's dark side

    // The page: its controls are placed inside the page, the page inside the
    // editor's client area.
    const WindowSnapshot& page = editor.children.back();
    PixelRect pageRect = OnPicture(editor, page);
    const WindowSnapshot& picture = ById(page, 1003);
    EXPECT_EQ(image.At(pageRect.x + picture.rect.x, pageRect.y + picture.rect.y),
              samples::kBoardColor);
    const WindowSnapshot& combo = ById(page, 1002);
    PixelRect field{pageRect.x + combo.rect.x, pageRect.y + combo.rect.y, combo.rect.width, 21};
    EXPECT_EQ(image.At(field.x, field.y + 10), kGrey);      // sunken edge
    EXPECT_EQ(image.At(field.x + 4, field.y + 3), kWhite);  // the edit field
    PixelRect button{field.x + field.width - 18, field.y + 2, 16, 17};
    EXPECT_EQ(image.At(button.x, button.y + 8), kWhite);    // the raised drop-down button
    EXPECT_GT(CountColor(image, button, kBlack), 16 + 16);  // its dark edge and the arrow
    EXPECT_GT(CountColor(image, {field.x + 2, field.y + 2, field.width - 20, 17}, kBlack),
              8);  // "3"
    const WindowSnapshot& model = ById(page, 1001);
    EXPECT_EQ(image.At(pageRect.x + model.rect.x, pageRect.y + model.rect.y + 3),
              kGrey);  // sunken static
    EXPECT_EQ(
        image.At(pageRect.x + model.rect.x + model.rect.width - 1, pageRect.y + model.rect.y + 3),
        kWhite);

    // The disabled default button (Save): grey text, no black text pixels
    // inside its edges.
    PixelRect save = OnPicture(editor, ById(editor, 1006));
    PixelRect saveFace{save.x + 3, save.y + 3, save.width - 6, save.height - 6};
    EXPECT_EQ(CountColor(image, saveFace, kBlack), 0);
    EXPECT_GT(CountColor(image, saveFace, kGrey), 10);
}

TEST(WindowPicture, CheckBoxesRectanglesAndHiddenWindows)
{
    WindowSnapshot window =
        samples::Control(vtsim::WidgetKind::Dialog, "#32770", 0, "", 0x00800000, {0, 0, 200, 120});
    window.client = {1, 1, 198, 118};
    auto checked =
        samples::Control(vtsim::WidgetKind::CheckBox, "Button", 10, "Checked", 3, {10, 10, 80, 13});
    checked.checked = true;
    auto unchecked = samples::Control(vtsim::WidgetKind::CheckBox, "Button", 11, "Not checked", 3,
                                      {10, 30, 80, 13});
    auto grey = samples::Control(vtsim::WidgetKind::Frame, "Static", 12, "", 5,
                                 {120, 10, 30, 20});  // SS_GRAYRECT
    auto hidden = samples::Control(vtsim::WidgetKind::Frame, "Static", 13, "", 4,
                                   {120, 40, 30, 20});  // SS_BLACKRECT
    hidden.visible = false;
    auto hiddenPage =
        samples::Control(vtsim::WidgetKind::Dialog, "#32770", 14, "", 0, {10, 60, 100, 50});
    hiddenPage.visible = false;
    hiddenPage.children.push_back(
        samples::Control(vtsim::WidgetKind::Frame, "Static", 15, "", 4, {0, 0, 100, 50}));
    auto wrapped = samples::Control(vtsim::WidgetKind::Label, "Static", 16, "one two three four", 0,
                                    {120, 70, 60, 30});
    window.children = {checked, unchecked, grey, hidden, hiddenPage, wrapped};
    Image image = vtsim::RenderWindow(window);
    Keep(image, "controls.png");

    EXPECT_EQ(image.At(0, 0), kBlack);  // WS_BORDER
    // The check mark's lower-left stroke sits at (3..5, 5..8) of the 13-pixel box.
    EXPECT_EQ(image.At(1 + 10 + 4, 1 + 10 + 7), kBlack);
    EXPECT_EQ(image.At(1 + 10 + 4, 1 + 30 + 7), kWhite);
    EXPECT_EQ(image.At(1 + 10, 1 + 10 + 5), kGrey);                      // the box's sunken edge
    EXPECT_GT(CountColor(image, {1 + 26, 1 + 10, 60, 13}, kBlack), 30);  // the text beside it
    EXPECT_EQ(CountColor(image, {1 + 120, 1 + 10, 30, 20}, kGrey), 30 * 20);
    EXPECT_EQ(CountColor(image, {1 + 120, 1 + 40, 30, 20}, kFace), 30 * 20);
    EXPECT_EQ(CountColor(image, {1 + 10, 1 + 60, 100, 50}, kFace), 100 * 50);
    // Word wrap: the label's second line holds text too.
    EXPECT_GT(CountColor(image, {1 + 120, 1 + 70 + 13, 60, 13}, kBlack), 10);
}

}  // namespace
