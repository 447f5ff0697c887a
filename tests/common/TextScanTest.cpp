#include <gtest/gtest.h>

#include <string>

#include "common/TextScan.h"

namespace snipora {
namespace {

TEST(FindZeroUnit, FindsTheFirstZeroInEveryLaneAndTail) {
    // Lengths past two turns of the widest scan; a second zero after the first must not count.
    for (size_t length = 0; length < 80; ++length) {
        for (size_t zero = 0; zero <= length; ++zero) {
            std::u16string text(length, u'x');
            if (zero < length) {
                text[zero] = u'\0';
                text[length - 1] = u'\0';
            }
            EXPECT_EQ(FindZeroUnit(text.data(), text.size()), zero) << length << " " << zero;
        }
    }
}

TEST(FindZeroUnit, UnitsWithHighBitsOrLowBytesZeroAreNotZero) {
    const std::u16string text = u"\u8000\u0100\uffff\u0001\u8001\u0080\u7fff\u00ff";
    EXPECT_EQ(FindZeroUnit(text.data(), text.size()), text.size());
    const std::u16string later = text + std::u16string(1, u'\0') + u"\u8000";
    EXPECT_EQ(FindZeroUnit(later.data(), later.size()), text.size());
}

}  // namespace
}  // namespace snipora
