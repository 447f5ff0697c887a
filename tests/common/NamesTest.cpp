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
    // The first and last Latin-1 capitals with a small form.
    EXPECT_TRUE(EqualIgnoringCase(u"\u00C0\u00DE", u"\u00E0\u00FE"));
    EXPECT_FALSE(EqualIgnoringCase(u"\u00BF\u00DF", u"\u00DF\u00FF"));
    EXPECT_FALSE(EqualIgnoringCase(u"edit", u"edits"));
}

}  // namespace
}  // namespace snipora
