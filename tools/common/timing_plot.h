// A recorded trace drawn as a timing diagram (PNG): one row per signal that
// changed during the recording (a note says how many stayed put), each
// board's rows under its title, high levels filled, each setting of an
// event marked with a triangle and a faint line across the diagram, and a
// time axis at the bottom. A pulse too short for a pixel is drawn a
// pixel wide, so that it stays visible.
#pragma once

#include <string>

#include "tools/common/signal_recorder.h"

namespace vttools {

// The layout, for people who place things on the picture (and tests).
struct PlotLayout {
    static constexpr int kWidth = 1000;
    static constexpr int kLabelWidth = 210;  // the waveforms start here
    static constexpr int kRightMargin = 20;
    static constexpr int kTitleHeight = 30;
    static constexpr int kGroupHeight = 20;  // a board's or the events' title row
    static constexpr int kRowHeight = 18;
    static constexpr int kAxisHeight = 40;
    static constexpr int kMaxRows = 400;  // rows beyond are left out (noted)
};

// Colours (0xRRGGBB) of the picture's parts.
inline constexpr unsigned kPlotBackground = 0xFFFFFF;
inline constexpr unsigned kPlotLine = 0x1F5FBF;      // a board line's level
inline constexpr unsigned kPlotHighFill = 0xD6E4F7;  // under a high level
inline constexpr unsigned kPlotEvent = 0xC0392B;     // an event's level and markers

// Writes the diagram as a PNG file (replaced when it exists). False with
// *error = "PATH: reason" when the file cannot be written.
bool WriteTimingPlot(const Trace& trace, const std::string& path, std::string* error);

}  // namespace vttools
