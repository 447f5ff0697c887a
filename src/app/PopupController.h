#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "app/VirtualKeys.h"
#include "settings/Keys.h"

namespace snipora {

struct Point {
    int x = 0;
    int y = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// The modifier flags of a hot key that the system keeps for the program (RegisterHotKey).
inline constexpr unsigned kHotKeyAlt = 0x0001;
inline constexpr unsigned kHotKeyControl = 0x0002;
inline constexpr unsigned kHotKeyShift = 0x0004;
inline constexpr unsigned kHotKeyNoRepeat = 0x4000;

// The keys behind the two triggers, as lists of virtual-key codes that must all be down.
struct TriggerKeys {
    std::vector<uint8_t> primary;
    std::vector<uint8_t> secondary;
    bool primaryEnabled = false;
    bool secondaryEnabled = false;
    // The secondary hot key as the system takes it: one key that is no modifier, with the
    // modifier flags above. 0 when it has no such key; it can then only be watched.
    uint8_t systemKey = 0;
    unsigned systemModifiers = 0;
};

// Builds the trigger keys from the settings. The mouse gesture is always Ctrl + left button.
// `hotKey` is a shortcut code (settings/Keys.h): low byte the key, then the modifier bits.
// `readSecondaryEnabled` is only asked when the hot key's low 16 bits are not 0.
TriggerKeys MakeTriggerKeys(int primaryEnabledSetting, int hotKey,
                            const std::function<int()>& readSecondaryEnabled);

// The window as the popup logic sees it; the Win32 window implements it.
class IPopupHost {
public:
    virtual ~IPopupHost() = default;
    virtual Rect WindowRect() = 0;
    virtual void MoveWindowTo(int left, int top) = 0;
    virtual void SetWindowWidth(int width) = 0;
    virtual void SetWindowHeight(int height) = 0;
    // Height of the collapsed bar.
    virtual int CollapsedHeight() = 0;
    // Alpha blending on (translucent) or off (opaque).
    virtual void SetTranslucent(bool translucent) = 0;
    virtual void ShowTree(bool show) = 0;
    virtual void SetButtonDown(bool down) = 0;
    virtual bool IsActive() = 0;
    // Where the pointer is, exactly.
    virtual Point CursorPos() = 0;
    // Where the pointer is as the tick sees it: may be a few ticks old, so may cost nothing.
    virtual Point PointerAtTick() = 0;
    virtual bool IsKeyDown(uint8_t virtualKey) = 0;
    // Remembers the foreground window as the one to paste into.
    virtual void RememberTarget() = 0;
    // Makes the window the active one, with the keyboard in the tree on its newest history
    // entry.
    virtual void TakeFocus() = 0;
    // Brings the remembered window back to the front.
    virtual void ReturnToTarget() = 0;
    // The work area of the monitor that holds the point.
    virtual Rect WorkAreaAt(Point point) = 0;
    // Before the popup opens at `point`: the window takes the scale of the monitor there.
    virtual void MatchMonitorAt(Point) {}
};

// The bar's two states, the triggers polled every tick, and the placement beside the pointer.
class PopupController {
public:
    // How far around the window the pointer still counts as near.
    static constexpr int kNearMargin = 30;

    explicit PopupController(IPopupHost& host) : host_(host) {}

    // Width in both states, height when expanded (from the next expansion on), trigger keys.
    void ApplySettings(int width, int expandedHeight, TriggerKeys keys);
    // The width and the open height in pixels again, at another scale; the window takes them
    // at once.
    void Resize(int width, int expandedHeight);
    void SetExpanded(bool expanded);
    void PlaceAtCursor();
    // The 10 ms tick. The hot key also gives the popup the keyboard; the mouse gesture leaves it
    // where it is until the user clicks into the popup.
    void Tick();
    // Whether the tick watches the hot key's keys. It does not while the system reports the hot
    // key (which it keeps from every other program), nor while another program has it.
    void SetHotKeyWatched(bool watched) { hotKeyWatched_ = watched; }
    // The registered hot key was pressed: the popup opens at the pointer with the keyboard,
    // unless it stands there already.
    void HotKeyPressed();
    // The window lost activation: an open popup that had the keyboard closes.
    void Deactivated();
    // Esc: the popup closes, and one summoned over a window gives that window the keyboard back.
    void Dismiss();
    // Whether every key of the hot key is held; false when it is off.
    bool HotKeyDown();
    // The alpha state the window starts with, so that only changes reach the window.
    void SetInitialTranslucent(bool translucent) { translucent_ = translucent; }

    bool Expanded() const { return expanded_; }
    bool Translucent() const { return translucent_; }
    bool AtCursor() const { return atCursor_; }
    Point Home() const { return {homeLeft_, homeTop_}; }
    const TriggerKeys& Keys() const { return keys_; }

private:
    void SetTranslucent(bool translucent);
    bool AllDown(const std::vector<uint8_t>& keys);
    void OpenAtCursor(bool withKeyboard);

    enum class KeyState : uint8_t { Unknown, Up, Down };

    IPopupHost& host_;
    std::array<KeyState, 256> keyState_{};
    bool expanded_ = false;
    bool atCursor_ = false;
    bool translucent_ = true;
    bool hotKeyWatched_ = true;
    int expandedHeight_ = keys::kPopupWindowHeight;
    int homeLeft_ = 0;
    int homeTop_ = 0;
    TriggerKeys keys_;
};

// Where the popup's top-left corner goes for a pointer at `pointer`: one pixel right of and
// below it, or above and to the left where the popup would reach the work area's far edges.
Point PlaceBesidePointer(Point pointer, Rect workArea, int width, int expandedHeight);

// True when the pointer is within the window widened by the margin on every side.
bool IsNear(Point pointer, Rect window, int margin);

// Where the bar's top-left corner goes so that its button (at the bar's top right) is whole on
// the work area: where it is when the button already is; otherwise moved the least into the work
// area, keeping the button's end when the bar is wider or taller than the area.
Point KeepButtonOnWorkArea(Rect bar, Rect button, Rect workArea);

}  // namespace snipora
