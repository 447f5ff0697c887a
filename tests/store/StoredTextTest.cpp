#include <gtest/gtest.h>

#include <string>

#include "store/StoredText.h"

namespace snipora {
namespace {

// Owned units that are not freed, or freed twice, fail the sanitizer's run.
TEST(StoredText, CopiesAndFreesWhatItOwns) {
    StoredText text;
    text = u"abcdef";
    text = std::u16string_view(text).substr(2);  // from its own units
    EXPECT_EQ(text, u"cdef");
    text.Truncate(9);
    text.Truncate(2);
    EXPECT_EQ(text, u"cd");

    text = std::u16string_view();
    EXPECT_TRUE(text.empty());
    char16_t* units = text.Allocate(2);
    units[0] = u'o';
    units[1] = u'k';
    EXPECT_EQ(text, u"ok");
}

}  // namespace
}  // namespace snipora
