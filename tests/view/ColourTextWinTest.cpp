#include "view/ColourTextWin.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "win/Dpi.h"
#include "win/Gdi.h"
#include "win/UniqueGdiObject.h"

namespace snipora {
namespace {

constexpr int kWidth = 120, kHeight = 40;

// A 32-bit top-down bitmap in a memory DC, the row's font selected, text in black without a
// background; the pixels as 0x00RRGGBB.
class Surface {
public:
    Surface() {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<uint32_t*>(bits);
        ::SelectObject(dc_.Get(), bitmap_.Get());
        ::SelectObject(dc_.Get(), font_.Get());
        ::SetBkMode(dc_.Get(), TRANSPARENT);
        ::SetTextColor(dc_.Get(), RGB(0, 0, 0));
        // Two backgrounds side by side, so that a copy put back in the wrong place shows.
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                bits_[y * kWidth + x] = x < kWidth / 2 ? 0xFFFFFF : 0xC0E0F0;
            }
        }
    }
    HDC Dc() const { return dc_.Get(); }
    std::vector<uint32_t> Pixels() const {
        ::GdiFlush();
        return {bits_, bits_ + kWidth * kHeight};
    }

private:
    win::UniqueFont font_ = win::MakeFont(-win::Dpi(96).FromPoints(8));
    win::UniqueBitmap bitmap_;
    uint32_t* bits_ = nullptr;
    win::UniqueMemoryDc dc_{::CreateCompatibleDC(nullptr)};
};

// The lowest row with a pixel changed from `before` in columns [left, right), or -1.
int LowestInk(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after, int left,
              int right) {
    for (int y = kHeight - 1; y >= 0; --y) {
        for (int x = left; x < right; ++x) {
            if (before[y * kWidth + x] != after[y * kWidth + x]) {
                return y;
            }
        }
    }
    return -1;
}

// Without a colour glyph the line is left to the caller, untouched. Drawn all the same, it stays
// inside the clip rectangle, keeps the background it was drawn over, and sits on GDI's baseline
// for the font (the bottom of "ab", which has no descender, where TextOut puts it).
TEST(ColourText, DrawsOnGdisBaselineInsideTheClipOverTheBackground) {
    Surface surface;
    const auto text = ColourText::Create(surface.Dc());
    ASSERT_NE(text, nullptr);  // DirectWrite with IDWriteFactory2, as Wine 8 and Windows 8.1 have
    const std::vector<uint32_t> blank = surface.Pixels();
    const RECT clip{20, 6, 90, 30};
    const std::u16string line = u"ab\U0001F600 and a tail beyond the clip";

    // The fonts here have no colour glyphs.
    EXPECT_EQ(text->Draw(surface.Dc(), 24, 10, clip, line), ColourText::Outcome::NoColour);
    EXPECT_EQ(surface.Pixels(), blank);

    ASSERT_EQ(text->Draw(surface.Dc(), 24, 10, clip, line, true), ColourText::Outcome::Drawn);
    const std::vector<uint32_t> drawn = surface.Pixels();
    int inked = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool inside =
                x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
            const bool changed = drawn[y * kWidth + x] != blank[y * kWidth + x];
            if (!inside || y < 10 || x < 24) {
                ASSERT_FALSE(changed) << x << "," << y;
            }
            inked += changed;
        }
    }
    EXPECT_GT(inked, 20);
    // The tail runs on to the clip's edge, on both backgrounds.
    EXPECT_NE(LowestInk(blank, drawn, kWidth / 2, clip.right), -1);

    Surface gdi;
    ::TextOutW(gdi.Dc(), 24, 10, L"ab", 2);
    const int abWidth = [&] {
        SIZE size{};
        ::GetTextExtentPoint32W(gdi.Dc(), L"ab", 2, &size);
        return static_cast<int>(size.cx);
    }();
    EXPECT_EQ(LowestInk(blank, drawn, 24, 24 + abWidth),
              LowestInk(blank, gdi.Pixels(), 24, 24 + abWidth));
}

}  // namespace
}  // namespace snipora
