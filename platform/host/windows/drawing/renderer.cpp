// The picture of a window: walks the snapshot, drawing each visible window
// by its kind and then its children inside its client area.
#include "platform/host/control/pictures.h"
#include "platform/host/windows/drawing/canvas.h"
#include "platform/host/windows/drawing/widgets.h"

namespace vtsim {

namespace {

using namespace internal::drawing;

constexpr int kMaxNesting = 64;  // deeper windows are not drawn
constexpr char kDefaultFace[] = "MS Sans Serif";
constexpr int kDefaultPointSize = 8;

struct InheritedFont {
    std::string face;
    int pointSize = 0;
};

void DrawKind(Canvas& canvas, const Widget& widget)
{
    switch (widget.window.kind) {
    case WidgetKind::Dialog:
        DrawDialog(canvas, widget);
        break;
    case WidgetKind::PushButton:
        DrawPushButton(canvas, widget, false);
        break;
    case WidgetKind::DefPushButton:
        DrawPushButton(canvas, widget, true);
        break;
    case WidgetKind::RadioButton:
        DrawRadioButton(canvas, widget);
        break;
    case WidgetKind::CheckBox:
        DrawCheckBox(canvas, widget);
        break;
    case WidgetKind::GroupBox:
        DrawGroupBox(canvas, widget);
        break;
    case WidgetKind::Label:
        DrawLabel(canvas, widget);
        break;
    case WidgetKind::Picture:
        DrawPicture(canvas, widget);
        break;
    case WidgetKind::Frame:
        DrawFrame(canvas, widget);
        break;
    case WidgetKind::ComboBox:
        DrawComboBox(canvas, widget);
        break;
    case WidgetKind::TreeView:
        DrawTreeView(canvas, widget);
        break;
    case WidgetKind::TabControl:
        DrawTabControl(canvas, widget);
        break;
    case WidgetKind::Other:
        DrawOther(canvas, widget);
        break;
    }
}

// Draws window with its rectangle's origin at (x, y) on the canvas.
void DrawWindow(Canvas& canvas, const WindowSnapshot& window, int x, int y, InheritedFont font,
                int nesting)
{
    if (!window.visible || nesting > kMaxNesting) {
        return;
    }
    if (!window.fontFace.empty()) {
        font.face = window.fontFace;
    }
    if (window.fontPointSize > 0) {
        font.pointSize = window.fontPointSize;
    }
    PixelRect box = Limited(x, y, window.rect);
    if (IsEmpty(box)) {
        return;
    }
    {
        ClipScope clip(canvas, box);
        DrawKind(canvas, Widget{window, box, DialogFont(font.face, font.pointSize)});
    }
    if (window.children.empty()) {
        return;
    }
    PixelRect client = ClientArea(window);
    client = Limited(static_cast<long long>(box.x) + client.x,
                     static_cast<long long>(box.y) + client.y, client);
    ClipScope clip(canvas, client);
    for (const WindowSnapshot& child : window.children) {
        DrawWindow(canvas, child, Limited(static_cast<long long>(client.x) + child.rect.x),
                   Limited(static_cast<long long>(client.y) + child.rect.y), font, nesting + 1);
    }
}

bool Draw(Canvas& canvas, const WindowSnapshot& window)
{
    if (!canvas.ok() || !window.visible) {
        return false;
    }
    DrawWindow(canvas, window, 0, 0, {kDefaultFace, kDefaultPointSize}, 0);
    return true;
}

}  // namespace

Image RenderWindow(const WindowSnapshot& window)
{
    Canvas canvas(window.rect.width, window.rect.height);
    if (!Draw(canvas, window)) {
        return {};
    }
    return canvas.ToImage();
}

bool WriteWindowPng(const WindowSnapshot& window, const std::string& path, std::string* error)
{
    Canvas canvas(window.rect.width, window.rect.height);
    if (!Draw(canvas, window)) {
        if (error) {
            *error = window.visible
                         ? "the window has no picture (empty or larger than 16384 pixels)"
                         : "the window is hidden";
        }
        return false;
    }
    return canvas.WritePng(path, error);
}

bool WritePng(const Image& image, const std::string& path, std::string* error)
{
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() !=
            static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) {
        if (error) {
            *error = "the image is empty or its pixels do not match its size";
        }
        return false;
    }
    Canvas canvas(image.width, image.height);
    if (!canvas.ok()) {
        if (error) {
            *error = "the image is larger than 16384 pixels";
        }
        return false;
    }
    canvas.Bitmap(0, 0, BitmapSnapshot{image.width, image.height, image.pixels});
    return canvas.WritePng(path, error);
}

}  // namespace vtsim
