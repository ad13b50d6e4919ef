// Windows built by hand as the window services would snapshot them, for the
// picture tests: the device setting dialog and the template editor with its
// device page, laid out from their dialog units (6 x 13 base units of the
// 8-point dialog font).
#pragma once

#include <cstdint>
#include <string>

#include "platform/host/control/window_snapshot.h"

namespace samples {

inline constexpr std::uint32_t kChildVisible = 0x50000000;  // WS_CHILD | WS_VISIBLE
inline constexpr std::uint32_t kGroup = 0x00020000;         // WS_GROUP
inline constexpr std::uint32_t kTabStop = 0x00010000;       // WS_TABSTOP
inline constexpr std::uint32_t kBorder = 0x00800000;        // WS_BORDER

// Where a test leaves a picture named name: the test's build folder.
std::string PicturePath(const std::string& name);

// Dialog units to pixels, rounded as the dialog manager rounds.
int DluX(int x);
int DluY(int y);
vtsim::PixelRect Dlu(int x, int y, int width, int height);

vtsim::WindowSnapshot Control(vtsim::WidgetKind kind, const char* className, int id,
                              const char* text, std::uint32_t style, vtsim::PixelRect rect);

// The device setting dialog, 246 x 102 dialog units, of a board whose inputs
// 2 and 3 cannot interrupt (their buttons and labels disabled), trigger mode
// 10 (falling on bits 1 and 3).
vtsim::WindowSnapshot DeviceSettingDialog();

// The template editor (tool window, 346 x 254 dialog units): tree view of
// templates with a selected template, tab control, buttons, a hidden grey
// rectangle and the device page with the board picture, sunken texts and the
// switch id combo box.
vtsim::WindowSnapshot EditorWindow();

// The board picture's bitmap: green board, gold fingers, a black chip; its
// top-left pixel is kBoardColor.
inline constexpr std::uint32_t kBoardColor = 0xFF1E6B3A;
vtsim::BitmapSnapshot BoardBitmap(int width, int height);

}  // namespace samples
