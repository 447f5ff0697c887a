#pragma once

#include <windows.h>

#include <span>

namespace snipora::win {

// Where one control of a dialog goes, in pixels at 96 dots per inch.
struct ControlPlace {
    int id;
    int x;
    int y;
    int width;
    int height;
};

// Gives the dialog its client size and puts its controls in their places, all in pixels at 96
// dots per inch and scaled to the screen's, then centres it on the desktop's work area. Dialog
// units follow the font's measures, which differ from system to system; the layout does not.
// The dialog's resource names its controls; their places are given here alone.
void LayOutDialog(HWND dialog, int clientWidth, int clientHeight,
                  std::span<const ControlPlace> places);

}  // namespace snipora::win
