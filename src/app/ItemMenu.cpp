#include "app/ItemMenu.h"

namespace snipora {

std::optional<ItemMenuState> AdaptItemMenu(const CItemNode* record, bool rightButton) {
    if (record == nullptr || record->IsCategory || !rightButton) {
        return std::nullopt;
    }
    ItemMenuState state;
    state.moveCaption = record->InHistory ? u"Move to clipboard" : u"Copy to clipboard";
    state.moveToNotesEnabled = record->InHistory;
    return state;
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
