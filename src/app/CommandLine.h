#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace snipora {

// What the program is asked to do by its command line.
enum class Switch {
    None,    // no switch: start, or bring the running copy's bar to the front
    Pause,   // stop recording
    Resume,  // record again
    Toggle,  // pause or resume
    Exit,    // close the running copy as its Exit does
    Unknown,
};

// The switches of a command line, without the program's name. Each is known by its name after
// a '/' or '-', in any case. More than one switch, or anything else, is Unknown.
Switch ParseSwitches(std::span<const std::u16string_view> arguments);

// The text shown for an unknown switch: every switch and what it does.
std::u16string SwitchesHelp();

// The tag of the WM_COPYDATA that hands a switch to the running copy.
inline constexpr uintptr_t kSwitchDataTag = 0x53505731;  // "SPW1"

// The data of that WM_COPYDATA: the switch's name in lower case, then a zero unit.
std::u16string SwitchPayload(Switch command);

// The switch that a WM_COPYDATA carries, or none: the tag must match and the data must be a
// known switch's name ending in its only zero unit, in whole units. Anything else is ignored.
std::optional<Switch> SwitchFromPayload(uintptr_t tag, const void* data, size_t bytes);

}  // namespace snipora
