#pragma once

#include <string_view>

#include "store/StoredText.h"

namespace snipora {

// A window handle passed through the portable code to the clipboard; the Win32 side casts it
// back to HWND.
using WindowHandle = void*;

// What a read of the clipboard's Unicode text found.
enum class ClipboardRead {
    Text,        // the text was read
    NoData,      // the clipboard was open but held no Unicode text block
    OpenFailed,  // another program kept the clipboard open
};

// The system clipboard, as the store needs it.
class IClipboard {
public:
    virtual ~IClipboard() = default;

    // True if text is on the clipboard. Does not open it.
    virtual bool HasText() = 0;

    // True if the program that put the content there asked clipboard monitors to leave it alone
    // (password managers do), or is one whose copies are not recorded. That program is named
    // before any call that may wait on another program.
    virtual bool IsPrivate(WindowHandle owner) = 0;

    // Replaces `text` by the Unicode text on the clipboard, up to its first zero unit. On NoData
    // and OpenFailed `text` is left as it was.
    virtual ClipboardRead ReadText(WindowHandle owner, StoredText& text) = 0;

    // Empties the clipboard and places `text` as the only format, owned by `owner`.
    virtual bool WriteText(WindowHandle owner, std::u16string_view text) = 0;
};

}  // namespace snipora
