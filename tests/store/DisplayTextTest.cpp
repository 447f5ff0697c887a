#include <gtest/gtest.h>

#include "store/DisplayText.h"

namespace snipora {
namespace {

TEST(DisplayText, TakesTheFirstPreviewUnitsAndTrimsBothEnds) {
    EXPECT_EQ(MakeDisplayText(std::u16string(300, u'x')), std::u16string(200, u'x'));
    EXPECT_EQ(MakeDisplayText(u"  \t\r\n hello world \x01\x1f "), u"hello world");
    EXPECT_EQ(MakeDisplayText(u" \t \r\n "), u"");
    EXPECT_EQ(MakeDisplayText(u""), u"");
    // Code 33 ('!') and non-ASCII characters are not blanks.
    EXPECT_EQ(MakeDisplayText(u"!a\u00a0"), u"!a\u00a0");
}

TEST(DisplayText, TrimsOnlyWithinTheFirstPreviewUnits) {
    // Blanks at 190..199 are trimmed even though letters follow past the cut.
    std::u16string text(190, u'a');
    text += std::u16string(10, u' ');
    text += u"tail";
    EXPECT_EQ(MakeDisplayText(text), std::u16string(190, u'a'));
    // Leading blanks eat into the 200 units: what follows them past 200 is not shown.
    std::u16string lead = std::u16string(150, u' ') + std::u16string(100, u'b');
    EXPECT_EQ(MakeDisplayText(lead), std::u16string(50, u'b'));
}

TEST(DisplayText, NeverEndsInHalfASurrogatePair) {
    std::u16string text(199, u'a');
    text += u"\U0001F600";  // units 199 and 200: the pair is split by the cut
    EXPECT_EQ(MakeDisplayText(text), std::u16string(199, u'a'));
    std::u16string fits(198, u'a');
    fits += u"\U0001F600";  // the pair ends at unit 199: kept whole
    EXPECT_EQ(MakeDisplayText(fits + u"zzz"), fits);
}

TEST(DisplayText, CutsKeepSurrogatePairsWhole) {
    const std::u16string_view text = u"a\U0001F600\U0001F601b";  // a H L H L b
    const size_t before[] = {0, 1, 1, 3, 3, 5, 6};
    const size_t after[] = {0, 1, 3, 3, 5, 5, 6};
    for (size_t at = 0; at <= text.size(); ++at) {
        EXPECT_EQ(CutBefore(text, at), before[at]) << at;
        EXPECT_EQ(CutAfter(text, at), after[at]) << at;
    }
    // Lone halves are no pairs: a cut between them stays.
    EXPECT_EQ(CutBefore(u"\xDC00\xD800", 1), 1u);
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00};
    EXPECT_EQ(CutBefore({lone, 4}, 2), 2u);
    EXPECT_EQ(CutAfter({lone, 4}, 3), 3u);
    // The pair at the very start and the very end.
    EXPECT_EQ(CutBefore(u"\U0001F600", 1), 0u);
    EXPECT_EQ(CutAfter(u"\U0001F600", 1), 2u);
}

TEST(DisplayText, TheBarShowsOneLine) {
    EXPECT_EQ(MakeBarText(u"one\r\ntwo\tthree\x01\U0001F600"), u"one  two three \U0001F600");
    EXPECT_EQ(MakeBarText(u""), u"");
}

}  // namespace
}  // namespace snipora
