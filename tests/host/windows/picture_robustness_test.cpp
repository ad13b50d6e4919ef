// Pictures of windows that are empty, hidden, too large or malformed, and
// the PNG files written.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "platform/host/control/pictures.h"
#include "tests/host/windows/sample_windows.h"

namespace {

using vtsim::WidgetKind;
using vtsim::WindowSnapshot;

std::vector<unsigned char> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t BigEndian(const std::vector<unsigned char>& bytes, std::size_t at)
{
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

WindowSnapshot Page(int width, int height)
{
    return samples::Control(WidgetKind::Dialog, "#32770", 0, "", 0, {0, 0, width, height});
}

TEST(WindowPictureFile, IsAPngOfTheWindowsSize)
{
    std::string path = samples::PicturePath("robustness_dialog.png");
    std::filesystem::remove(path);
    std::string error;
    ASSERT_TRUE(vtsim::WriteWindowPng(samples::DeviceSettingDialog(), path, &error)) << error;
    auto bytes = ReadFile(path);
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
    EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "IHDR");
    EXPECT_EQ(BigEndian(bytes, 16), 375u);
    EXPECT_EQ(BigEndian(bytes, 20), 191u);
}

TEST(WindowPictureFile, FailuresSayWhyAndWriteNothing)
{
    std::string error;
    EXPECT_FALSE(
        vtsim::WriteWindowPng(samples::DeviceSettingDialog(), "no/such/folder/x.png", &error));
    EXPECT_NE(error.find("no/such/folder/x.png"), std::string::npos) << error;

    std::string path = samples::PicturePath("robustness_hidden.png");
    std::filesystem::remove(path);
    WindowSnapshot hidden = samples::DeviceSettingDialog();
    hidden.visible = false;
    error.clear();
    EXPECT_FALSE(vtsim::WriteWindowPng(hidden, path, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(vtsim::WriteWindowPng(Page(0, 10), path, nullptr));  // error may be null
    EXPECT_FALSE(std::filesystem::exists(path));

    vtsim::Image mismatched{4, 4, std::vector<std::uint32_t>(15, 0xFF000000)};
    EXPECT_FALSE(vtsim::WritePng(mismatched, path, &error));
    EXPECT_FALSE(vtsim::WritePng(vtsim::Image{}, path, &error));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(WindowPicture, EmptyHiddenAndOversizedWindowsGiveNoPicture)
{
    EXPECT_TRUE(vtsim::RenderWindow(Page(0, 100)).empty());
    EXPECT_TRUE(vtsim::RenderWindow(Page(100, -5)).empty());
    EXPECT_TRUE(vtsim::RenderWindow(Page(16385, 10)).empty());
    EXPECT_EQ(vtsim::RenderWindow(Page(16384, 1)).width, 16384);
    WindowSnapshot hidden = Page(50, 50);
    hidden.visible = false;
    EXPECT_TRUE(vtsim::RenderWindow(hidden).empty());
}

TEST(WindowPicture, MalformedControlStateIsDrawnSafely)
{
    WindowSnapshot window = Page(120, 120);
    auto picture = samples::Control(WidgetKind::Picture, "Static", 1, "", 0xE, {0, 0, 40, 40});
    picture.bitmap = vtsim::BitmapSnapshot{
        10, 10, std::vector<std::uint32_t>(99, 0xFFFF0000)};  // one pixel short
    auto tree = samples::Control(WidgetKind::TreeView, "SysTreeView32", 2, "", 7, {40, 0, 80, 120});
    tree.focused = true;
    for (int depth : {5, -3, 1000, 0, 2}) {
        vtsim::TreeItemSnapshot item;
        item.text = "item";
        item.depth = depth;
        item.hasChildren = true;
        item.selected = depth == 1000;
        tree.treeItems.push_back(item);
    }
    auto combo = samples::Control(WidgetKind::ComboBox, "ComboBox", 3, "", 3, {0, 50, 40, -10});
    combo.comboItems = {"a"};
    combo.comboSelection = 7;
    auto tabs =
        samples::Control(WidgetKind::TabControl, "SysTabControl32", 4, "", 0, {0, 60, 40, 40});
    tabs.tabs = {"x", "y"};
    tabs.tabSelection = -4;
    auto far =
        samples::Control(WidgetKind::Label, "Static", 5, "far", 0,
                         {std::numeric_limits<int>::max() - 5, std::numeric_limits<int>::min() + 5,
                          std::numeric_limits<int>::max(), std::numeric_limits<int>::max()});
    far.client = far.rect;
    far.children.push_back(far);
    auto huge = samples::Control(
        WidgetKind::GroupBox, "Button", 6, "huge", 7,
        {-5, -5, std::numeric_limits<int>::max(), std::numeric_limits<int>::max()});
    window.children = {picture, tree, combo, tabs, far, huge};
    // Nested far deeper than any real window.
    WindowSnapshot* innermost = &window.children.back();
    for (int i = 0; i < 500; ++i) {
        innermost->children.push_back(Page(40, 40));
        innermost = &innermost->children.back();
    }
    vtsim::Image image = vtsim::RenderWindow(window);
    ASSERT_EQ(image.width, 120);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            ASSERT_NE(image.At(x, y), 0xFFFF0000u) << "malformed bitmap drawn";
        }
    }
}

TEST(WindowPicture, SameSnapshotSamePictureFromAnyThread)
{
    WindowSnapshot editor = samples::EditorWindow();
    vtsim::Image expected = vtsim::RenderWindow(editor);
    std::vector<vtsim::Image> results(3);
    std::vector<std::thread> threads;
    for (auto& result : results) {
        threads.emplace_back([&editor, &result] { result = vtsim::RenderWindow(editor); });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (const auto& result : results) {
        EXPECT_TRUE(result.pixels == expected.pixels);
    }
}

}  // namespace
