#pragma once

#include <string>
#include <string_view>

namespace snipora {

// The editor's field shows every line break as CR LF, as a multi-line edit control needs them:
// a bare LF or a bare CR becomes CR LF, a CR LF stays.
std::u16string ToFieldText(std::u16string_view text);

// What OK does with the field's text, for an entry whose text is `original` (empty for a new
// note). A field that still shows the original (ToFieldText) leaves it as it was, byte for
// byte. Changed, the text takes the line breaks of the original: all bare LF, it gets bare LF
// back; otherwise (CR LF, mixed, none, a new note) it keeps CR LF. An emptied field asks
// whether to delete the entry; an empty new note adds nothing.
struct EditOutcome {
    enum Kind { Unchanged, Replace, AskDelete } What = Unchanged;
    std::u16string Text;  // Replace: the entry's new text
    bool operator==(const EditOutcome&) const = default;
};
EditOutcome OutcomeOfEdit(std::u16string_view original, std::u16string_view field, bool isNew);

}  // namespace snipora
