#include <gtest/gtest.h>

#include "common/Names.h"

namespace snipora {
namespace {

TEST(Names, FileNamesWordsAndLettersOfLatinScripts) {
    EXPECT_EQ(FileNameOf(u"C:\\Program Files\\App\\app.exe"), u"app.exe");
    EXPECT_EQ(FileNameOf(u"Z:/tmp/x/probe.exe"), u"probe.exe");
    EXPECT_EQ(FileNameOf(u"bare.exe"), u"bare.exe");
    EXPECT_EQ(FileNameOf(u"C:\\dir\\"), u"");
    EXPECT_EQ(TrimBlanks(u" \tctrl+v \t"), u"ctrl+v");
    EXPECT_EQ(TrimBlanks(u" \t "), u"");
    EXPECT_TRUE(EqualIgnoringCase(u"\u00C9DIT.EXE", u"\u00E9dit.exe"));
    EXPECT_FALSE(EqualIgnoringCase(u"\u00D7", u"\u00F7"));  // multiplication and division signs
    EXPECT_FALSE(EqualIgnoringCase(u"edit", u"edits"));
}

}  // namespace
}  // namespace snipora
