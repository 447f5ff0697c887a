#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace snipora::web {

// The product's web site; every page the program opens on it starts with this.
inline constexpr std::u16string_view kProductSite = u"https://www.snipora.example";
// The maker's web site.
inline constexpr std::u16string_view kMakerSite = u"https://www.tervix.example";

// The environment variable in which a U3 smart drive's launcher names the drive's serial.
inline constexpr std::u16string_view kU3SerialVariable = u"U3_DEVICE_SERIAL";

// The automatic offer comes when more than this many days have passed since the last one.
inline constexpr int64_t kUpdateIntervalDays = 7;

// True from the 8th day after the last offer on. A day before the last offer (the clock set
// back) is never due. Both are whole day numbers; any pair of them is safe.
bool IsUpdateOfferDue(int32_t lastCheckDay, int32_t today);

// The update page: the ordinary one, or the U3 one when the drive's serial is not empty.
std::u16string UpdatePageUrl(std::u16string_view u3Serial);

// What the user is told when no program could open the page at `url`.
std::u16string PageNotOpenedText(std::u16string_view url);

// The two home pages, and the host names that the about box shows for them.
std::u16string ProductHomeUrl();
std::u16string MakerHomeUrl();
std::u16string_view HostName(std::u16string_view site);

}  // namespace snipora::web
