#include <gtest/gtest.h>

#include "store/ExcludedPrograms.h"

namespace snipora {
namespace {

TEST(ExcludedPrograms, NamesMatchTheProgramFileWithoutRegardToCase) {
    ExcludedPrograms excluded;
    excluded.Assign(u" KeePass.exe ;;1password.exe;\u00C9diteur.EXE;");
    EXPECT_TRUE(excluded.Contains(u"C:\\Program Files\\KeePass\\keepass.EXE"));
    EXPECT_TRUE(excluded.Contains(u"Z:/opt/1Password.exe"));
    EXPECT_TRUE(excluded.Contains(u"\u00E9diteur.exe"));
    // The whole file name, not a part of it nor a folder of that name.
    EXPECT_FALSE(excluded.Contains(u"C:\\keepass.exe\\other.exe"));
    EXPECT_FALSE(excluded.Contains(u"mykeepass.exe"));
    EXPECT_FALSE(excluded.Contains(u""));

    // A single name, with no separator at all.
    excluded.Assign(u"keepass.exe");
    EXPECT_TRUE(excluded.Contains(u"C:\\KeePass\\KeePass.exe"));
    EXPECT_FALSE(excluded.Contains(u"keepass.ex"));

    for (std::u16string_view none : {u"", u" ; ;", u";"}) {
        excluded.Assign(none);
        EXPECT_TRUE(excluded.Empty());
        EXPECT_FALSE(excluded.Contains(u"keepass.exe"));
    }
}

}  // namespace
}  // namespace snipora
