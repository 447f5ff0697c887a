#include <gtest/gtest.h>

#include "view/PreviewText.h"

namespace snipora {
namespace {

std::vector<std::u16string> Pieces(std::u16string_view text, size_t longest) {
    const PreviewPieces pieces = CutForPreview(text, longest);
    std::vector<std::u16string> out;
    for (size_t i = 0; i < pieces.starts.size(); ++i) {
        out.emplace_back(PieceText(text, pieces, i));
    }
    return out;
}

TEST(PreviewText, LinesAreCountedOnceAndLongOnesCutBetweenSurrogatePairs) {
    EXPECT_EQ(CutForPreview(u"").lines, 0u);
    EXPECT_TRUE(CutForPreview(u"").starts.empty());
    EXPECT_EQ(CutForPreview(u"a").lines, 1u);
    EXPECT_EQ(CutForPreview(u"a\r\n").lines, 1u);
    EXPECT_EQ(CutForPreview(u"a\r\nb\nc\rd").lines, 4u);
    EXPECT_EQ(CutForPreview(u"\n\n").lines, 2u);
    EXPECT_EQ(Pieces(u"a\r\nb\n\nc\r", 8), (std::vector<std::u16string>{u"a", u"b", u"", u"c"}));
    // Four units fit; the fifth starts a piece, but not the second half of a pair.
    EXPECT_EQ(Pieces(u"abcdefghi\nj", 4),
              (std::vector<std::u16string>{u"abcd", u"efgh", u"i", u"j"}));
    EXPECT_EQ(Pieces(u"abc\U0001F600de", 4),
              (std::vector<std::u16string>{u"abc", u"\U0001F600de"}));
    EXPECT_EQ(CutForPreview(u"abc\U0001F600de", 4).lines, 1u);
    EXPECT_EQ(Pieces(u"\U0001F600\U0001F600\U0001F600", 3),
              (std::vector<std::u16string>{u"\U0001F600", u"\U0001F600", u"\U0001F600"}));
}

TEST(PreviewText, TheHeadingCountsCharactersAndLines) {
    EXPECT_EQ(PreviewHeading(1, 1), u"1 character, 1 line");
    EXPECT_EQ(PreviewHeading(0, 0), u"0 characters, 0 lines");
    EXPECT_EQ(PreviewHeading(999, 1000), u"999 characters, 1,000 lines");
    EXPECT_EQ(PreviewHeading(12345678, 2), u"12,345,678 characters, 2 lines");
}

}  // namespace
}  // namespace snipora
