#include <gtest/gtest.h>

#include <limits>

#include "settings/SettingsValues.h"

namespace snipora::settings {
namespace {

TEST(ParseSettingInt, ReadsDecimalWithSignAndBlanks) {
    EXPECT_EQ(ParseSettingInt(u"123"), 123);
    EXPECT_EQ(ParseSettingInt(u"-45"), -45);
    EXPECT_EQ(ParseSettingInt(u"+7"), 7);
    EXPECT_EQ(ParseSettingInt(u"007"), 7);
    EXPECT_EQ(ParseSettingInt(u" \t42 "), 42);
    EXPECT_EQ(ParseSettingInt(u"2147483647"), 2147483647);
    EXPECT_EQ(ParseSettingInt(u"-2147483648"), std::numeric_limits<int32_t>::min());
}

TEST(ParseSettingInt, ReadsHexadecimalAfterItsPrefix) {
    EXPECT_EQ(ParseSettingInt(u"0x12C"), 300);
    EXPECT_EQ(ParseSettingInt(u"0X12c"), 300);
    EXPECT_EQ(ParseSettingInt(u"0xaf"), 175);
    EXPECT_EQ(ParseSettingInt(u"0xAF"), 175);
    EXPECT_EQ(ParseSettingInt(u"0xC056"), 49238);
    EXPECT_EQ(ParseSettingInt(u"0xFFFFFFFF"), -1);
    EXPECT_EQ(ParseSettingInt(u"0x0000000080000000"), std::numeric_limits<int32_t>::min());
}

TEST(ParseSettingInt, RefusesEverythingElse) {
    for (std::u16string_view junk :
         {u"", u"   ", u"abc", u"12abc", u"1 2", u"-", u"+", u"--1", u"0x", u"0x-5", u"0xG1",
          u"x12", u"1e3", u"1.5", u"99999999999999999999x", u"0x1FFFFFFFFFFFFFFFFG",
          u"\uff11\uff12" /* fullwidth digits */}) {
        EXPECT_EQ(ParseSettingInt(junk), std::nullopt) << std::string(junk.begin(), junk.end());
    }
    EXPECT_EQ(SettingIntOr(u"abc", 200), 200);
    EXPECT_EQ(SettingIntOr(u"", -3), -3);
    EXPECT_EQ(SettingIntOr(u"0", 200), 0);
}

// A number past 32 bits is still a number: held to the end of the range, never wrapped, so that
// HistorySize=99999999999999999999 gives the largest history and not the default.
TEST(ParseSettingInt, HoldsNumbersPast32BitsToTheRange) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(ParseSettingInt(u"2147483648"), kMax);
    EXPECT_EQ(ParseSettingInt(u"-2147483649"), kMin);
    EXPECT_EQ(ParseSettingInt(u"4294967296"), kMax) << "2^32 wraps to 0 if cut";
    EXPECT_EQ(ParseSettingInt(u"99999999999999999999"), kMax);
    EXPECT_EQ(ParseSettingInt(u"-99999999999999999999"), kMin);
    EXPECT_EQ(ParseSettingInt(std::u16string(1000, u'9')), kMax);
    EXPECT_EQ(ParseSettingInt(u"0x100000000"), kMax);
    EXPECT_EQ(ParseSettingInt(u"0x" + std::u16string(1000, u'F')), kMax);
    EXPECT_EQ(SettingIntOr(u"99999999999999999999", 25), kMax);
}

TEST(FormatSettingInt, WritesDecimalThatReadsBack) {
    for (int32_t v : {0, 1, -1, 300, std::numeric_limits<int32_t>::max(),
                      std::numeric_limits<int32_t>::min()}) {
        EXPECT_EQ(ParseSettingInt(FormatSettingInt(v)), v);
    }
    EXPECT_EQ(FormatSettingInt(-12), u"-12");
}

TEST(IniNames, RefuseWhatTheFileCannotHold) {
    EXPECT_EQ(IniSectionProblem(u"Main"), nullptr);
    EXPECT_EQ(IniKeyProblem(u"WindowWidth"), nullptr);
    EXPECT_EQ(IniValueProblem(u"any text = [with] ; marks"), nullptr);
    EXPECT_EQ(IniValueProblem(u""), nullptr);
    EXPECT_NE(IniSectionProblem(u""), nullptr);
    EXPECT_NE(IniSectionProblem(u"Ma]in"), nullptr);
    EXPECT_NE(IniSectionProblem(u"Main\r\n[Other"), nullptr);
    EXPECT_NE(IniKeyProblem(u""), nullptr);
    EXPECT_NE(IniKeyProblem(u"  "), nullptr);
    EXPECT_NE(IniKeyProblem(u"a=b"), nullptr);
    EXPECT_NE(IniKeyProblem(u"[Main]"), nullptr);
    EXPECT_NE(IniKeyProblem(u";note"), nullptr);
    EXPECT_NE(IniKeyProblem(std::u16string(u"Posi\0tionX", 10)), nullptr);
    EXPECT_NE(IniValueProblem(u"1\nFirstLaunch=1"), nullptr);
    EXPECT_NE(IniValueProblem(u"1\r"), nullptr);
    EXPECT_NE(IniValueProblem(std::u16string(u"ab\0c", 4)), nullptr);
}

TEST(JoinSeparatorOf, NamesAndAnyOtherTextTakenAsItIs) {
    EXPECT_EQ(JoinSeparatorOf(u""), u"\r\n");
    EXPECT_EQ(JoinSeparatorOf(u"newline"), u"\r\n");
    EXPECT_EQ(JoinSeparatorOf(u" Tab "), u"\t");
    EXPECT_EQ(JoinSeparatorOf(u"COMMA"), u",");
    EXPECT_EQ(JoinSeparatorOf(u"space"), u" ");
    EXPECT_EQ(JoinSeparatorOf(u"none"), u"");
    EXPECT_EQ(JoinSeparatorOf(u" | "), u" | ") << "blanks of a text of its own stay";
    EXPECT_EQ(JoinSeparatorOf(u"; "), u"; ");
    EXPECT_EQ(JoinSeparatorOf(u"nonee"), u"nonee");
}

}  // namespace
}  // namespace snipora::settings
