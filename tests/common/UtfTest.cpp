#include <gtest/gtest.h>

#include "common/Error.h"
#include "common/Utf.h"

namespace snipora {
namespace {

TEST(Utf, RoundTripsEveryPlane) {
    const std::u16string text = u"a\u00e9\u4e2d\U0001F600z";
    EXPECT_EQ(Utf16ToUtf8(text), "a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80z");
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
}

// Each side of every change in the UTF-8 sequence's length, both ways.
TEST(Utf, EncodingLengthEdges) {
    const struct {
        std::u16string utf16;
        std::string utf8;
    } edges[] = {
        {u"\u007F", "\x7f"},
        {u"\u0080", "\xc2\x80"},
        {u"\u07FF", "\xdf\xbf"},
        {u"\u0800", "\xe0\xa0\x80"},
        {u"\uFFFF", "\xef\xbf\xbf"},
        {u"\U00010000", "\xf0\x90\x80\x80"},
        {u"\U0010FFFF", "\xf4\x8f\xbf\xbf"},
    };
    for (const auto& edge : edges) {
        EXPECT_EQ(Utf16ToUtf8(edge.utf16), edge.utf8) << edge.utf8.size();
        EXPECT_EQ(Utf8ToUtf16(edge.utf8), edge.utf16) << edge.utf8.size();
    }
    // One past the last code point is no character.
    EXPECT_EQ(Utf8ToUtf16("\xf4\x90\x80\x80"), u"\uFFFD");
}

TEST(Utf, IllFormedInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xef\xbf\xbdx");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xef\xbf\xbd");
    // A view that ends in a high surrogate whose partner lies beyond it.
    const std::u16string pair = u"a\U0001F600";
    EXPECT_EQ(Utf16ToUtf8(std::u16string_view(pair).substr(0, 2)), "a\xef\xbf\xbd");
    EXPECT_EQ(Utf8ToUtf16("\xff"
                          "a"),
              u"\uFFFDa");
    EXPECT_EQ(Utf8ToUtf16("\xe4\xb8"), u"\uFFFD");  // cut short
    // Cut by the end of a view: the bytes beyond it are not read, though they would complete it.
    const std::string whole = "a\xe4\xb8\xad\xf0\x9f\x98\x80";
    EXPECT_EQ(Utf8ToUtf16(std::string_view(whole).substr(0, 3)), u"a\uFFFD");
    EXPECT_EQ(Utf8ToUtf16(std::string_view(whole).substr(0, 2)), u"a\uFFFD");
    EXPECT_EQ(Utf8ToUtf16(std::string_view(whole).substr(4, 3)), u"\uFFFD");
    EXPECT_EQ(Utf8ToUtf16(std::string_view(whole).substr(0, 4)), u"a\u4e2d");
    EXPECT_EQ(Utf8ToUtf16("\xc0\x80"), u"\uFFFD");      // overlong
    EXPECT_EQ(Utf8ToUtf16("\xed\xa0\x80"), u"\uFFFD");  // encoded surrogate
}

// The first directed character decides; what directs nothing is passed over, at the edges of its
// ranges too. The bar draws an Arabic or Hebrew text right to left, its "…" at the left.
TEST(Utf, ATextReadsRightToLeftWhenItsFirstDirectedCharacterDoes) {
    const struct {
        std::u16string_view text;
        bool rightToLeft;
    } cases[] = {
        {u"", false},
        {u"123 ,.!? ", false},
        {u"\u0645\u0631\u062d\u0628\u0627", true},                  // Arabic
        {u"\u05e9\u05dc\u05d5\u05dd", true},                        // Hebrew
        {u"12: \u00ab\u0645\u0631\u062d\u0628\u0627\u00bb", true},  // after digits and signs
        {u"\U0001F600 \u2014 \u0627", true},                        // after an emoji and a dash
        {u"Hello \u0645", false},
        {u"\u00e9t\u00e9 \u0645", false},  // Latin beyond ASCII
        {u"\u4e2d\u6587 \u0645", false},   // Chinese
        {u"\u0590", true},                 // the first of Hebrew's block
        {u"\u058f", false},                // the last of Armenian's
        {u"\u08ff", true},
        {u"\ufb1d", true},        // presentation forms
        {u"\ufeff\u0627", true},  // a byte order mark, Arabic's
        {u"\U00010800", true},    // Cypriot, outside the plane
        {u"\U0001E900", true},    // Adlam
        {u"\xd800\u0627", true},  // a lone surrogate directs nothing
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadsRightToLeft(c.text), c.rightToLeft) << Utf16ToUtf8(c.text);
    }
}

TEST(FormatText, FillsPlaceholdersInOrder) {
    EXPECT_EQ(FormatText("Cannot create file \"%s\". %s", {"C:\\x\\data.dat", "Access denied."}),
              "Cannot create file \"C:\\x\\data.dat\". Access denied.");
    EXPECT_EQ(FormatText("%s and %s", {"one"}), "one and ");
    EXPECT_EQ(FormatText("100%% %s", {"sure", "extra"}), "100% sure");
}

}  // namespace
}  // namespace snipora
