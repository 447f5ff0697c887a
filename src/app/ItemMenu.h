#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "view/ItemNode.h"

namespace snipora {

// How the entry menu looks for the entry under the pointer.
struct ItemMenuState {
    std::u16string_view moveCaption;   // "Move to clipboard" for history, else "Copy to clipboard"
    bool moveToNotesEnabled = false;   // only history entries go to the notes
    bool entryCommandsEnabled = true;  // move and delete: not on a category
    std::u16string_view clearCaption;  // "Clear history…" or "Clear quick notes…"
    bool undoEnabled = false;
};

// The entry menu opens for the right button over an entry or a category header (which offers
// only the clear of its list and Undo); not for other buttons, nor where there is no record.
std::optional<ItemMenuState> AdaptItemMenu(const CItemNode* record, bool rightButton,
                                           bool canUndo = false);

// The question that Clear asks first: "Delete all 25 history entries?". Copies of damaged data
// files (their names given) still hold the texts they held: the question names them and asks
// Yes (delete them with the list), No (only the list) or Cancel.
std::u16string ClearQuestion(int32_t category, size_t count,
                             const std::vector<std::u16string>& damagedCopies = {});

// The entry the menu was opened for, found again by its Id when a command is chosen: the lists
// may change while the menu is open (a capture, a refresh), and a command must then not fall on
// whatever entry took its place. Null when the entry has left the lists shown under `root`.
const CItemNode* FindShownEntry(const CItemNode& root, uint32_t id);

}  // namespace snipora
