// Internal: the sizes of the classic desktop at 96 dpi that windows are laid
// out with (frames and title bars, the screen, the dialog fonts' base
// units), shared by the window manager and the picture renderer.
#pragma once

#include "platform/host/internal_header.h"

#include <string_view>

#include "platform/types.h"

namespace vtsim::internal {

inline constexpr int kScreenWidth = 1024;
inline constexpr int kScreenHeight = 768;

inline constexpr int kDialogFrame = 3;         // fixed (dialog) frame, each side
inline constexpr int kSizingFrame = 4;         // WS_THICKFRAME, each side
inline constexpr int kCaptionHeight = 19;      // title bar and the line below it
inline constexpr int kToolCaptionHeight = 16;  // WS_EX_TOOLWINDOW's small title bar

// Where the client area lies inside a window's rectangle.
struct Insets {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The frame and title bar of a window with these styles: a title bar for
// WS_CAPTION; a sizing frame for WS_THICKFRAME, a dialog frame for
// WS_DLGFRAME (part of WS_CAPTION) or WS_EX_DLGMODALFRAME, a one-pixel
// border for WS_BORDER alone. Child windows draw their borders inside
// their rectangle: their client area is the whole of it.
Insets FrameInsets(DWORD style, DWORD exStyle);

// A dialog font's base units in pixels: the average width of the letters
// A-Z a-z and the height of the font at 96 dpi. "MS Sans Serif" 8 point is
// 6 x 13; other sizes scale from it, rounded. The face does not change
// them: the pictures draw every dialog face with the one metric match of
// "MS Sans Serif". A point size of 0 or less (a template without a font)
// gives the system font's 8 x 16.
struct BaseUnits {
    int x = 8;
    int y = 16;
};
BaseUnits FontBaseUnits(std::u16string_view face, int pointSize);
inline constexpr BaseUnits kSystemFontBaseUnits{8, 16};

}  // namespace vtsim::internal
