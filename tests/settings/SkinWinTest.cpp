#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/Error.h"
#include "settings/SettingsStorageWin.h"
#include "win/Resources.h"
#include "win/UniqueGdiObject.h"

namespace snipora::Settings {
namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

// The bitmap's pixels, top row first, read back as 24-bit rows.
std::vector<std::vector<Rgb>> Pixels(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) / 4 * 4;
    std::vector<BYTE> bytes(static_cast<size_t>(stride) * height);
    win::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    EXPECT_EQ(::GetDIBits(dc.Get(), bitmap, 0, height, bytes.data(), &info, DIB_RGB_COLORS),
              height);
    std::vector<std::vector<Rgb>> rows(height, std::vector<Rgb>(width));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const BYTE* p = &bytes[static_cast<size_t>(y) * stride + x * 3];
            rows[y][x] = {p[2], p[1], p[0]};
        }
    }
    return rows;
}

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

    const auto rows = Pixels(skin.Get(), 200, 80);
    for (int y = 0; y < 80; ++y) {
        for (int x = 1; x < 200; ++x) {
            ASSERT_EQ(rows[y][x], rows[y][0]) << "row " << y << " column " << x;
        }
    }
    const Rgb line{0xA8, 0x7C, 0x40}, orangeTop{0xF3, 0xBD, 0x60}, orangeEnd{0xCC, 0x7D, 0x29};
    const Rgb blueTop{0xC0, 0xDE, 0xF7}, blueEnd{0x7A, 0xB2, 0xEF};
    EXPECT_EQ(rows[0][0], line);
    EXPECT_EQ(rows[1][0], orangeTop);
    EXPECT_EQ(rows[39][0], orangeEnd);
    EXPECT_EQ(rows[40][0], blueTop);
    EXPECT_EQ(rows[79][0], blueEnd);
    for (int y = 1; y < 40; ++y) {
        ExpectBetween(rows[y][0], orangeTop, orangeEnd, (y - 1) / 38.0, y);
    }
    for (int y = 40; y < 80; ++y) {
        ExpectBetween(rows[y][0], blueTop, blueEnd, (y - 40) / 39.0, y);
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

TEST(SkinWin, TheStorageLoadsTheSkinOnceAndFreesIt) {
    Win32SettingsPlatform platform;
    HBITMAP skin = nullptr;
    {
        CSettingsStorage storage(u"unused.ini", true, platform);
        skin = static_cast<HBITMAP>(storage.GetSkin());
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(storage.GetSkin(), skin);
        BITMAP info{};
        ASSERT_NE(::GetObjectW(skin, sizeof info, &info), 0);
        EXPECT_EQ(info.bmWidth, 200);
        EXPECT_EQ(info.bmBitsPixel, 24);
    }
    BITMAP info{};
    EXPECT_EQ(::GetObjectW(skin, sizeof info, &info), 0);
}

}  // namespace
}  // namespace snipora::Settings
