#include <gtest/gtest.h>

#include "app/NoteText.h"

namespace snipora {
namespace {

TEST(NoteText, TheFieldShowsEveryLineBreakAsCrLf) {
    EXPECT_EQ(ToFieldText(u"a\nb\r\nc\rd\n\r"), u"a\r\nb\r\nc\r\nd\r\n\r\n");
    EXPECT_EQ(ToFieldText(u"\r"), u"\r\n");
    EXPECT_EQ(ToFieldText(u""), u"");
}

TEST(NoteText, OkKeepsAnUnchangedTextExactAndGivesAChangedOneTheOriginalsLineBreaks) {
    using enum EditOutcome::Kind;
    const std::u16string pair = u"\U0001F600";  // a surrogate pair
    const struct {
        std::u16string original;
        std::u16string field;
        bool isNew;
        EditOutcome outcome;
        const char* what;
    } cases[] = {
        {u"a\nb", u"a\r\nb", false, {Unchanged, u""}, "bare LF shown as CR LF, unchanged"},
        {u"a\rb\n", u"a\r\nb\r\n", false, {Unchanged, u""}, "bare CR and LF, unchanged"},
        {u"a\nb", u"a\r\nb!\r\n", false, {Replace, u"a\nb!\n"}, "all bare LF: LF back"},
        {u"a\r\nb\nc", u"a\r\nb\r\nc!", false, {Replace, u"a\r\nb\r\nc!"}, "mixed: CR LF"},
        {u"ab", u"a\r\nb", false, {Replace, u"a\r\nb"}, "no break before: CR LF"},
        {u"ab", u"a\nb", false, {Replace, u"a\r\nb"}, "a bare LF pasted in: CR LF"},
        {pair + u"\n", pair + pair + u"\r\n", false, {Replace, pair + pair + u"\n"}, "pairs"},
        {u"a", u"", false, {AskDelete, u""}, "emptied: asks to delete"},
        {u"", u"", true, {Unchanged, u""}, "an empty new note adds nothing"},
        {u"", u"x\r\ny", true, {Replace, u"x\r\ny"}, "a new note keeps CR LF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OutcomeOfEdit(c.original, c.field, c.isNew), c.outcome) << c.what;
    }
}

}  // namespace
}  // namespace snipora
