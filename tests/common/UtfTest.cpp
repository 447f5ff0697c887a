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

TEST(Utf, IllFormedInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xef\xbf\xbdx");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xef\xbf\xbd");
    // A view that ends in a high surrogate whose partner lies beyond it.
    const std::u16string pair = u"a\U0001F600";
    EXPECT_EQ(Utf16ToUtf8(std::u16string_view(pair).substr(0, 2)), "a\xef\xbf\xbd");
    EXPECT_EQ(Utf8ToUtf16("\xff"
                          "a"),
              u"\uFFFDa");
    EXPECT_EQ(Utf8ToUtf16("\xe4\xb8"), u"\uFFFD");      // cut short
    EXPECT_EQ(Utf8ToUtf16("\xc0\x80"), u"\uFFFD");      // overlong
    EXPECT_EQ(Utf8ToUtf16("\xed\xa0\x80"), u"\uFFFD");  // encoded surrogate
}

TEST(FormatText, FillsPlaceholdersInOrder) {
    EXPECT_EQ(FormatText("Cannot create file \"%s\". %s", {"C:\\x\\data.dat", "Access denied."}),
              "Cannot create file \"C:\\x\\data.dat\". Access denied.");
    EXPECT_EQ(FormatText("%s and %s", {"one"}), "one and ");
    EXPECT_EQ(FormatText("100%% %s", {"sure", "extra"}), "100% sure");
}

}  // namespace
}  // namespace snipora
