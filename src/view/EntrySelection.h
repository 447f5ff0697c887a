#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/ItemList.h"

namespace snipora {

// The entries chosen together in the popup, by their Ids, in the order they were chosen: each
// selected row shows its number in that order. While it is empty, the tree's one selected row
// is the selection, as always. Entries of both lists may be in it.
//
// The anchor is the row a Shift+arrow or a Shift+click extends from: the row last moved to, clicked
// or toggled without Shift. An extension keeps what was selected when the anchor was set, and
// adds the rows from the anchor to the row moved to, in that order.
class EntrySelection {
public:
    bool Empty() const { return ids_.empty(); }
    size_t Size() const { return ids_.size(); }
    const std::vector<uint32_t>& Ids() const { return ids_; }
    // The entry's number in the order of choosing, from 1; 0 for one not selected.
    size_t NumberOf(uint32_t id) const;
    bool Contains(uint32_t id) const { return NumberOf(id) != 0; }
    uint32_t Anchor() const { return anchor_; }

    // A move or a click without Shift or Ctrl: the selection of several ends, and the row moved
    // to is the anchor.
    void Collapse(uint32_t caret);
    // Ctrl+Space or Ctrl+click on `id`, with `caret` the row selected before: the entry joins the
    // selection, or leaves it. The first one joins the row selected before it (unless that is the
    // same), so that a Ctrl+click on a second row selects two. It becomes the anchor.
    void Toggle(uint32_t id, uint32_t caret);
    // Shift+arrow or Shift+click: the rows from the anchor to the row moved to, the anchor first,
    // after what was selected when the anchor was set.
    void Extend(const std::vector<uint32_t>& fromAnchor);
    // Ctrl+A: the rows of a list, in its order, after those selected already.
    void AddAll(const std::vector<uint32_t>& ids);
    // Leaves out the entries for which `exists` is false: they left the lists meanwhile.
    template <typename Exists>
    void KeepIf(Exists exists) {
        std::erase_if(ids_, [&](uint32_t id) { return !exists(id); });
        std::erase_if(base_, [&](uint32_t id) { return !exists(id); });
        if (anchor_ != 0 && !exists(anchor_)) {
            anchor_ = 0;
        }
    }

private:
    std::vector<uint32_t> ids_;
    std::vector<uint32_t> base_;  // what was selected when the anchor was set
    uint32_t anchor_ = 0;
};

// The texts of the entries of `ids` in the order in which they are pasted together: the history's
// as they were copied, oldest first, then the notes in their list's order, whatever the order of
// choosing. An Id that is in neither list (its entry went meanwhile) is left out.
std::vector<std::u16string> PasteOrder(const std::vector<uint32_t>& ids, const ItemList& items);

// The texts with `separator` between each two.
std::u16string JoinTexts(const std::vector<std::u16string>& texts, std::u16string_view separator);

// The lines of a text, for pasting one by one: split at CR LF, LF or CR; empty lines are left out.
std::vector<std::u16string> LinesOf(std::u16string_view text);

}  // namespace snipora
