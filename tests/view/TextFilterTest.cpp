#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "view/TextFilter.h"

namespace snipora {
namespace {

TextFilter Filter(std::u16string_view text) {
    return TextFilter(text, SystemCaseFolding());
}

TEST(TextFilter, IgnoresCaseInEveryScript) {
    EXPECT_TRUE(Filter(u"FOX").Matches(u"the quick brown fox"));
    EXPECT_EQ(Filter(u"Brown").Find(u"the quick bROWN fox"), 10u);
    EXPECT_TRUE(Filter(u"\u00e4rger").Matches(u"\u00c4RGER"));  // Latin-1
    // The first and last capitals of Latin-1 that have a small form, both ways.
    EXPECT_TRUE(Filter(u"\u00c0\u00de").Matches(u"\u00e0\u00fe"));
    EXPECT_TRUE(Filter(u"\u00e0\u00fe").Matches(u"\u00c0\u00de"));
    EXPECT_TRUE(Filter(u"\u0441\u043b\u043e\u0432\u043e")
                    .Matches(u"\u0421\u041b\u041e\u0412\u041e"));  // Cyrillic
    EXPECT_TRUE(Filter(u"\u03c3\u03bf\u03c6\u03b9\u03b1")
                    .Matches(u"\u03a3\u039f\u03a6\u0399\u0391"));   // Greek
    EXPECT_TRUE(Filter(u"\u0151z").Matches(u"\u0150Z"));            // Latin Extended-A
    EXPECT_TRUE(Filter(u"\uff41\uff42").Matches(u"\uff21\uff22"));  // fullwidth
    // The final sigma and the long s meet their other forms.
    EXPECT_TRUE(Filter(u"\u03c3").Matches(u"\u03c2"));
    EXPECT_TRUE(Filter(u"s").Matches(u"\u017f"));
    // Different letters stay different; ideographs and surrogate pairs compare as they are.
    EXPECT_FALSE(Filter(u"a").Matches(u"\u00e4"));
    EXPECT_TRUE(Filter(u"\u4e2d\U0001F600").Matches(u"x\u4e2d\U0001F600"));
    EXPECT_FALSE(Filter(u"\U0001F600").Matches(u"\U0001F601"));
    // Without the system's rules, every unit stands for itself alone.
    static const CaseFolding exact(nullptr);
    EXPECT_EQ(TextFilter(u"ab", exact).Find(u"AB ab"), 3u);
    EXPECT_EQ(TextFilter(u"abc", exact).Find(u"ABC abc"), 4u);

    // A filter narrows one it holds, in any case, under the same rules only.
    EXPECT_TRUE(Filter(u"xABc").Narrows(Filter(u"ab")));
    EXPECT_TRUE(Filter(u"ab").Narrows(Filter(u"")));
    EXPECT_FALSE(Filter(u"a").Narrows(Filter(u"ab")));
    EXPECT_FALSE(Filter(u"ab").Narrows(TextFilter(u"ab", exact)));
}

TEST(TextFilter, SearchesTheWholeTextWithinOneLine) {
    // An empty filter lets everything through, the empty text too.
    EXPECT_TRUE(Filter(u"").Empty());
    EXPECT_TRUE(Filter(u"").Matches(u""));
    EXPECT_FALSE(Filter(u"a").Matches(u""));
    // Far beyond the 200 units that a row shows, and at the very end.
    const std::u16string longText = std::u16string(5000, u'x') + u"Needle";
    EXPECT_EQ(Filter(u"needle").Find(longText), 5000u);
    EXPECT_FALSE(Filter(u"needles").Matches(longText));
    // Never across a line break, even when the filter holds the break itself.
    EXPECT_FALSE(Filter(u"first second").Matches(u"first\r\nsecond"));
    EXPECT_FALSE(Filter(u"t\r\ns").Matches(u"first\r\nsecond"));
    EXPECT_FALSE(Filter(u"t\ns").Matches(u"first\nsecond"));
    EXPECT_TRUE(Filter(u"second").Matches(u"first\r\nsecond"));
    // A partial match before the real one; the first of two, whichever form starts it, for
    // letters of two, three and more forms.
    EXPECT_EQ(Filter(u"aab").Find(u"aaaab"), 2u);
    EXPECT_EQ(Filter(u"abC").Find(u"xxABcabc"), 2u);
    EXPECT_EQ(Filter(u"sx").Find(u"s \u017fX"), 2u);
    EXPECT_EQ(Filter(u"\u03b8x").Find(u"\u03b8 \u03d1X \u0398x"), 2u);
    EXPECT_EQ(Filter(u"\u03b8x").Find(u"zzzzzzzzzzzz\u03b8 \u03d1X \u0398x"), 14u);
    // A longer filter moves on by the unit under its end, in any of its forms; units that share
    // a low byte (a, \u0161) move it the shortest way.
    EXPECT_EQ(Filter(u"bax").Find(u"zBAX"), 1u);
    EXPECT_EQ(Filter(u"\u0161ab").Find(u"z\u0160Ab"), 1u);
    // A filter looks at sixteen or eight starts at a time, by its first unit or from three units
    // on by its first two: a match at every place of a text, after starts that lead nowhere in
    // the same block (on the first unit, on the first two, at every unit), and in the last few
    // starts.
    const auto none = std::optional<size_t>();
    for (size_t length = 2; length < 60; ++length) {
        TextFilter::AllowWideBlocks(length % 2 == 0);
        for (size_t at = 0; at + 2 <= length; ++at) {
            const std::u16string text =
                std::u16string(at, u'q') + u"Qz" + std::u16string(length - at - 2, u'q');
            EXPECT_EQ(Filter(u"qZ").Find(text), at) << length << " " << at;
            EXPECT_EQ(Filter(u"Z").Find(text), at + 1) << length << " " << at;
            EXPECT_FALSE(Filter(u"zq").Matches(text.substr(0, at + 2))) << length << " " << at;
            EXPECT_EQ(Filter(u"QzQ").Find(text), at + 3 <= length ? at : none) << length << at;
            EXPECT_EQ(Filter(u"qqZ").Find(text), at > 0 ? at - 1 : none) << length << " " << at;
            EXPECT_FALSE(Filter(u"qzz").Matches(text)) << length << " " << at;
        }
    }
    TextFilter::AllowWideBlocks(true);
}

TEST(TextFilter, TypingExtendsOrShortensTheFilterByWholeCharacters) {
    using Effect = Typed::Effect;
    std::u16string filter;
    const auto type = [&](char16_t unit) { return TypeInto(filter, unit); };
    EXPECT_EQ(type(u'\b').effect, Effect::Nothing);
    EXPECT_EQ(type(u'\x1b').effect, Effect::Nothing);  // Esc is a key, not text
    EXPECT_EQ(type(u'\x7f').effect, Effect::Nothing);
    EXPECT_EQ(type(u'\x1f').effect, Effect::Nothing);
    EXPECT_TRUE(filter.empty());
    // Digits are text here, the first one too: the key rule has already said they search.
    EXPECT_EQ(type(u'1').effect, Effect::FilterChanged);
    EXPECT_EQ(type(u'2').effect, Effect::FilterChanged);
    EXPECT_EQ(type(u' ').effect, Effect::FilterChanged);
    EXPECT_EQ(filter, u"12 ");
    // Backspace takes a whole character, a surrogate pair too.
    filter = u"a\U0001F600";
    EXPECT_EQ(type(u'\b').effect, Effect::FilterChanged);
    EXPECT_EQ(filter, u"a");
    EXPECT_EQ(type(u'\b').effect, Effect::FilterChanged);
    EXPECT_EQ(filter, u"");
}

}  // namespace
}  // namespace snipora
