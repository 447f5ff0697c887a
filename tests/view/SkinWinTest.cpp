#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>

#include "common/Error.h"
#include "support/PixelsWin.h"
#include "view/SkinWin.h"
#include "win/Resources.h"
#include "win/UniqueGdiObject.h"

namespace snipora {
namespace {

using test::BitmapPixels;
using test::Rgb;

// A colour a given share of the way along a linear run, within one step of rounding.
void ExpectBetween(Rgb got, Rgb from, Rgb to, double share, int row) {
    EXPECT_NEAR(got.r, from.r + (to.r - from.r) * share, 1.0) << "row " << row;
    EXPECT_NEAR(got.g, from.g + (to.g - from.g) * share, 1.0) << "row " << row;
    EXPECT_NEAR(got.b, from.b + (to.b - from.b) * share, 1.0) << "row " << row;
}

TEST(SkinWin, TheResourceHoldsTwoBandsOfOneColourPerRow) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    win::UniqueBitmap plain(::LoadBitmapW(module, L"MAIN_SKIN"));
    EXPECT_TRUE(plain);
    win::UniqueBitmap skin = win::LoadBitmapResource(module, L"MAIN_SKIN");
    DIBSECTION section{};
    ASSERT_EQ(::GetObjectW(skin.Get(), sizeof section, &section), int{sizeof section});
    EXPECT_EQ(section.dsBm.bmWidth, 200);
    EXPECT_EQ(section.dsBm.bmHeight, 80);
    EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
    EXPECT_EQ(section.dsBmih.biCompression, DWORD{BI_RGB});

    const BitmapPixels pixels(skin.Get(), 200, 80);
    ASSERT_EQ(pixels.RowsRead(), 80);
    for (int y = 0; y < 80; ++y) {
        for (int x = 1; x < 200; ++x) {
            ASSERT_EQ(pixels.At(x, y), pixels.At(0, y)) << "row " << y << " column " << x;
        }
    }
    const Rgb line{0xA8, 0x7C, 0x40}, orangeTop{0xF3, 0xBD, 0x60}, orangeEnd{0xCC, 0x7D, 0x29};
    const Rgb blueTop{0xC0, 0xDE, 0xF7}, blueEnd{0x7A, 0xB2, 0xEF};
    EXPECT_EQ(pixels.At(0, 0), line);
    EXPECT_EQ(pixels.At(0, 1), orangeTop);
    EXPECT_EQ(pixels.At(0, 39), orangeEnd);
    EXPECT_EQ(pixels.At(0, 40), blueTop);
    EXPECT_EQ(pixels.At(0, 79), blueEnd);
    for (int y = 1; y < 40; ++y) {
        ExpectBetween(pixels.At(0, y), orangeTop, orangeEnd, (y - 1) / 38.0, y);
    }
    for (int y = 40; y < 80; ++y) {
        ExpectBetween(pixels.At(0, y), blueTop, blueEnd, (y - 40) / 39.0, y);
    }
}

TEST(SkinWin, AMissingResourceIsAnErrorNamingIt) {
    try {
        win::LoadBitmapResource(::GetModuleHandleW(nullptr), L"NO_SUCH_SKIN");
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_NE(std::string(e.what()).find("NO_SUCH_SKIN"), std::string::npos) << e.what();
    }
}

TEST(SkinWin, TheSkinIsLoadedOnceAndFreedWithItsOwner) {
    HBITMAP skin = nullptr;
    {
        Skin owner;
        skin = owner.GetSkin();
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(owner.GetSkin(), skin);
        BITMAP info{};
        ASSERT_NE(::GetObjectW(skin, sizeof info, &info), 0);
        EXPECT_EQ(info.bmWidth, 200);
        EXPECT_EQ(info.bmBitsPixel, 24);
    }
    BITMAP info{};
    EXPECT_EQ(::GetObjectW(skin, sizeof info, &info), 0);
}

TEST(SkinWin, AMissingSkinFailsOnceThenStaysEmpty) {
    Skin skin(::GetModuleHandleW(nullptr), L"NO_SUCH_SKIN");
    EXPECT_THROW(skin.GetSkin(), AppError);
    EXPECT_EQ(skin.GetSkin(), nullptr);
}

}  // namespace
}  // namespace snipora
