#pragma once

#include <cstdint>

namespace snipora {

// The virtual-key codes that the portable rules of the popup and the paste name, as the system
// numbers them (the portable code includes no windows.h).
inline constexpr uint8_t kVkLButton = 0x01;
inline constexpr uint8_t kVkShift = 0x10;
inline constexpr uint8_t kVkControl = 0x11;
inline constexpr uint8_t kVkMenu = 0x12;  // Alt
inline constexpr uint8_t kVkInsert = 0x2D;
inline constexpr uint8_t kVkV = 0x56;
inline constexpr uint8_t kVkLeftWin = 0x5B;
inline constexpr uint8_t kVkRightWin = 0x5C;

}  // namespace snipora
