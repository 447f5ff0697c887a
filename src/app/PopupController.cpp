#include "app/PopupController.h"

#include <algorithm>

#include "settings/Keys.h"

namespace snipora {

TriggerKeys MakeTriggerKeys(int primaryEnabledSetting, int hotKey,
                            const std::function<int()>& readSecondaryEnabled) {
    std::array<bool, 256> secondary{};
    const unsigned value = static_cast<unsigned>(hotKey) & 0xFFFF;
    secondary[value & 0xFF] = true;
    // The modifier bits have the last word, also over a key code that is itself a modifier.
    secondary[kVkShift] = (value & keys::kShortcutShift) != 0;
    secondary[kVkControl] = (value & keys::kShortcutControl) != 0;
    secondary[kVkMenu] = (value & keys::kShortcutAlt) != 0;

    TriggerKeys keys;
    // Ctrl first: at rest it is up, and one question then settles both triggers.
    keys.primary = {kVkControl, kVkLButton};
    keys.primaryEnabled = primaryEnabledSetting == 1;
    keys.secondaryEnabled = value != 0 && readSecondaryEnabled() == 1;
    for (uint8_t vk : {kVkControl, kVkMenu, kVkShift}) {
        if (secondary[vk]) {
            keys.secondary.push_back(vk);
        }
    }
    for (int vk = 0; vk < 256; ++vk) {
        if (secondary[vk] && vk != kVkControl && vk != kVkMenu && vk != kVkShift) {
            keys.secondary.push_back(static_cast<uint8_t>(vk));
            keys.systemKey = static_cast<uint8_t>(vk);
        }
    }
    keys.systemModifiers = kHotKeyNoRepeat | (secondary[kVkShift] ? kHotKeyShift : 0) |
                           (secondary[kVkControl] ? kHotKeyControl : 0) |
                           (secondary[kVkMenu] ? kHotKeyAlt : 0);
    return keys;
}

Point PlaceBesidePointer(Point pointer, Rect workArea, int width, int expandedHeight) {
    Point corner;
    corner.y = pointer.y + expandedHeight < workArea.bottom ? pointer.y + 1
                                                            : pointer.y - expandedHeight - 1;
    corner.x = pointer.x + width < workArea.right ? pointer.x + 1 : pointer.x - width - 1;
    // Fitting neither below nor above, it starts at the work area's top: its header and the
    // newest entries stay in sight. The same holds for the left edge.
    corner.y = std::max(corner.y, workArea.top);
    corner.x = std::max(corner.x, workArea.left);
    return corner;
}

Point KeepButtonOnWorkArea(Rect bar, Rect button, Rect workArea) {
    if (button.left >= workArea.left && button.right <= workArea.right &&
        button.top >= workArea.top && button.bottom <= workArea.bottom) {
        return {bar.left, bar.top};
    }
    // The button sits at the right end and the top: those edges win over the others.
    return {std::min(std::max(bar.left, workArea.left), workArea.right - bar.Width()),
            std::max(std::min(bar.top, workArea.bottom - bar.Height()), workArea.top)};
}

bool IsNear(Point pointer, Rect window, int margin) {
    return window.left - margin < pointer.x && pointer.x < window.right + margin &&
           window.top - margin < pointer.y && pointer.y < window.bottom + margin;
}

void PopupController::ApplySettings(int width, int expandedHeight, TriggerKeys keys) {
    host_.SetWindowWidth(width);
    expandedHeight_ = expandedHeight;
    keys_ = std::move(keys);
}

void PopupController::Resize(int width, int expandedHeight) {
    expandedHeight_ = expandedHeight;
    host_.SetWindowWidth(width);
    host_.SetWindowHeight(expanded_ ? expandedHeight_ : host_.CollapsedHeight());
}

void PopupController::SetTranslucent(bool translucent) {
    if (translucent != translucent_) {
        translucent_ = translucent;
        host_.SetTranslucent(translucent);
    }
}

void PopupController::SetExpanded(bool expanded) {
    expanded_ = expanded;
    host_.SetWindowHeight(expanded ? expandedHeight_ : host_.CollapsedHeight());
    host_.SetButtonDown(expanded);
    host_.ShowTree(expanded);
    if (expanded) {
        SetTranslucent(false);
    } else if (atCursor_) {
        atCursor_ = false;
        host_.MoveWindowTo(homeLeft_, homeTop_);
    }
}

void PopupController::PlaceAtCursor() {
    const Point pointer = host_.CursorPos();
    host_.MatchMonitorAt(pointer);
    const Rect window = host_.WindowRect();
    if (!atCursor_) {
        homeLeft_ = window.left;
        homeTop_ = window.top;
        atCursor_ = true;
    }
    const Point corner =
        PlaceBesidePointer(pointer, host_.WorkAreaAt(pointer), window.Width(), expandedHeight_);
    host_.MoveWindowTo(corner.x, corner.y);
}

// An empty list never passes: a hot key made of nothing would otherwise fire on every tick.
bool PopupController::AllDown(const std::vector<uint8_t>& keys) {
    if (keys.empty()) {
        return false;
    }
    for (uint8_t vk : keys) {
        // Each key is asked at most once a tick, whichever trigger needs it.
        if (keyState_[vk] == KeyState::Unknown) {
            keyState_[vk] = host_.IsKeyDown(vk) ? KeyState::Down : KeyState::Up;
        }
        if (keyState_[vk] == KeyState::Up) {
            return false;
        }
    }
    return true;
}

void PopupController::Tick() {
    const Point pointer = host_.PointerAtTick();
    if (IsNear(pointer, host_.WindowRect(), kNearMargin)) {
        SetTranslucent(false);
    } else {
        SetTranslucent(!expanded_);
        if (expanded_ && !host_.IsActive()) {
            SetExpanded(false);
        }
    }
    if (atCursor_) {
        return;
    }
    // Only the marked keys are asked, and only while they could still pass.
    keyState_.fill(KeyState::Unknown);
    const bool primary = keys_.primaryEnabled && AllDown(keys_.primary);
    const bool secondary =
        !primary && hotKeyWatched_ && keys_.secondaryEnabled && AllDown(keys_.secondary);
    if (primary || secondary) {
        OpenAtCursor(secondary);
    }
}

void PopupController::HotKeyPressed() {
    if (!atCursor_) {
        OpenAtCursor(true);
    }
}

void PopupController::OpenAtCursor(bool withKeyboard) {
    host_.RememberTarget();
    PlaceAtCursor();
    SetExpanded(true);
    if (withKeyboard) {
        host_.TakeFocus();
    }
}

void PopupController::Deactivated() {
    if (expanded_) {
        SetExpanded(false);
    }
}

void PopupController::Dismiss() {
    if (atCursor_) {
        host_.ReturnToTarget();
    }
    SetExpanded(false);
}

bool PopupController::HotKeyDown() {
    if (!keys_.secondaryEnabled || keys_.secondary.empty()) {
        return false;
    }
    for (uint8_t vk : keys_.secondary) {
        if (!host_.IsKeyDown(vk)) {
            return false;
        }
    }
    return true;
}

}  // namespace snipora
