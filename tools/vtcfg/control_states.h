// The states of the editor's windows as text, one line each, written by
// vtcfg's `states FILE` from the headless window objects and by vtcfg.exe
// from Win32 calls on Windows, so that the two can be compared line by line.
// Plain C++: no platform header.
#pragma once

#include <string>
#include <vector>

namespace vtcfg {

struct ControlState {
    int depth = 0;          // 0: the editor window, 1: its children, ...
    std::string className;  // "#32770", "Button", "Static", "ComboBox", ...
    int id = 0;
    std::string text;      // window text, UTF-8 (empty for combo boxes, see selection)
    int x = 0;             // position and size in the dialog units of the parent
    int y = 0;             // dialog, relative to its client area (0, 0 for the
    int width = 0;         // editor itself, whose size is that of its client
    int height = 0;        // area)
    bool visible = false;  // WS_VISIBLE of the window itself
    bool enabled = false;
    bool checked = false;    // radio buttons and check boxes
    bool isDefault = false;  // a push button drawn as the dialog's default
    bool focused = false;    // has the keyboard focus
    std::string selection;   // combo box: the chosen entry; tree view: the selected
                             // node's path ("A/B"); tab control: the chosen tab
};

// Pixels to dialog units, given how many pixels 400 dialog units are along
// that axis; rounded to the nearest unit.
int PixelsToDialogUnits(int pixels, int pixelsPer400);

// One line per window, children indented under their parent:
//   class id=N "text" at X,Y size W,H visible|hidden enabled|disabled[ checked][ default][
//   focused][ sel="..."]
// In texts, a line break is written \n, a carriage return \r, a quote \"
// and a backslash \\.
std::string FormatControlStates(const std::vector<ControlState>& states);

// Reads what FormatControlStates wrote; false with the line's number and
// what is wrong in *error.
bool ParseControlStates(const std::string& text, std::vector<ControlState>* states,
                        std::string* error);

// The differences a person would notice between two dumps of the same
// window, one line each ("" when none): a window missing or extra, another
// class, id, text, visibility, enabled, check, default or focus state or selection, or a
// position or size more than tolerance dialog units plus a tenth apart (the
// share that two systems' dialog fonts may differ by, as pixel-sized parts
// like bitmaps are converted with each system's own font).
std::string CompareControlStates(const std::vector<ControlState>& expected,
                                 const std::vector<ControlState>& actual, int tolerance);

}  // namespace vtcfg
