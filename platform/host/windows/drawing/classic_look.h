// Internal: the colours and sizes of the classic grey desktop look that the
// window pictures are drawn in (the default colour scheme at 96 dpi).
#pragma once

#include "platform/host/internal_header.h"

#include <cstdint>

namespace vtsim::internal::drawing {

// 0xRRGGBB, always opaque.
using Color = std::uint32_t;

namespace colors {
inline constexpr Color Face = 0xC0C0C0;        // dialogs, buttons, tabs
inline constexpr Color Light = 0xDFDFDF;       // inner light side of raised edges
inline constexpr Color Highlight = 0xFFFFFF;   // outer light side, emboss of grey text
inline constexpr Color Shadow = 0x808080;      // inner dark side, etched lines
inline constexpr Color DarkShadow = 0x000000;  // outer dark side
inline constexpr Color Window = 0xFFFFFF;      // edit fields, lists, tree views
inline constexpr Color WindowText = 0x000000;
inline constexpr Color ButtonText = 0x000000;
inline constexpr Color GrayText = 0x808080;  // disabled text
inline constexpr Color Caption = 0x000080;   // the active title bar
inline constexpr Color CaptionText = 0xFFFFFF;
inline constexpr Color Selection = 0x000080;  // selected items with the focus
inline constexpr Color SelectionText = 0xFFFFFF;
inline constexpr Color Frame = 0x000000;     // thin window borders (WS_BORDER)
inline constexpr Color TreeLine = 0x808080;  // dotted tree lines and button boxes
}  // namespace colors

namespace metrics {
inline constexpr int RadioSize = 12;          // the round radio button glyph
inline constexpr int CheckSize = 13;          // the check box square
inline constexpr int GlyphTextGap = 4;        // from a radio/check glyph to its text
inline constexpr int ScrollButtonWidth = 16;  // a combo box's drop-down button
inline constexpr int TreeIndent = 19;         // one tree level
inline constexpr int TreeButtonSize = 9;      // the +/- box
inline constexpr int TabPadding = 6;          // text to tab side, each side
inline constexpr int TabRaise = 2;            // how far the selected tab stands out
inline constexpr int TabMinWidth = 54;        // the common controls' default minimum tab width
inline constexpr int MaxImageSide = 16384;    // larger pictures are refused
}  // namespace metrics

}  // namespace vtsim::internal::drawing
