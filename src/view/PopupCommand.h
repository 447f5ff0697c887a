#pragma once

#include <cstdint>

namespace snipora {

// What a key does in the open popup, once its meaning has been decided (app/KeyRouting.h). The
// tree carries a command out as it is; it never reads the keyboard to decide again.
enum class PopupCommand : uint8_t {
    None,       // the popup has no use for the key
    Move,       // an arrow, a page key, Home or End: the selection moves
    Choose,     // Enter
    Delete,     // Delete
    Undo,       // Ctrl+Z
    Menu,       // Shift+F10 or the menu key: the entry menu
    Leave,      // Esc: the search goes, or with none typed the popup closes
    Type,       // a character, Backspace included: into the search
    Pick,       // a digit from 1 to 9 with no search open: the history entry of that number
    Search,     // Ctrl+F or F3: the search field opens, empty, and digits typed then search
    NewNote,    // Ctrl+N: the editor opens for a new note
    Edit,       // F2: the editor opens on the selected entry
    Reorder,    // Ctrl+Up, Ctrl+Down, Ctrl+Home, Ctrl+End: the selected note moves in its list
    Preview,    // Space with no search open: the preview of the selected entry opens or closes
    Extend,     // Shift+Up or Shift+Down: the selection grows or shrinks by the row moved to
    Toggle,     // Ctrl+Space: the selected row joins the selection of several, or leaves it
    SelectAll,  // Ctrl+A: every entry listed under the selected entry's header
};

}  // namespace snipora
