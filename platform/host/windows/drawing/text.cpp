#include "platform/host/windows/drawing/text.h"

#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <initializer_list>
#include <vector>

namespace vtsim::internal::drawing {

namespace {

constexpr int kDefaultPointSize = 8;
constexpr int kMaxPointSize = 72;
constexpr char kEllipsis[] = "...";

std::string Lowered(const std::string& text)
{
    std::string lowered = text;
    for (char& c : lowered) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lowered;
}

bool IsOneOf(const std::string& face, std::initializer_list<const char*> names)
{
    return std::any_of(names.begin(), names.end(), [&](const char* name) { return face == name; });
}

// Selects the font on the context, hinted to whole pixels and drawn without
// antialiasing, as the bitmap dialog fonts look.
void UseFont(cairo_t* cr, const Font& font)
{
    cairo_select_font_face(cr, font.family.c_str(), CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font.pixelSize);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

int WholePixels(double value)
{
    return static_cast<int>(std::ceil(value - 1e-6));
}

std::size_t Utf8Length(const std::string& text, std::size_t at)
{
    std::size_t length = 1;
    while (at + length < text.size() &&
           (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

// The text as displayed, and which character the prefix underlines.
struct Displayed {
    std::string text;
    std::size_t underline = std::string::npos;  // byte offset in text
    std::size_t underlineLength = 0;
};

Displayed ApplyPrefix(const std::string& text, bool prefix)
{
    Displayed out;
    if (!prefix) {
        out.text = text;
        return out;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out.text += text[i];
            continue;
        }
        if (i + 1 >= text.size()) {
            break;  // a trailing '&' shows nothing
        }
        if (text[i + 1] == '&') {
            out.text += '&';
            ++i;
            continue;
        }
        if (out.underline == std::string::npos) {
            out.underline = out.text.size();
            out.underlineLength = Utf8Length(text, i + 1);
        }
    }
    return out;
}

struct Line {
    std::size_t begin = 0;  // byte offset in the displayed text
    std::string text;       // as drawn (possibly shortened with an ellipsis)
    int width = 0;
};

void AddLine(std::vector<Line>& lines, Canvas& canvas, const Font& font, const std::string& text,
             std::size_t begin, std::size_t end)
{
    Line line;
    line.begin = begin;
    line.text = text.substr(begin, end - begin);
    if (!line.text.empty() && line.text.back() == '\r') {
        line.text.pop_back();
    }
    line.width = TextWidth(canvas, font, line.text);
    lines.push_back(std::move(line));
}

std::vector<Line> BreakLines(Canvas& canvas, const Font& font, const std::string& text,
                             int maxWidth, bool wrap)
{
    std::vector<Line> lines;
    std::size_t paragraph = 0;
    while (true) {
        std::size_t paragraphEnd = text.find('\n', paragraph);
        if (paragraphEnd == std::string::npos) {
            paragraphEnd = text.size();
        }
        if (!wrap) {
            AddLine(lines, canvas, font, text, paragraph, paragraphEnd);
        } else {
            std::size_t lineStart = paragraph;
            std::size_t lineEnd = paragraph;
            std::size_t word = paragraph;
            while (word < paragraphEnd) {
                std::size_t wordEnd = std::min(text.find(' ', word), paragraphEnd);
                bool fits = TextWidth(canvas, font, text.substr(lineStart, wordEnd - lineStart)) <=
                            maxWidth;
                if (lineEnd == lineStart || fits) {
                    lineEnd = wordEnd;
                } else {
                    AddLine(lines, canvas, font, text, lineStart, lineEnd);
                    lineStart = word;
                    lineEnd = wordEnd;
                }
                word = wordEnd + 1;
            }
            AddLine(lines, canvas, font, text, lineStart, lineEnd);
        }
        if (paragraphEnd >= text.size()) {
            break;
        }
        paragraph = paragraphEnd + 1;
    }
    return lines;
}

void Shorten(Canvas& canvas, const Font& font, Line& line, int maxWidth)
{
    if (line.width <= maxWidth) {
        return;
    }
    std::string kept = line.text;
    while (!kept.empty()) {
        // Drop the last character: its continuation bytes, then its lead byte.
        while (!kept.empty() && (static_cast<unsigned char>(kept.back()) & 0xC0) == 0x80) {
            kept.pop_back();
        }
        if (!kept.empty()) {
            kept.pop_back();
        }
        if (TextWidth(canvas, font, kept + kEllipsis) <= maxWidth) {
            break;
        }
    }
    line.text = kept + kEllipsis;
    line.width = TextWidth(canvas, font, line.text);
}

struct Placed {
    std::vector<Line> lines;
    std::vector<int> x;
    int top = 0;
    PixelRect covered;
};

Placed Place(Canvas& canvas, const Font& font, const PixelRect& box, const std::string& displayed,
             const TextLayout& layout)
{
    Placed placed;
    placed.lines = BreakLines(canvas, font, displayed, box.width, layout.wrap);
    if (layout.ellipsis) {
        for (Line& line : placed.lines) {
            Shorten(canvas, font, line, box.width);
        }
    }
    int lineHeight = Metrics(canvas, font).lineHeight;
    int total = lineHeight * static_cast<int>(placed.lines.size());
    placed.top = layout.valign == VAlign::Top ? box.y : box.y + (box.height - total) / 2;
    int left = box.x + box.width;
    int right = box.x;
    for (const Line& line : placed.lines) {
        int x = box.x;
        if (layout.align == Align::Center) {
            x = box.x + (box.width - line.width) / 2;
        }
        if (layout.align == Align::Right) {
            x = box.x + box.width - line.width;
        }
        placed.x.push_back(x);
        left = std::min(left, x);
        right = std::max(right, x + line.width);
    }
    placed.covered = {left, placed.top, std::max(0, right - left), total};
    return placed;
}

void DrawPlaced(Canvas& canvas, const Font& font, const Placed& placed, const Displayed& displayed,
                int dx, int dy, Color color)
{
    cairo_t* cr = canvas.context();
    FontMetrics metrics = Metrics(canvas, font);
    for (std::size_t i = 0; i < placed.lines.size(); ++i) {
        const Line& line = placed.lines[i];
        int x = placed.x[i] + dx;
        int baseline = placed.top + dy + static_cast<int>(i) * metrics.lineHeight + metrics.ascent;
        UseFont(cr, font);
        cairo_set_source_rgb(cr, ((color >> 16) & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                             (color & 0xFF) / 255.0);
        cairo_move_to(cr, x, baseline);
        cairo_show_text(cr, line.text.c_str());
        cairo_new_path(cr);
        std::size_t at = displayed.underline;
        if (at != std::string::npos && at >= line.begin &&
            at + displayed.underlineLength <= line.begin + line.text.size()) {
            int start = TextWidth(canvas, font, line.text.substr(0, at - line.begin));
            int width =
                TextWidth(canvas, font, displayed.text.substr(at, displayed.underlineLength));
            canvas.HLine(x + start, baseline + 1, width, color);
        }
    }
}

}  // namespace

Font DialogFont(const std::string& face, int pointSize, bool bold)
{
    std::string name = Lowered(face);
    Font font;
    font.bold = bold;
    if (IsOneOf(name,
                {"courier", "courier new", "lucida console", "fixedsys", "terminal", "consolas"})) {
        font.family = "Liberation Mono";
    } else if (IsOneOf(name, {"times new roman", "times", "ms serif", "tms rmn", "georgia"})) {
        font.family = "Liberation Serif";
    } else {
        font.family = "Liberation Sans";
    }
    if (pointSize <= 0) {
        pointSize = kDefaultPointSize;
    }
    pointSize = std::min(pointSize, kMaxPointSize);
    font.pixelSize = (pointSize * 96 + 36) / 72;
    return font;
}

Font CaptionFont()
{
    return DialogFont("MS Sans Serif", kDefaultPointSize, true);
}

FontMetrics Metrics(Canvas& canvas, const Font& font)
{
    FontMetrics metrics;
    if (!canvas.ok()) {
        return metrics;
    }
    UseFont(canvas.context(), font);
    cairo_font_extents_t extents;
    cairo_font_extents(canvas.context(), &extents);
    metrics.ascent = WholePixels(extents.ascent);
    metrics.descent = WholePixels(extents.descent);
    metrics.lineHeight = std::max(WholePixels(extents.height), metrics.ascent + metrics.descent);
    return metrics;
}

int TextWidth(Canvas& canvas, const Font& font, const std::string& text)
{
    if (!canvas.ok() || text.empty()) {
        return 0;
    }
    UseFont(canvas.context(), font);
    cairo_text_extents_t extents;
    cairo_text_extents(canvas.context(), text.c_str(), &extents);
    return static_cast<int>(std::lround(extents.x_advance));
}

PixelRect MeasureText(Canvas& canvas, const Font& font, const PixelRect& box,
                      const std::string& text, const TextLayout& layout)
{
    if (text.empty() || !canvas.ok()) {
        return {box.x, box.y, 0, 0};
    }
    Displayed displayed = ApplyPrefix(text, layout.prefix);
    return Place(canvas, font, box, displayed.text, layout).covered;
}

PixelRect DrawText(Canvas& canvas, const Font& font, const PixelRect& box, const std::string& text,
                   const TextLayout& layout, Color color, TextLook look)
{
    if (text.empty() || !canvas.ok()) {
        return {box.x, box.y, 0, 0};
    }
    Displayed displayed = ApplyPrefix(text, layout.prefix);
    Placed placed = Place(canvas, font, box, displayed.text, layout);
    ClipScope clip(canvas, box);
    if (look == TextLook::Disabled) {
        DrawPlaced(canvas, font, placed, displayed, 1, 1, colors::Highlight);
        DrawPlaced(canvas, font, placed, displayed, 0, 0, colors::GrayText);
    } else {
        DrawPlaced(canvas, font, placed, displayed, 0, 0, color);
    }
    return placed.covered;
}

}  // namespace vtsim::internal::drawing
