#include "app/ItemMenu.h"

#include "store/DataBase.h"

namespace snipora {

std::optional<ItemMenuState> AdaptItemMenu(const CItemNode* record, bool rightButton,
                                           bool canUndo) {
    // A "Show all" row is no entry: it has no menu.
    if (record == nullptr || !rightButton || record->IsShowAll()) {
        return std::nullopt;
    }
    ItemMenuState state;
    state.moveCaption = record->InHistory ? u"Move to clipboard" : u"Copy to clipboard";
    state.moveToNotesEnabled = record->InHistory && !record->IsCategory;
    state.entryCommandsEnabled = !record->IsCategory;
    state.clearCaption =
        record->Category == kHistoryCategory ? u"Clear history\u2026" : u"Clear quick notes\u2026";
    state.undoEnabled = canUndo;
    return state;
}

namespace {

std::u16string Digits(size_t count) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + count % 10));
        count /= 10;
    } while (count != 0);
    return digits;
}

}  // namespace

std::u16string ClearQuestion(int32_t category, size_t count,
                             const std::vector<std::u16string>& damagedCopies) {
    const std::u16string digits = Digits(count);
    const bool one = count == 1;
    const bool history = category == kHistoryCategory;
    std::u16string question =
        history
            ? (one ? u"Delete the 1 history entry" : u"Delete all " + digits + u" history entries")
            : (one ? u"Delete the 1 quick note" : u"Delete all " + digits + u" quick notes");
    question += u"?";
    if (damagedCopies.empty()) {
        return question;
    }
    const size_t copies = damagedCopies.size();
    question += copies == 1 ? u"\n\nA copy of a damaged data file, "
                            : u"\n\n" + Digits(copies) + u" copies of damaged data files, ";
    for (size_t i = 0; i < copies; ++i) {
        question += i == 0 ? u"" : i + 1 == copies ? u" and " : u", ";
        question += damagedCopies[i];
    }
    question += copies == 1 ? u", still holds every text it held, deleted ones too."
                            : u", still hold every text they held, deleted ones too.";
    const std::u16string list = history ? u"history entries" : u"quick notes";
    question += u"\n\nYes: delete the copies with the " + list + u".\nNo: delete only the " + list +
                u".\nCancel: delete nothing.";
    return question;
}

const CItemNode* FindShownEntry(const CItemNode& root, uint32_t id) {
    for (const auto& [key, category] : root.Children) {
        if (auto entry = category->Children.find(id); entry != category->Children.end()) {
            return entry->second.get();
        }
    }
    return nullptr;
}

}  // namespace snipora
