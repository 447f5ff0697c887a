#include "app/NoteText.h"

#include <utility>

namespace snipora {

std::u16string ToFieldText(std::u16string_view text) {
    std::u16string field;
    field.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit == u'\r') {
            field += u"\r\n";
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
        } else if (unit == u'\n') {
            field += u"\r\n";
        } else {
            field += unit;
        }
    }
    return field;
}

namespace {

// Whether every line break of the text is a bare LF, and it has one.
bool OnlyBareLineFeeds(std::u16string_view text) {
    return text.find(u'\r') == std::u16string_view::npos &&
           text.find(u'\n') != std::u16string_view::npos;
}

}  // namespace

EditOutcome OutcomeOfEdit(std::u16string_view original, std::u16string_view field, bool isNew) {
    if (field.empty()) {
        return {isNew ? EditOutcome::Unchanged : EditOutcome::AskDelete, {}};
    }
    if (!isNew && field == ToFieldText(original)) {
        return {};
    }
    // The field's own breaks are CR LF; a text typed or pasted in may bring bare ones too.
    std::u16string text = ToFieldText(field);
    if (OnlyBareLineFeeds(original)) {
        std::u16string bare;
        bare.reserve(text.size());
        for (const char16_t unit : text) {
            if (unit != u'\r') {
                bare += unit;
            }
        }
        text = std::move(bare);
    }
    return {EditOutcome::Replace, std::move(text)};
}

}  // namespace snipora
