#include "view/EntrySelection.h"

#include <algorithm>
#include <unordered_set>

#include "store/DataBase.h"

namespace snipora {
namespace {

void Append(std::vector<uint32_t>& to, uint32_t id) {
    if (id != 0 && std::find(to.begin(), to.end(), id) == to.end()) {
        to.push_back(id);
    }
}

}  // namespace

size_t EntrySelection::NumberOf(uint32_t id) const {
    const auto it = std::find(ids_.begin(), ids_.end(), id);
    return it != ids_.end() ? static_cast<size_t>(it - ids_.begin()) + 1 : 0;
}

void EntrySelection::Collapse(uint32_t caret) {
    ids_.clear();
    base_.clear();
    anchor_ = caret;
}

void EntrySelection::Toggle(uint32_t id, uint32_t caret) {
    if (id == 0) {
        return;
    }
    if (ids_.empty() && caret != id) {
        Append(ids_, caret);
    }
    if (const auto it = std::find(ids_.begin(), ids_.end(), id); it != ids_.end()) {
        ids_.erase(it);
    } else {
        ids_.push_back(id);
    }
    base_ = ids_;
    anchor_ = id;
}

void EntrySelection::Extend(const std::vector<uint32_t>& fromAnchor) {
    ids_ = base_;
    for (const uint32_t id : fromAnchor) {
        Append(ids_, id);
    }
}

void EntrySelection::AddAll(const std::vector<uint32_t>& ids) {
    for (const uint32_t id : ids) {
        Append(ids_, id);
    }
    base_ = ids_;
}

std::vector<std::u16string> PasteOrder(const std::vector<uint32_t>& ids, const ItemList& items) {
    const std::unordered_set<uint32_t> chosen(ids.begin(), ids.end());
    std::vector<std::u16string> texts;
    // The list holds the newest first: the history is walked from its end.
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if ((*it)->Category == kHistoryCategory && chosen.contains((*it)->Id)) {
            texts.emplace_back(std::u16string_view((*it)->Text));
        }
    }
    for (const ItemEntry& item : items) {
        if (item->Category != kHistoryCategory && chosen.contains(item->Id)) {
            texts.emplace_back(std::u16string_view(item->Text));
        }
    }
    return texts;
}

std::u16string JoinTexts(const std::vector<std::u16string>& texts, std::u16string_view separator) {
    std::u16string joined;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) {
            joined += separator;
        }
        joined += texts[i];
    }
    return joined;
}

std::vector<std::u16string> LinesOf(std::u16string_view text) {
    std::vector<std::u16string> lines;
    size_t start = 0;
    for (size_t at = 0; at <= text.size(); ++at) {
        if (at == text.size() || text[at] == u'\n' || text[at] == u'\r') {
            if (at > start) {
                lines.emplace_back(text.substr(start, at - start));
            }
            if (at + 1 < text.size() && text[at] == u'\r' && text[at + 1] == u'\n') {
                ++at;
            }
            start = at + 1;
        }
    }
    return lines;
}

}  // namespace snipora
