#include "common/DpiScale.h"

#include <gtest/gtest.h>

#include <climits>

#include "common/DarkModeBuilds.h"

namespace snipora {
namespace {

TEST(DpiScale, DesignUnitsRoundToTheNearestPixelHalvesAwayFromZero) {
    // 100, 125, 150, 175, 200 and 250 %.
    EXPECT_EQ(ScaleDesign(40, 96), 40);
    EXPECT_EQ(ScaleDesign(40, 120), 50);
    EXPECT_EQ(ScaleDesign(39, 144), 59);  // 58.5
    EXPECT_EQ(ScaleDesign(300, 144), 450);
    EXPECT_EQ(ScaleDesign(3, 168), 5);  // 5.25
    EXPECT_EQ(ScaleDesign(1, 192), 2);
    EXPECT_EQ(ScaleDesign(11, 240), 28);  // 27.5
    // A unit at 120: 1.25 is 1; 2 units are 2.5, so 3.
    EXPECT_EQ(ScaleDesign(1, 120), 1);
    EXPECT_EQ(ScaleDesign(2, 120), 3);
    EXPECT_EQ(ScaleDesign(0, 144), 0);
    EXPECT_EQ(ScaleDesign(-1, 144), -2);  // -1.5
    EXPECT_EQ(ScaleDesign(-3, 120), -4);  // -3.75
    // The largest sizes stay exact: no overflow on the way.
    EXPECT_EQ(ScaleDesign(INT_MAX / 4, 384), INT_MAX / 4 * 4);
    // Points: 10 points are 13 pixels at 96 (13.3), 20 at 144.
    EXPECT_EQ(ScaleBetween(10, 72, 96), 13);
    EXPECT_EQ(ScaleBetween(10, 72, 144), 20);
    EXPECT_EQ(ScaleBetween(7, 72, 120), 12);  // 11.67
    // From one monitor to another: a 300 pixel wide window at 144 is 200 at 96.
    EXPECT_EQ(ScaleBetween(300, 144, 96), 200);
    EXPECT_EQ(ScaleBetween(5, 0, 192), 10) << "an unknown scale counts as 96";
    EXPECT_EQ(ScaleBetween(5, 1, 2), 10) << "the smallest known scale";
}

TEST(DpiScale, TheWindowsOwnDpiComesFirstThenTheMonitorsThenTheSystems) {
    EXPECT_EQ(ChooseDpi(144, 120, 96), 144);
    EXPECT_EQ(ChooseDpi(0, 120, 96), 120);
    EXPECT_EQ(ChooseDpi(0, 0, 168), 168);
    EXPECT_EQ(ChooseDpi(-1, -1, 0), 96);
    EXPECT_EQ(ChooseDpi(0, 0, 0), 96);
}

TEST(DpiScale, AWindowAlreadySizedForTheNewScaleIsNotScaledAgain) {
    // The popup, 200 by 350 design units, takes 150 % (144 dpi) before it moves from a 100 %
    // monitor to the pointer on a 150 % one: the system proposes its 300 px scaled once more.
    const WindowBox popup{1930, 40, ScaleDesign(200, 144), ScaleDesign(350, 144)};
    const WindowBox twice{1930, 40, ScaleBetween(300, 96, 144), ScaleBetween(525, 96, 144)};
    ASSERT_EQ(twice.width, 450);
    EXPECT_EQ(BoxAfterDpiChange(popup, twice, 144, 144), (WindowBox{1930, 40, 300, 525}));
    // Back on a 100 % monitor, sized there first: 200 stays, not 133.
    const WindowBox back{100, 40, 200, 350};
    EXPECT_EQ(BoxAfterDpiChange(back, {100, 40, 133, 233}, 96, 96), back);
    // The bar dragged from 100 % to 150 %, sized for 96: it takes the system's box.
    const WindowBox dragged{1900, 10, 300, 44};
    EXPECT_EQ(BoxAfterDpiChange({1800, 10, 200, 29}, dragged, 96, 144), dragged);
    EXPECT_EQ(BoxAfterDpiChange({1800, 10, 200, 29}, dragged, 120, 144), dragged);
}

TEST(DarkModeBuilds, MenusAndTitleBarsTurnDarkOnlyOnBuildsKnownToHaveIt) {
    EXPECT_FALSE(MenusCanBeDark(0));
    EXPECT_FALSE(MenusCanBeDark(18361));
    EXPECT_TRUE(MenusCanBeDark(18362));
    EXPECT_TRUE(MenusCanBeDark(22631));
    EXPECT_EQ(DarkTitleBarAttribute(7601), 0);  // Windows 7
    EXPECT_EQ(DarkTitleBarAttribute(17762), 0);
    EXPECT_EQ(DarkTitleBarAttribute(17763), 19);
    EXPECT_EQ(DarkTitleBarAttribute(19040), 19);
    EXPECT_EQ(DarkTitleBarAttribute(19041), 20);
    EXPECT_EQ(DarkTitleBarAttribute(22000), 20);
}

}  // namespace
}  // namespace snipora
