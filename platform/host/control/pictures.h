// Pictures of windows: a window snapshot, with its children, drawn as a
// person would see it on a desktop of the classic grey look (title bar,
// 3D frames and buttons, the dialog font), for people to look at instead of
// reading tables and for tests to check a few pixels of.
//
// What is drawn: a dialog's frame and title bar (with its text, and the
// close box when it has a system menu) in the space between its rectangle
// and its client area (computed from its style when the snapshot gives no
// client area); then by kind: push buttons (the default one with a dark
// outer frame), radio buttons and check boxes (checked or not), group boxes
// (text in the top border), labels (left, centred or right, wrapped at
// words, '&' underlining the next character), pictures (the bitmap at its
// size), static rectangles and frames, combo boxes (edit field and drop-down
// button, at the closed height even when the rectangle still includes the
// dropped-down list), tree views (items, indentation, dotted lines and +/-
// buttons as the style asks, the selected item highlighted while the tree
// has the focus or TVS_SHOWSELALWAYS), tab controls (tabs along the top, the
// selected one raised, the page frame). A disabled control is drawn greyed,
// with the white emboss under grey text. Sunken statics and windows with
// WS_EX_CLIENTEDGE or WS_EX_STATICEDGE get their sunken edge; a control with
// WS_BORDER gets the sunken client edge, as dialogs of the 3D look draw it.
// Hidden windows are not drawn, nor anything inside them; children are drawn
// in snapshot order (a later child over an earlier one), each clipped to its
// parent's client area. Text uses a metric match of the template's font
// ("MS Sans Serif" and the other sans-serif dialog fonts map to Liberation
// Sans) at the pixel size of its point size at 96 dpi, without antialiasing.
//
// Thread rules: the functions read the snapshot only; calls from several
// threads at once are safe. The font caches are released when the process
// exits, so no picture may be in the making by then.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/host/control/window_snapshot.h"

namespace vtsim {

// A picture: width x height pixels as 0xAARRGGBB (always opaque), rows from
// the top.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    // The pixel at (x, y); 0 outside the picture (or its pixels).
    std::uint32_t At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return 0;
        }
        std::size_t index = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                            static_cast<std::size_t>(x);
        return index < pixels.size() ? pixels[index] : 0;
    }
    bool empty() const
    {
        return pixels.empty();
    }
};

// Draws the window and its children. The picture has the size of the
// window's rectangle; its origin is the rectangle's top-left corner (the
// window's own position does not matter). An empty Image when the window is
// hidden, when its rectangle has no area, or when a side exceeds 16384
// pixels.
Image RenderWindow(const WindowSnapshot& window);

// Draws the window as RenderWindow does and writes the picture as a PNG file
// (replacing one that exists). Fails (false, *error set when error is not
// null, no file written) when RenderWindow would give an empty Image or the
// file cannot be written.
bool WriteWindowPng(const WindowSnapshot& window, const std::string& path, std::string* error);

// Writes a picture as a PNG file (pixels that are not opaque are written
// over the dialog face colour). Fails (false, *error set when error is not
// null) when the image is empty, its pixel count does not match its size, or
// the file cannot be written.
bool WritePng(const Image& image, const std::string& path, std::string* error);

// Has the process hand Cairo's font cache and fontconfig's configuration
// back when it exits, so that leak checkers see nothing left over. Called by
// the renderer before it draws text; other code in the process that draws
// text with Cairo calls it too. Idempotent and safe from any thread; no
// picture may be in the making when the process exits.
void ReleaseDrawingCachesAtExit();

}  // namespace vtsim
