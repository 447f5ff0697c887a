#pragma once

#include <cstdint>

namespace snipora {

// Which Windows builds take the dark look of the system's own parts. The undocumented menu
// switch is used only where it is known to exist.
inline constexpr uint32_t kFirstBuildWithDarkMenus = 18362;       // Windows 10 1903
inline constexpr uint32_t kFirstBuildWithDarkTitleBar = 17763;    // Windows 10 1809
inline constexpr uint32_t kFirstBuildWithDarkTitleBar20 = 19041;  // Windows 10 2004

constexpr bool MenusCanBeDark(uint32_t build) {
    return build >= kFirstBuildWithDarkMenus;
}

// The window attribute that asks for a dark title bar: 20, 19 on older builds, 0 for none.
constexpr int DarkTitleBarAttribute(uint32_t build) {
    return build >= kFirstBuildWithDarkTitleBar20 ? 20
           : build >= kFirstBuildWithDarkTitleBar ? 19
                                                  : 0;
}

}  // namespace snipora
