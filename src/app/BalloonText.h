#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace snipora {

// The most units a balloon's text holds (NOTIFYICONDATAW::szInfo, less its ending zero).
inline constexpr size_t kBalloonTextLimit = 255;
// The units of a balloon's line.
inline constexpr size_t kBalloonLineLength = 52;

// A balloon's text broken into lines of at most `lineLength` units, as not every notification
// area wraps a balloon (one that does not cuts it at the right). A line breaks after its last
// blank, which stays at its end unseen (so that the lines joined are the text again); a word longer
// than a line (a path) after its last '\' or '/' that fits, else where the line is full; a
// surrogate pair is never split, and line breaks already there stay. A text past `limit` units ends
// with "…" within it.
std::u16string BalloonText(std::u16string_view text, size_t lineLength = kBalloonLineLength,
                           size_t limit = kBalloonTextLimit);

}  // namespace snipora
