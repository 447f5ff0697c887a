#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>

#include "view/ThemeWin.h"

namespace snipora {
namespace {

// High contrast draws with the system's window, window text, highlight and highlight text
// colours, each read for its own role. Four distinct colours are set for the test and the
// user's put back.
TEST(ThemeWin, TheFourSystemColoursAreReadForTheirRoles) {
    const int elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT};
    COLORREF saved[std::size(elements)];
    for (size_t i = 0; i < std::size(elements); ++i) {
        saved[i] = ::GetSysColor(elements[i]);
    }
    const COLORREF distinct[] = {RGB(0x10, 0x20, 0x30), RGB(0xE0, 0xD0, 0xC0),
                                 RGB(0x80, 0x00, 0x40), RGB(0x00, 0xF0, 0x0F)};
    ASSERT_TRUE(::SetSysColors(std::size(elements), elements, distinct));
    const SystemColours read = CurrentSystemColours();
    ::SetSysColors(std::size(elements), elements, saved);

    EXPECT_EQ(read.window, (Colour{0x10, 0x20, 0x30}));
    EXPECT_EQ(read.windowText, (Colour{0xE0, 0xD0, 0xC0}));
    EXPECT_EQ(read.highlight, (Colour{0x80, 0x00, 0x40}));
    EXPECT_EQ(read.highlightText, (Colour{0x00, 0xF0, 0x0F}));
    EXPECT_EQ(CurrentSystemColours().window, FromColorRef(saved[0])) << "not put back";
}

}  // namespace
}  // namespace snipora
