#include "app/PasteMenuWin.h"

#include "app/CommandIds.h"

namespace snipora {

void AppendSeveralItems(HMENU menu, HMENU& separators) {
    separators = ::CreatePopupMenu();
    ::AppendMenuW(separators, MF_STRING, kIdPasteTogether, L"As set\tEnter");
    ::AppendMenuW(separators, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(separators, MF_STRING, kIdPasteJoinedNewline, L"One per line");
    ::AppendMenuW(separators, MF_STRING, kIdPasteJoinedTab, L"Tab between");
    ::AppendMenuW(separators, MF_STRING, kIdPasteJoinedComma, L"Comma between");
    ::AppendMenuW(separators, MF_STRING, kIdPasteJoinedSpace, L"Space between");
    ::AppendMenuW(separators, MF_STRING, kIdPasteJoinedNone, L"Nothing between");
    ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(separators), L"Paste together");
    ::AppendMenuW(menu, MF_STRING, kIdPasteOneByOne, L"Paste one by one");
    ::AppendMenuW(menu, MF_STRING, kIdPasteLinesOneByOne, L"Paste lines one by one");
}

void EnableSeveralItems(HMENU menu, HMENU separators, bool several, bool onHeader) {
    const auto state = [](bool enabled) {
        return static_cast<UINT>(MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    ::EnableMenuItem(menu, static_cast<UINT>(reinterpret_cast<UINT_PTR>(separators)),
                     state(several));
    ::EnableMenuItem(menu, kIdPasteOneByOne, state(several));
    ::EnableMenuItem(menu, kIdPasteLinesOneByOne, state(!several && !onHeader));
}

std::u16string_view SeparatorOf(WORD command, bool& named) {
    named = true;
    switch (command) {
        case kIdPasteJoinedNewline:
            return u"\r\n";
        case kIdPasteJoinedTab:
            return u"\t";
        case kIdPasteJoinedComma:
            return u",";
        case kIdPasteJoinedSpace:
            return u" ";
        case kIdPasteJoinedNone:
            return u"";
        default:
            named = false;
            return u"";
    }
}

}  // namespace snipora
