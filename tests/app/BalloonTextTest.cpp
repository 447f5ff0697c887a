#include "app/BalloonText.h"

#include <gtest/gtest.h>

namespace snipora {
namespace {

// Lines of at most 10 units here: a line breaks after a blank, which it keeps at its end (a
// blank just past the line too); a path breaks after a separator; a word without one where the
// line is full; a pair stays whole. The lines joined are the text again.
TEST(BalloonText, LinesBreakAtBlanksThenSeparatorsThenAnywhereButInsideAPair) {
    EXPECT_EQ(BalloonText(u"", 10), u"");
    EXPECT_EQ(BalloonText(u"0123456789", 10), u"0123456789");
    EXPECT_EQ(BalloonText(u"0123456789 abc", 10), u"0123456789 \nabc") << "the blank just past";
    EXPECT_EQ(BalloonText(u"one two three four", 10), u"one two \nthree four");
    EXPECT_EQ(BalloonText(u"C:\\Users\\root\\data.dat", 10), u"C:\\Users\\\nroot\\\ndata.dat");
    EXPECT_EQ(BalloonText(u"abcdefghijklm", 10), u"abcdefghij\nklm");
    EXPECT_EQ(BalloonText(u"abcdefghi\U0001F600x", 10), u"abcdefghi\n\U0001F600x");
    EXPECT_EQ(BalloonText(u"a\U0001F600b", 2), u"a\n\U0001F600\nb");
    EXPECT_EQ(BalloonText(u"\U0001F600ab", 1), u"\U0001F600\na\nb") << "a pair wider than a line";
    EXPECT_EQ(BalloonText(u"first\nsecond line here", 10), u"first\nsecond \nline here");
    EXPECT_EQ(BalloonText(u"ends\n", 10), u"ends\n");
}

// The system keeps 255 units: a longer text ends with "…" at the 255th, never half a pair.
TEST(BalloonText, ALongTextEndsWithAnEllipsisWithinTheLimit) {
    const std::u16string words = u"word ";
    std::u16string text;
    while (text.size() < 400) {
        text += words;
    }
    const std::u16string shown = BalloonText(text);
    ASSERT_EQ(shown.size(), kBalloonTextLimit);
    EXPECT_EQ(shown.back(), u'\u2026');
    EXPECT_EQ(shown.find(u"\n"), 50u) << "ten words of five units";
    EXPECT_EQ(BalloonText(u"12345678\U0001F600", 100, 10), u"12345678\U0001F600") << "10 fit";
    EXPECT_EQ(BalloonText(u"12345678\U0001F600x", 100, 10), u"12345678\u2026");
    EXPECT_EQ(BalloonText(u"123456789\U0001F600", 100, 10), u"123456789\u2026");
    EXPECT_EQ(BalloonText(u"123456789\U0001F600"), u"123456789\U0001F600");
}

}  // namespace
}  // namespace snipora
