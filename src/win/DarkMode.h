#pragma once

#include <windows.h>

namespace snipora::win {

// The dark look of the system's own parts, asked for where the running Windows has it and left
// light elsewhere: title bars, scroll bars and the menus. Every function is loaded at run time.

// The process's choice: the menus follow it at once, dialogs opened from now on take it for
// their title bars.
void SetDarkMode(bool dark);
bool DarkMode();

// A window's title bar, dark or light again.
void ApplyDarkTitleBar(HWND window, bool dark);
// A control's scroll bars ("DarkMode_Explorer"), or its usual look again.
void ApplyDarkScrollBars(HWND control, bool dark);

}  // namespace snipora::win
