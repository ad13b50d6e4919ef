// Internal: fonts and text for window pictures: which installed font stands
// in for a dialog font, its metrics, and text laid out in a rectangle the way
// controls lay out their text (alignment, word wrap, '&' prefixes, grey
// embossed text of disabled controls).
#pragma once

#include "platform/host/internal_header.h"

#include <string>

#include "platform/host/windows/drawing/canvas.h"

namespace vtsim::internal::drawing {

struct Font {
    std::string family;  // an installed font family
    int pixelSize = 11;  // em size in pixels
    bool bold = false;
};

// The font drawn for a dialog font: the sans-serif dialog faces ("MS Sans
// Serif", "MS Shell Dlg", "Tahoma", "Arial", ...) and unknown faces map to
// Liberation Sans, fixed-pitch faces to Liberation Mono, serif faces to
// Liberation Serif; the size is the point size at 96 dpi, rounded (8 points
// give 11 pixels). A point size of 0 or less means 8; sizes are capped at 72.
Font DialogFont(const std::string& face, int pointSize, bool bold = false);
// The title bar font: the default dialog font, bold.
Font CaptionFont();

struct FontMetrics {
    int ascent = 0;  // baseline below the top of a line
    int descent = 0;
    int lineHeight = 0;  // from one line's top to the next
};
FontMetrics Metrics(Canvas& canvas, const Font& font);
// The advance width of text (UTF-8, no prefix processing) in pixels.
int TextWidth(Canvas& canvas, const Font& font, const std::string& text);

enum class Align { Left, Center, Right };
enum class VAlign { Top, Center };

struct TextLayout {
    Align align = Align::Left;
    VAlign valign = VAlign::Top;
    bool wrap = false;      // break lines at spaces to fit the width
    bool prefix = true;     // '&' underlines the next character; "&&" is '&'
    bool ellipsis = false;  // a line too wide ends in "..."
};

enum class TextLook {
    Normal,    // in the given colour
    Disabled,  // grey over a white copy one pixel down and right
};

// Lays text out in box (lines split at '\n', and at spaces when wrapping)
// and draws it clipped to box. Returns the rectangle the text covers, which
// may reach outside box; an empty rectangle at box's origin for empty text.
PixelRect DrawText(Canvas& canvas, const Font& font, const PixelRect& box, const std::string& text,
                   const TextLayout& layout, Color color, TextLook look = TextLook::Normal);
// The rectangle DrawText would cover, drawing nothing.
PixelRect MeasureText(Canvas& canvas, const Font& font, const PixelRect& box,
                      const std::string& text, const TextLayout& layout);

}  // namespace vtsim::internal::drawing
