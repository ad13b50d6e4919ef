#include "tools/common/timing_plot.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/host/control/pictures.h"

namespace vttools {

namespace {

using L = PlotLayout;

void SetColour(cairo_t* cr, unsigned rgb)
{
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                         (rgb & 0xFF) / 255.0);
}

void Text(cairo_t* cr, double x, double y, const std::string& text, double size, bool bold = false)
{
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
}

// A round step for about eight ticks over span nanoseconds: 1, 2 or 5 times
// a power of ten.
double TickStep(double span)
{
    const double raw = std::max(span / 8.0, 1.0);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= raw) {
            return factor * power;
        }
    }
    return 10.0 * power;
}

std::string TimeText(double ns, double step)
{
    char text[32];
    if (step >= 1e6) {
        std::snprintf(text, sizeof text, "%g ms", ns / 1e6);
    } else if (step >= 1e3) {
        std::snprintf(text, sizeof text, "%g us", ns / 1e3);
    } else {
        std::snprintf(text, sizeof text, "%g ns", ns);
    }
    return text;
}

// One row to draw: a signal and its changes in time order.
struct Row {
    std::size_t signal;
    std::vector<const SignalChange*> changes;
};

struct Surface {
    cairo_surface_t* surface;
    cairo_t* cr;
    ~Surface()
    {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
};

}  // namespace

bool WriteTimingPlot(const Trace& trace, const std::string& path, std::string* error)
{
    std::vector<Row> rows(trace.signals.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].signal = i;
    }
    for (const SignalChange& change : trace.changes) {
        rows[change.signal].changes.push_back(&change);
    }
    std::vector<Row> shown;
    std::size_t unchanged = 0, left = 0;
    for (Row& row : rows) {
        if (row.changes.empty()) {
            ++unchanged;
        } else if (shown.size() >= static_cast<std::size_t>(L::kMaxRows)) {
            ++left;
        } else {
            shown.push_back(std::move(row));
        }
    }
    std::size_t groups = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (i == 0 ||
            trace.signals[shown[i].signal].group != trace.signals[shown[i - 1].signal].group) {
            ++groups;
        }
    }
    const int height = L::kTitleHeight + static_cast<int>(groups) * L::kGroupHeight +
                       static_cast<int>(shown.size()) * L::kRowHeight + L::kAxisHeight;
    vtsim::ReleaseDrawingCachesAtExit();
    Surface s{cairo_image_surface_create(CAIRO_FORMAT_RGB24, L::kWidth, height), nullptr};
    s.cr = cairo_create(s.surface);
    cairo_t* cr = s.cr;
    SetColour(cr, kPlotBackground);
    cairo_paint(cr);

    const double left_x = L::kLabelWidth;
    const double right_x = L::kWidth - L::kRightMargin;
    const double span = static_cast<double>(std::max<std::uint64_t>(trace.endNs, 1));
    auto xOf = [&](std::uint64_t t) {
        return left_x + (right_x - left_x) * (t / span);
    };

    SetColour(cr, 0x000000);
    char title[160];
    std::snprintf(title, sizeof title, "%zu changes in %s; %zu signals never changed%s",
                  trace.changes.size(), TimeText(span, TickStep(span)).c_str(), unchanged,
                  left != 0 ? " (some rows left out)" : "");
    Text(cr, 8, 20, title, 13, true);

    double y = L::kTitleHeight;
    std::string group;
    std::vector<std::uint64_t> eventTimes;
    for (const Row& row : shown) {
        const TracedSignal& signal = trace.signals[row.signal];
        if (signal.group != group) {
            group = signal.group;
            const auto title = trace.groupTitles.find(group);
            const std::string heading = title != trace.groupTitles.end() ? title->second : group;
            SetColour(cr, 0xEEEEEE);
            cairo_rectangle(cr, 0, y, L::kWidth, L::kGroupHeight);
            cairo_fill(cr);
            SetColour(cr, 0x000000);
            Text(cr, 8, y + 14, heading, 12, true);
            y += L::kGroupHeight;
        }
        const double top = y + 3, bottom = y + L::kRowHeight - 3;
        SetColour(cr, 0x333333);
        Text(cr, 16, y + 13, signal.label, 11);
        // Level segments: [from, to) at value.
        bool value = false;
        std::uint64_t from = 0;
        auto segment = [&](std::uint64_t to) {
            if (!value) {
                return;
            }
            double x0 = xOf(from), x1 = xOf(to);
            x1 = std::max(x1, x0 + 1.5);  // a short pulse stays visible
            SetColour(cr, signal.event ? 0xF5D0CB : kPlotHighFill);
            cairo_rectangle(cr, x0, top, x1 - x0, bottom - top);
            cairo_fill(cr);
        };
        for (const SignalChange* change : row.changes) {
            segment(change->timeNs);
            value = change->value;
            from = change->timeNs;
        }
        segment(trace.endNs);
        // The waveform line over the fill.
        SetColour(cr, signal.event ? kPlotEvent : kPlotLine);
        cairo_set_line_width(cr, 1.5);
        value = false;
        double x = left_x;
        cairo_move_to(cr, x, bottom);
        for (const SignalChange* change : row.changes) {
            double cx = std::max(xOf(change->timeNs), x);
            if (!change->value && value) {
                cx = std::max(cx, x + 1.5);
            }
            cairo_line_to(cr, cx, value ? top : bottom);
            cairo_line_to(cr, cx, change->value ? top : bottom);
            value = change->value;
            x = cx;
            if (signal.event && change->value) {
                eventTimes.push_back(change->timeNs);
            }
        }
        cairo_line_to(cr, std::max(right_x, x), value ? top : bottom);
        cairo_stroke(cr);
        y += L::kRowHeight;
    }
    const double plotBottom = y;

    // Event markers: a faint line through every row and a triangle below them.
    for (std::uint64_t t : eventTimes) {
        const double ex = std::round(xOf(t)) + 0.5;
        cairo_set_source_rgba(cr, 0.75, 0.22, 0.17, 0.35);
        cairo_set_line_width(cr, 1);
        cairo_move_to(cr, ex, L::kTitleHeight);
        cairo_line_to(cr, ex, plotBottom);
        cairo_stroke(cr);
        SetColour(cr, kPlotEvent);
        cairo_move_to(cr, ex - 5, plotBottom + 1);
        cairo_line_to(cr, ex + 5, plotBottom + 1);
        cairo_line_to(cr, ex, plotBottom + 9);
        cairo_close_path(cr);
        cairo_fill(cr);
    }

    // The time axis.
    SetColour(cr, 0x000000);
    cairo_set_line_width(cr, 1);
    const double axis = plotBottom + 12.5;
    cairo_move_to(cr, left_x, axis);
    cairo_line_to(cr, right_x, axis);
    cairo_stroke(cr);
    const double step = TickStep(span);
    for (double t = 0; t <= span + 0.5; t += step) {
        const double tx = std::round(xOf(static_cast<std::uint64_t>(t))) + 0.5;
        cairo_move_to(cr, tx, axis);
        cairo_line_to(cr, tx, axis + 5);
        cairo_stroke(cr);
        Text(cr, tx - 12, axis + 18, TimeText(t, step), 10);
    }

    cairo_surface_flush(s.surface);
    const cairo_status_t status = cairo_surface_write_to_png(s.surface, path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        *error = path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

}  // namespace vttools
