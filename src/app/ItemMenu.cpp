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

std::u16string ClearQuestion(int32_t category, size_t count) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + count % 10));
        count /= 10;
    } while (count != 0);
    const bool one = digits == u"1";
    if (category == kHistoryCategory) {
        return (one ? u"Delete the 1 history entry"
                    : u"Delete all " + digits + u" history entries") +
               u"?";
    }
    return (one ? u"Delete the 1 quick note" : u"Delete all " + digits + u" quick notes") + u"?";
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
