// Internal: the pixel surface a window picture is drawn on. Every drawing
// call works in whole pixels of the picture (no antialiasing of shapes), and
// everything drawn is clipped to the innermost clip rectangle pushed.
//
// A Canvas is used by one thread at a time; separate canvases are
// independent.
#pragma once

#include "platform/host/internal_header.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/host/control/pictures.h"
#include "platform/host/control/window_snapshot.h"
#include "platform/host/windows/drawing/classic_look.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace vtsim::internal::drawing {

class Canvas {
public:
    // A width x height surface filled with the dialog face colour. ok() is
    // false when a side is not positive, larger than metrics::MaxImageSide,
    // or the surface cannot be allocated; drawing on such a canvas does
    // nothing.
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool ok() const
    {
        return context_ != nullptr;
    }
    int width() const
    {
        return width_;
    }
    int height() const
    {
        return height_;
    }

    void Fill(const PixelRect& box, Color color);
    void Pixel(int x, int y, Color color);
    void HLine(int x, int y, int length, Color color);
    void VLine(int x, int y, int length, Color color);
    // Every other pixel, on the pixels whose x + y is even: the dotted lines
    // of tree views and focus rectangles line up across the whole picture.
    void DottedHLine(int x, int y, int length, Color color);
    void DottedVLine(int x, int y, int length, Color color);
    // A small picture given as rows of characters, drawn with its top-left
    // corner at (x, y): each character is looked up in `key` (pairs of a
    // character and its colour, e.g. "K" -> black); characters not in the
    // key (such as '.') leave the pixel as it is.
    struct GlyphColor {
        char symbol;
        Color color;
    };
    void Glyph(int x, int y, const std::vector<const char*>& rows,
               const std::vector<GlyphColor>& key);
    // The bitmap at its own size with its top-left corner at (x, y),
    // blended by its alpha. A bitmap whose pixel count does not match its
    // size, or whose side is not positive or too large, is not drawn.
    void Bitmap(int x, int y, const BitmapSnapshot& bitmap);

    // Narrows drawing to box (intersected with the current clip) until the
    // matching PopClip.
    void PushClip(const PixelRect& box);
    void PopClip();

    // For text drawing (text.cpp); null when !ok().
    cairo_t* context() const
    {
        return context_;
    }

    // The pixels as 0xAARRGGBB, rows from the top; empty when !ok().
    Image ToImage() const;
    // Writes the canvas as a PNG file. Fails (false, *error set when error
    // is not null) when !ok() or the file cannot be written.
    bool WritePng(const std::string& path, std::string* error) const;

private:
    int width_ = 0;
    int height_ = 0;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* context_ = nullptr;
};

// Pushes a clip rectangle for the lifetime of the scope.
class ClipScope {
public:
    ClipScope(Canvas& canvas, const PixelRect& box) : canvas_(canvas)
    {
        canvas_.PushClip(box);
    }
    ~ClipScope()
    {
        canvas_.PopClip();
    }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    Canvas& canvas_;
};

// Rectangle arithmetic used throughout the drawing code.
inline int Right(const PixelRect& r)
{
    return r.x + r.width;
}  // one past the last column
inline int Bottom(const PixelRect& r)
{
    return r.y + r.height;
}  // one past the last row
inline PixelRect Inset(const PixelRect& r, int by)
{
    return {r.x + by, r.y + by, r.width - 2 * by, r.height - 2 * by};
}
inline bool IsEmpty(const PixelRect& r)
{
    return r.width <= 0 || r.height <= 0;
}

// Positions and sizes taken from a snapshot are held within this, far
// outside any picture, so that the drawing code's sums cannot overflow
// whatever a snapshot holds.
inline constexpr long long kCoordinateLimit = 1 << 20;
inline int Limited(long long value)
{
    return static_cast<int>(std::clamp(value, -kCoordinateLimit, kCoordinateLimit));
}
inline PixelRect Limited(long long x, long long y, const PixelRect& size)
{
    return {Limited(x), Limited(y), Limited(size.width), Limited(size.height)};
}

}  // namespace vtsim::internal::drawing
