#include <gtest/gtest.h>

#include <cstdint>

#include "web/UpdateCheck.h"

namespace snipora::web {
namespace {

TEST(UpdateCheck, TheOfferComesFromTheEighthDayOn) {
    const int32_t today = 45000;
    EXPECT_FALSE(IsUpdateOfferDue(today, today));
    EXPECT_FALSE(IsUpdateOfferDue(today - 7, today));
    EXPECT_TRUE(IsUpdateOfferDue(today - 8, today));
    // Never checked: day 0.
    EXPECT_TRUE(IsUpdateOfferDue(0, today));
    // The clock set back before the last offer.
    EXPECT_FALSE(IsUpdateOfferDue(today + 1, today));
    EXPECT_FALSE(IsUpdateOfferDue(today + 400, today));
}

TEST(UpdateCheck, HandEditedDaysAtTheLimitsDoNotOverflow) {
    EXPECT_TRUE(IsUpdateOfferDue(INT32_MIN, 45000));
    EXPECT_TRUE(IsUpdateOfferDue(INT32_MIN, INT32_MAX));
    EXPECT_FALSE(IsUpdateOfferDue(INT32_MAX, INT32_MIN));
    EXPECT_FALSE(IsUpdateOfferDue(INT32_MAX, 45000));
}

TEST(UpdateCheck, TheUpdatePageNamesTheVersionAndOnAU3DriveThePlatform) {
    EXPECT_EQ(UpdatePageUrl(u""), u"https://www.snipora.example/update.php?version=2.2");
    EXPECT_EQ(UpdatePageUrl(u"0000123"),
              u"https://www.snipora.example/update.php?platform=u3&version=2.2");
    // The serial itself never reaches the address.
    EXPECT_EQ(UpdatePageUrl(u"&x=1#"), UpdatePageUrl(u"1"));
}

TEST(UpdateCheck, HomePagesAndTheirShownHostNames) {
    EXPECT_EQ(ProductHomeUrl(), u"https://www.snipora.example/");
    EXPECT_EQ(MakerHomeUrl(), u"https://www.tervix.example/");
    EXPECT_EQ(HostName(kProductSite), u"www.snipora.example");
    EXPECT_EQ(HostName(kMakerSite), u"www.tervix.example");
    EXPECT_EQ(HostName(u"host.example/path"), u"host.example");
}

}  // namespace
}  // namespace snipora::web
