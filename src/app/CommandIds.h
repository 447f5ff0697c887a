#pragma once

#include <windows.h>

namespace snipora {

// Command ids of the window's controls and menus.
enum CommandId : WORD {
    kIdButton = 10,
    kIdLabel,
    kIdTree,
    kIdFilter,
    kIdSettings = 101,
    kIdCheckForUpdates,
    kIdAbout,
    kIdExit,
    kIdStartWithWindows,
    kIdPauseRecording,
    kIdMoveToClipboard = 201,
    kIdMoveToNotes,
    kIdDeleteItem,
    kIdClearText,
    kIdUndo,
    kIdEdit,
    kIdNewNote,
    kIdNewNoteFromClipboard,
    // Several entries at once: pasted together with the setting's separator or one chosen
    // (newline, tab, comma, space, none), or one by one.
    kIdPasteTogether = 301,
    kIdPasteJoinedNewline,
    kIdPasteJoinedTab,
    kIdPasteJoinedComma,
    kIdPasteJoinedSpace,
    kIdPasteJoinedNone,
    kIdPasteOneByOne,
    kIdPasteLinesOneByOne,
    kIdStopPasteQueue,
};

}  // namespace snipora
