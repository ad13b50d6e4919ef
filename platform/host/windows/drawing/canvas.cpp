#include "platform/host/windows/drawing/canvas.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace vtsim::internal::drawing {

namespace {

void SetColor(cairo_t* cr, Color color)
{
    cairo_set_source_rgb(cr, ((color >> 16) & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                         (color & 0xFF) / 255.0);
}

bool UsableSize(int width, int height)
{
    return width > 0 && height > 0 && width <= metrics::MaxImageSide &&
           height <= metrics::MaxImageSide;
}

// Cairo keeps colour channels multiplied by alpha.
std::uint32_t Premultiplied(std::uint32_t argb)
{
    std::uint32_t alpha = argb >> 24;
    if (alpha == 0xFF) {
        return argb;
    }
    auto scale = [alpha](std::uint32_t channel) {
        return (channel * alpha + 127) / 255;
    };
    return (alpha << 24) | (scale((argb >> 16) & 0xFF) << 16) | (scale((argb >> 8) & 0xFF) << 8) |
           scale(argb & 0xFF);
}

}  // namespace

Canvas::Canvas(int width, int height)
{
    if (!UsableSize(width, height)) {
        return;
    }
    vtsim::ReleaseDrawingCachesAtExit();
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface_);
        surface_ = nullptr;
        return;
    }
    cairo_t* cr = cairo_create(surface_);
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(cr);
        cairo_surface_destroy(surface_);
        surface_ = nullptr;
        return;
    }
    context_ = cr;
    width_ = width;
    height_ = height;
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    SetColor(cr, colors::Face);
    cairo_paint(cr);
}

Canvas::~Canvas()
{
    if (context_) {
        cairo_destroy(context_);
    }
    if (surface_) {
        cairo_surface_destroy(surface_);
    }
}

void Canvas::Fill(const PixelRect& box, Color color)
{
    if (!context_ || IsEmpty(box)) {
        return;
    }
    SetColor(context_, color);
    cairo_rectangle(context_, box.x, box.y, box.width, box.height);
    cairo_fill(context_);
}

void Canvas::Pixel(int x, int y, Color color)
{
    Fill({x, y, 1, 1}, color);
}
void Canvas::HLine(int x, int y, int length, Color color)
{
    Fill({x, y, length, 1}, color);
}
void Canvas::VLine(int x, int y, int length, Color color)
{
    Fill({x, y, 1, length}, color);
}

void Canvas::DottedHLine(int x, int y, int length, Color color)
{
    for (int i = 0; i < length; ++i) {
        if (((x + i + y) & 1) == 0) {
            Pixel(x + i, y, color);
        }
    }
}

void Canvas::DottedVLine(int x, int y, int length, Color color)
{
    for (int i = 0; i < length; ++i) {
        if (((x + y + i) & 1) == 0) {
            Pixel(x, y + i, color);
        }
    }
}

void Canvas::Glyph(int x, int y, const std::vector<const char*>& rows,
                   const std::vector<GlyphColor>& key)
{
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (int column = 0; rows[row][column] != '\0'; ++column) {
            for (const auto& entry : key) {
                if (entry.symbol == rows[row][column]) {
                    Pixel(x + column, y + static_cast<int>(row), entry.color);
                    break;
                }
            }
        }
    }
}

void Canvas::Bitmap(int x, int y, const BitmapSnapshot& bitmap)
{
    if (!context_ || !UsableSize(bitmap.width, bitmap.height)) {
        return;
    }
    if (bitmap.pixels.size() !=
        static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height)) {
        return;
    }
    cairo_surface_t* image =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, bitmap.width, bitmap.height);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return;
    }
    cairo_surface_flush(image);
    unsigned char* data = cairo_image_surface_get_data(image);
    int stride = cairo_image_surface_get_stride(image);
    for (int row = 0; row < bitmap.height; ++row) {
        auto* line =
            reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(row) * stride);
        for (int column = 0; column < bitmap.width; ++column) {
            line[column] =
                Premultiplied(bitmap.pixels[static_cast<std::size_t>(row) * bitmap.width + column]);
        }
    }
    cairo_surface_mark_dirty(image);
    cairo_set_source_surface(context_, image, x, y);
    cairo_pattern_set_filter(cairo_get_source(context_), CAIRO_FILTER_NEAREST);
    cairo_rectangle(context_, x, y, bitmap.width, bitmap.height);
    cairo_fill(context_);
    cairo_surface_destroy(image);
}

void Canvas::PushClip(const PixelRect& box)
{
    if (!context_) {
        return;
    }
    cairo_save(context_);
    cairo_rectangle(context_, box.x, box.y, box.width > 0 ? box.width : 0,
                    box.height > 0 ? box.height : 0);
    cairo_clip(context_);
}

void Canvas::PopClip()
{
    if (context_) {
        cairo_restore(context_);
    }
}

Image Canvas::ToImage() const
{
    Image image;
    if (!context_) {
        return image;
    }
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    image.width = width_;
    image.height = height_;
    image.pixels.resize(static_cast<std::size_t>(width_) * height_);
    for (int row = 0; row < height_; ++row) {
        std::memcpy(&image.pixels[static_cast<std::size_t>(row) * width_],
                    data + static_cast<std::ptrdiff_t>(row) * stride,
                    static_cast<std::size_t>(width_) * 4);
    }
    return image;
}

bool Canvas::WritePng(const std::string& path, std::string* error) const
{
    if (!context_) {
        if (error) {
            *error = "the window has no picture (empty or too large)";
        }
        return false;
    }
    cairo_surface_flush(surface_);
    cairo_status_t status = cairo_surface_write_to_png(surface_, path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        if (error) {
            *error = "cannot write '" + path + "': " + cairo_status_to_string(status);
        }
        return false;
    }
    return true;
}

}  // namespace vtsim::internal::drawing

namespace vtsim {

// Cairo keeps the fonts it has looked up, and fontconfig its configuration,
// for the life of the process; both are handed back when the process exits,
// so that leak checkers see nothing left over.
void ReleaseDrawingCachesAtExit()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        std::atexit([] {
            cairo_debug_reset_static_data();
            FcFini();
        });
    });
}

}  // namespace vtsim
