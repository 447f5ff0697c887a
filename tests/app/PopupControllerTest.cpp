#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "app/PopupController.h"

namespace snipora {
namespace {

// A window on a 1920 x 1040 work area, with a pointer and a keyboard under the test's control.
class FakeHost final : public IPopupHost {
public:
    Rect window{1640, 0, 1840, 29};
    bool translucent = true;
    int translucentCalls = 0;
    bool treeShown = false;
    bool buttonDown = false;
    bool active = false;
    Point cursor{0, 500};
    std::set<uint8_t> down;
    std::vector<uint8_t> asked;
    int targets = 0;
    int focusTaken = 0;
    int returned = 0;
    Rect workArea{0, 0, 1920, 1040};
    Rect secondMonitor{1920, 0, 3200, 1024};

    Rect WindowRect() override { return window; }
    void MoveWindowTo(int left, int top) override {
        window = {left, top, left + window.Width(), top + window.Height()};
    }
    void SetWindowWidth(int width) override { window.right = window.left + width; }
    void SetWindowHeight(int height) override { window.bottom = window.top + height; }
    int CollapsedHeight() override { return 29; }
    void SetTranslucent(bool value) override {
        translucent = value;
        ++translucentCalls;
    }
    void ShowTree(bool show) override { treeShown = show; }
    void SetButtonDown(bool value) override { buttonDown = value; }
    bool IsActive() override { return active; }
    Point CursorPos() override { return cursor; }
    Point PointerAtTick() override { return cursor; }
    bool IsKeyDown(uint8_t vk) override {
        asked.push_back(vk);
        return down.count(vk) != 0;
    }
    void RememberTarget() override { ++targets; }
    void TakeFocus() override { ++focusTaken; }
    void ReturnToTarget() override { ++returned; }
    Rect WorkAreaAt(Point p) override { return p.x >= 1920 ? secondMonitor : workArea; }
    void MatchMonitorAt(Point p) override {
        if (onMatch) {
            onMatch(p);
        }
    }
    std::function<void(Point)> onMatch;
};

TriggerKeys Keys(int primary, int hotKey, int secondary) {
    return MakeTriggerKeys(primary, hotKey, [secondary] { return secondary; });
}

class PopupTest : public ::testing::Test {
protected:
    PopupTest() : popup(host) {
        popup.ApplySettings(200, 388, Keys(1, keys::kDefaultSecHotKeyValue, 1));
        popup.SetExpanded(false);
    }
    FakeHost host;
    PopupController popup;
};

TEST(TriggerKeys, FromSettings) {
    TriggerKeys keys = Keys(1, 0xC056, 1);
    EXPECT_EQ(keys.primary, (std::vector<uint8_t>{kVkControl, kVkLButton}));
    EXPECT_EQ(keys.secondary, (std::vector<uint8_t>{kVkControl, kVkMenu, 0x56}));
    EXPECT_TRUE(keys.primaryEnabled);
    EXPECT_TRUE(keys.secondaryEnabled);
    // As the system takes it: V with Ctrl and Alt, never repeated.
    EXPECT_EQ(keys.systemKey, 0x56);
    EXPECT_EQ(keys.systemModifiers, kHotKeyControl | kHotKeyAlt | kHotKeyNoRepeat);

    EXPECT_FALSE(Keys(0, 0xC056, 1).primaryEnabled);
    EXPECT_FALSE(Keys(2, 0xC056, 1).primaryEnabled);  // only 1 means on
    EXPECT_FALSE(Keys(1, 0xC056, 0).secondaryEnabled);
    // Shift + key, and bits 8 to 12 and above 15 ignored.
    EXPECT_EQ(Keys(1, 0x12000 | 0x1F00 | 0x41, 1).secondary,
              (std::vector<uint8_t>{kVkShift, 0x41}));
    EXPECT_EQ(Keys(1, 0xE000 | 0x70, 1).secondary,
              (std::vector<uint8_t>{kVkControl, kVkMenu, kVkShift, 0x70}));
    EXPECT_EQ(Keys(1, 0xE000 | 0x70, 1).systemModifiers,
              kHotKeyShift | kHotKeyControl | kHotKeyAlt | kHotKeyNoRepeat);
    EXPECT_EQ(Keys(1, 0x2041, 1).systemModifiers, kHotKeyShift | kHotKeyNoRepeat);

    // A value of 0 is off, and the enabled setting is then not even read.
    bool read = false;
    TriggerKeys off = MakeTriggerKeys(1, 0x10000, [&] {
        read = true;
        return 1;
    });
    EXPECT_FALSE(off.secondaryEnabled);
    EXPECT_FALSE(read);

    // The modifier bits override a key code that is itself a modifier: such a hot key has no
    // key for the system to keep, and can only be watched.
    EXPECT_TRUE(Keys(1, 0x0011, 1).secondary.empty());
    EXPECT_EQ(Keys(1, 0x4011, 1).secondary, (std::vector<uint8_t>{kVkControl}));
    EXPECT_EQ(Keys(1, 0x4011, 1).systemKey, 0);
}

TEST(Placement, BesideThePointerOrAboveAndLeftNearTheFarEdges) {
    const Rect area{0, 0, 1920, 1040};
    EXPECT_EQ(PlaceBesidePointer({100, 200}, area, 200, 388).x, 101);
    EXPECT_EQ(PlaceBesidePointer({100, 200}, area, 200, 388).y, 201);
    const Point corner = PlaceBesidePointer({1919, 1039}, area, 200, 388);
    EXPECT_EQ(corner.x, 1919 - 200 - 1);
    EXPECT_EQ(corner.y, 1039 - 388 - 1);
    // Exactly reaching the edge counts as too far, on either axis; a pixel short still fits.
    const Point atEdge = PlaceBesidePointer({1720, 652}, area, 200, 388);
    EXPECT_EQ(atEdge.x, 1519);
    EXPECT_EQ(atEdge.y, 263);
    const Point short1 = PlaceBesidePointer({1719, 651}, area, 200, 388);
    EXPECT_EQ(short1.x, 1720);
    EXPECT_EQ(short1.y, 652);
}

TEST(Placement, NeverAboveOrLeftOfTheWorkArea) {
    // Too tall for either side of the pointer, it starts at the top; too wide, at the left.
    const Rect area{-1280, 100, 0, 700};
    const Point corner = PlaceBesidePointer({-1000, 400}, area, 200, 388);
    EXPECT_EQ(corner.y, 100);
    EXPECT_EQ(PlaceBesidePointer({-1000, 489}, area, 200, 388).y, 100);
    EXPECT_EQ(PlaceBesidePointer({-1000, 490}, area, 200, 388).y, 101);
    EXPECT_EQ(PlaceBesidePointer({-300, 150}, area, 1100, 388).x, -1280);
    EXPECT_EQ(PlaceBesidePointer({-1101, 150}, area, 1100, 388).x, -1100);
}

TEST(Placement, TheBarsButtonIsKeptOnTheWorkArea) {
    const Rect area{0, 0, 1920, 1040};
    const auto keep = [&area](Rect bar, const Rect* work = nullptr) {
        const Rect button{bar.right - 21, bar.top + 1, bar.right - 1, bar.top + 28};
        return KeepButtonOnWorkArea(bar, button, work != nullptr ? *work : area);
    };
    // Whole on the area, up to its edges: left alone, even with the bar's left end off it.
    EXPECT_EQ(keep({1720, 1011, 1920, 1040}).x, 1720);
    EXPECT_EQ(keep({1720, 1011, 1920, 1040}).y, 1011);
    EXPECT_EQ(keep({-150, 0, 50, 29}).x, -150);
    // Above the screen, or one pixel of the button off the right or the bottom.
    EXPECT_EQ(keep({100, -400, 300, -371}).y, 0);
    EXPECT_EQ(keep({100, -400, 300, -371}).x, 100);
    EXPECT_EQ(keep({1721, 0, 1921, 29}).x, 1721);
    EXPECT_EQ(keep({1722, 0, 1922, 29}).x, 1720);
    EXPECT_EQ(keep({500, 1012, 700, 1041}).y, 1012);
    EXPECT_EQ(keep({500, 1013, 700, 1042}).y, 1011);
    // Wider than the area: the right end, with the button, stays in sight.
    EXPECT_EQ(keep({100, 0, 2100, 29}).x, -80);
    // A monitor left of and above the main one keeps its negative place.
    const Rect left{-1280, -200, 0, 824};
    EXPECT_EQ(keep({-600, -150, -400, -121}, &left).x, -600);
    EXPECT_EQ(keep({-600, -150, -400, -121}, &left).y, -150);
    EXPECT_EQ(keep({-600, -250, -400, -221}, &left).y, -200);
}

TEST(Placement, NearMeansWithinThirtyPixelsStrictly) {
    const Rect window{100, 100, 300, 129};
    EXPECT_TRUE(IsNear({71, 99}, window, 30));
    EXPECT_FALSE(IsNear({70, 110}, window, 30));
    EXPECT_TRUE(IsNear({329, 158}, window, 30));
    EXPECT_FALSE(IsNear({330, 110}, window, 30));
    EXPECT_FALSE(IsNear({200, 159}, window, 30));
}

TEST_F(PopupTest, CtrlClickOpensBesideThePointerAndLeavingReturnsHome) {
    host.cursor = {500, 300};
    popup.Tick();
    EXPECT_FALSE(popup.Expanded());
    host.down = {kVkControl, kVkLButton};
    popup.Tick();
    EXPECT_TRUE(popup.Expanded());
    EXPECT_TRUE(popup.AtCursor());
    EXPECT_EQ(host.targets, 1);
    EXPECT_EQ(host.focusTaken, 0);  // the mouse gesture leaves the keyboard where it is
    EXPECT_EQ(host.window.left, 501);
    EXPECT_EQ(host.window.top, 301);
    EXPECT_EQ(host.window.Height(), 388);
    EXPECT_TRUE(host.treeShown);
    EXPECT_TRUE(host.buttonDown);
    EXPECT_FALSE(host.translucent);

    // Held keys do not place it again; no key is even asked while it stands at the pointer.
    host.asked.clear();
    host.cursor = {520, 320};
    popup.Tick();
    EXPECT_EQ(host.window.left, 501);
    EXPECT_TRUE(host.asked.empty());

    host.down.clear();
    host.cursor = {1000, 900};
    popup.Tick();
    EXPECT_FALSE(popup.Expanded());
    EXPECT_FALSE(popup.AtCursor());
    EXPECT_EQ(host.window.left, 1640);
    EXPECT_EQ(host.window.top, 0);
    EXPECT_EQ(host.window.Height(), 29);
    EXPECT_FALSE(host.translucent);  // the collapsed bar turns translucent on the next tick
    popup.Tick();
    EXPECT_TRUE(host.translucent);
}

TEST_F(PopupTest, TheHotKeyGivesThePopupTheKeyboardUntilItLosesActivationOrEscCloses) {
    host.down = {kVkControl, kVkMenu, 0x56};
    host.cursor = {500, 300};
    EXPECT_TRUE(popup.HotKeyDown());
    popup.Tick();
    ASSERT_TRUE(popup.Expanded());
    EXPECT_EQ(host.focusTaken, 1);
    host.down.clear();
    EXPECT_FALSE(popup.HotKeyDown());
    host.active = true;
    host.cursor = {1500, 900};
    popup.Tick();
    EXPECT_TRUE(popup.Expanded());
    host.active = false;
    popup.Tick();
    EXPECT_FALSE(popup.Expanded());
    EXPECT_EQ(host.window.left, 1640);

    // Losing activation closes it even with the pointer over it.
    host.down = {kVkControl, kVkMenu, 0x56};
    host.cursor = {500, 300};
    popup.Tick();
    host.down.clear();
    host.active = true;
    popup.Deactivated();
    EXPECT_FALSE(popup.Expanded());
    EXPECT_EQ(host.window.left, 1640);
    EXPECT_EQ(host.returned, 0);

    // Esc hands the keyboard back to the window it was summoned over; opened with the button
    // there is none.
    host.down = {kVkControl, kVkMenu, 0x56};
    popup.Tick();
    popup.Dismiss();
    EXPECT_FALSE(popup.Expanded());
    EXPECT_EQ(host.returned, 1);
    popup.SetExpanded(true);
    popup.Dismiss();
    EXPECT_FALSE(popup.Expanded());
    EXPECT_EQ(host.returned, 1);
}

// The system reports a registered hot key: its keys are no longer watched, a report opens the
// popup with the keyboard, and a report while it stands at the pointer changes nothing.
TEST_F(PopupTest, AReportedHotKeyOpensWithTheKeyboardAndCtrlClickStaysWithout) {
    popup.SetHotKeyWatched(false);
    host.down = {kVkControl, kVkMenu, 0x56};
    host.cursor = {500, 300};
    popup.Tick();
    EXPECT_FALSE(popup.Expanded());
    popup.HotKeyPressed();
    ASSERT_TRUE(popup.Expanded());
    EXPECT_EQ(host.focusTaken, 1);
    EXPECT_EQ(host.targets, 1);
    EXPECT_EQ(host.window.left, 501);
    popup.HotKeyPressed();
    EXPECT_EQ(host.focusTaken, 1);
    EXPECT_EQ(host.targets, 1);
    popup.Dismiss();

    // A Ctrl+click with the hot key's keys held as well opens without the keyboard, watched or
    // reported.
    for (bool watched : {true, false}) {
        popup.SetHotKeyWatched(watched);
        host.down = {kVkControl, kVkMenu, 0x56, kVkLButton};
        popup.Tick();
        ASSERT_TRUE(popup.Expanded()) << watched;
        popup.HotKeyPressed();
        EXPECT_EQ(host.focusTaken, 1) << watched;
        host.down.clear();
        popup.Dismiss();
    }

    // A hot key of no keys is never down, whatever is held.
    popup.ApplySettings(200, 388, Keys(1, 0x0011, 1));
    host.down = {kVkControl, kVkMenu, kVkShift, 0x11};
    EXPECT_FALSE(popup.HotKeyDown());
}

TEST_F(PopupTest, TheButtonOpensInPlaceAndATriggerMakesThatPlaceHome) {
    host.cursor = {1700, 10};
    popup.SetExpanded(true);
    EXPECT_FALSE(popup.AtCursor());
    EXPECT_EQ(host.window.left, 1640);
    EXPECT_EQ(host.targets, 0);
    host.MoveWindowTo(1000, 50);  // dragged while open
    host.cursor = {400, 400};
    host.down = {kVkControl, kVkLButton};
    popup.Tick();
    EXPECT_EQ(host.window.left, 401);
    popup.SetExpanded(false);
    EXPECT_EQ(host.window.left, 1000);
    EXPECT_EQ(host.window.top, 50);
}

TEST_F(PopupTest, AlphaFollowsThePointerAndChangesOnlyWhenItMust) {
    host.cursor = {1700, 10};
    popup.Tick();
    EXPECT_FALSE(host.translucent);
    host.cursor = {10, 900};
    popup.Tick();
    EXPECT_TRUE(host.translucent);
    const int calls = host.translucentCalls;
    for (int i = 0; i < 50; ++i) {
        popup.Tick();
    }
    EXPECT_EQ(host.translucentCalls, calls);
}

TEST_F(PopupTest, OnlyTheMarkedKeysAreAskedAndDisabledTriggersNeverFire) {
    host.cursor = {10, 900};
    host.asked.clear();
    popup.Tick();
    // At rest Ctrl is up: that one question settles both triggers.
    EXPECT_EQ(host.asked, (std::vector<uint8_t>{kVkControl}));
    host.down = {kVkControl};
    host.asked.clear();
    popup.Tick();
    EXPECT_EQ(host.asked, (std::vector<uint8_t>{kVkControl, kVkLButton, kVkMenu}));

    popup.ApplySettings(200, 388, Keys(0, 0, 1));
    host.down = {kVkControl, kVkLButton, kVkMenu, 0x56, 0};
    host.asked.clear();
    popup.Tick();
    EXPECT_FALSE(popup.Expanded());

    // A hot key made only of a modifier code with its bit clear has no keys: it never fires.
    popup.ApplySettings(200, 388, Keys(0, 0x0010, 1));
    popup.Tick();
    EXPECT_FALSE(popup.Expanded());

    // Shift is needed when bit 13 is set; extra keys held do not matter.
    popup.ApplySettings(200, 388, Keys(0, 0x2000 | 0x4000 | 0x41, 1));
    host.down = {kVkControl, 0x41};
    popup.Tick();
    EXPECT_FALSE(popup.Expanded());
    host.down = {kVkControl, kVkShift, kVkMenu, 0x41};
    popup.Tick();
    EXPECT_TRUE(popup.Expanded());
}

TEST_F(PopupTest, SettingsChangeTheWidthAtOnceAndTheHeightFromTheNextExpansion) {
    popup.SetExpanded(true);
    popup.ApplySettings(300, 500, Keys(1, keys::kDefaultSecHotKeyValue, 1));
    EXPECT_EQ(host.window.Width(), 300);
    EXPECT_EQ(host.window.Height(), 388);
    popup.SetExpanded(false);
    popup.SetExpanded(true);
    EXPECT_EQ(host.window.Height(), 500);
}

TEST_F(PopupTest, OpensOnTheMonitorUnderThePointer) {
    host.cursor = {3100, 1000};
    host.down = {kVkControl, kVkLButton};
    popup.Tick();
    EXPECT_EQ(host.window.left, 3100 - 200 - 1);
    EXPECT_EQ(host.window.top, 1000 - 388 - 1);
}

// A popup summoned on a monitor of another scale takes that scale's size before it is placed,
// so that it opens whole at its final size and place.
TEST_F(PopupTest, OpeningOnAnotherMonitorTakesItsScaleBeforeItIsPlaced) {
    std::vector<Point> asked;
    host.onMatch = [&](Point p) {
        asked.push_back(p);
        popup.Resize(p.x >= 1920 ? 300 : 200, p.x >= 1920 ? 582 : 388);
    };
    host.cursor = {3190, 1000};
    popup.HotKeyPressed();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].x, 3190);
    EXPECT_EQ(host.window.Width(), 300);
    EXPECT_EQ(host.window.Height(), 582);
    EXPECT_LE(host.window.right, 3200);
    EXPECT_LE(host.window.bottom, 1024);
    EXPECT_GE(host.window.left, 1920);
    // Resized while closed: the bar keeps its collapsed height.
    popup.Dismiss();
    popup.Resize(200, 388);
    EXPECT_EQ(host.window.Height(), 29);
    popup.SetExpanded(true);  // opened in place: the height for this monitor
    EXPECT_EQ(host.window.Height(), 388);
}

}  // namespace
}  // namespace snipora
