#include <gtest/gtest.h>

#include <string>

#include "store/StoredText.h"

namespace snipora {
namespace {

// Owned units that are not freed, or freed twice, fail the sanitizer's run.
TEST(StoredText, CopiesOrSharesAndFreesWhatItOwns) {
    StoredText text;
    text = u"abcdef";
    text = std::u16string_view(text).substr(2);  // from its own units
    EXPECT_EQ(text, u"cdef");
    text.Truncate(9);
    text.Truncate(2);
    EXPECT_EQ(text, u"cd");

    const std::u16string block = u"in a loaded block";
    text.Share(block);
    EXPECT_EQ(text.data(), block.data());
    text.Share(std::u16string_view(block).substr(0, 0));
    EXPECT_TRUE(text.empty());
    char16_t* units = text.Allocate(2);
    units[0] = u'o';
    units[1] = u'k';
    EXPECT_EQ(text, u"ok");
}

}  // namespace
}  // namespace snipora
