#include <gtest/gtest.h>

#include "app/AutoStart.h"

namespace snipora {
namespace {

TEST(AutoStartTest, TheProgramOfALogonCommand) {
    // A path with blanks needs its quotes to come back whole.
    const std::u16string path = u"C:\\Users\\Zoë\\AppData\\Local\\Programs\\Snipora\\snipora.exe";
    EXPECT_EQ(AutoStartCommand(path), u"\"" + path + u"\"");
    EXPECT_EQ(AutoStartProgram(AutoStartCommand(u"C:\\My Tools\\snipora.exe")),
              u"C:\\My Tools\\snipora.exe");
    // Written by hand or by other tools: arguments after the quotes, no quotes, blanks, nothing.
    EXPECT_EQ(AutoStartProgram(u"  \"C:\\a b\\snipora.exe\" /minimized"), u"C:\\a b\\snipora.exe");
    EXPECT_EQ(AutoStartProgram(u"C:\\Tools\\snipora.exe  "), u"C:\\Tools\\snipora.exe");
    EXPECT_EQ(AutoStartProgram(u"\"C:\\unclosed\\snipora.exe"), u"C:\\unclosed\\snipora.exe");
    EXPECT_EQ(AutoStartProgram(u" \t"), u"");
    EXPECT_EQ(AutoStartProgram(u"\"\""), u"");
}

}  // namespace
}  // namespace snipora
