#include "web/UpdateCheck.h"

#include "common/ProgramVersion.h"

namespace snipora::web {

bool IsUpdateOfferDue(int32_t lastCheckDay, int32_t today) {
    return static_cast<int64_t>(today) - lastCheckDay > kUpdateIntervalDays;
}

std::u16string UpdatePageUrl(std::u16string_view u3Serial) {
    std::u16string url(kProductSite);
    url += u3Serial.empty() ? u"/update.php?version=" : u"/update.php?platform=u3&version=";
    url += kProgramVersion;
    return url;
}

std::u16string PageNotOpenedText(std::u16string_view url) {
    return u"No web browser could open the page. To see it, open this address in a browser:\n\n" +
           std::u16string(url);
}

std::u16string ProductHomeUrl() {
    return std::u16string(kProductSite) + u"/";
}

std::u16string MakerHomeUrl() {
    return std::u16string(kMakerSite) + u"/";
}

std::u16string_view HostName(std::u16string_view site) {
    const size_t scheme = site.find(u"://");
    if (scheme != std::u16string_view::npos) {
        site.remove_prefix(scheme + 3);
    }
    return site.substr(0, site.find(u'/'));
}

}  // namespace snipora::web
