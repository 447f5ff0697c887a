#pragma once

#include <windows.h>

namespace snipora {

namespace settings {
class CSettingsStorage;
}

// The window a chosen entry is pasted into, and the control in it that had the keyboard focus,
// both taken when the popup was summoned.
struct PasteTarget {
    HWND window = nullptr;
    HWND focus = nullptr;
};

// The foreground window now, and its thread's focus window.
PasteTarget CurrentPasteTarget();

// Brings the target back to the front and gives the remembered control the focus again, pasting
// nothing. A window that no longer exists is left alone.
void ReturnTo(const PasteTarget& target);

enum class PasteOutcome {
    Pasted,         // the message was posted or the keystroke sent
    NotPasted,      // "none" for this program, or nowhere to paste: the text waits on the clipboard
    TargetGone,     // the window was closed in the meantime
    Elevated,       // the target runs with higher rights; the system would drop the paste
    ModifiersHeld,  // Shift, Ctrl, Alt or a Windows key stayed down past the wait
    NotInFront,     // the target could not be brought to the foreground for the keystroke
};

// Brings the target back to the front, gives the remembered control the focus again, and pastes
// what the clipboard holds: by WM_PASTE or by keystroke, as the target's focus window and the
// [Paste] section of the settings decide (`settings` may be null: automatic choice). Runs the
// calling thread's pending messages once, and may wait up to about 2.5 s on held keys and a
// reluctant foreground switch.
PasteOutcome PasteClipboardInto(const PasteTarget& target, settings::CSettingsStorage* settings);

}  // namespace snipora
