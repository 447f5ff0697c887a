#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace snipora {

// What the clipboard held, format by format, to be put back after this program used it for a
// paste. Memory formats are copied byte for byte, in their order, registered formats included;
// an enhanced metafile and an old-style metafile picture are copied as their bits. Left out: the
// formats the system makes from others when asked (a bitmap handle from a device-independent
// bitmap, a palette with it), the owner-displayed format and the display formats of GDI handles,
// the private and GDI-object ranges whose handles no other program can copy, and any format
// whose owner failed to render it when asked.
class SavedClipboard {
public:
    SavedClipboard() = default;
    SavedClipboard(SavedClipboard&&) = default;
    SavedClipboard& operator=(SavedClipboard&&) = default;

    // Reads every format the clipboard holds now, opening it with `owner`. An empty clipboard,
    // or one that could not be opened (`Taken` false), gives nothing to put back.
    static SavedClipboard Take(HWND owner);
    bool Taken() const { return taken_; }
    size_t Formats() const { return formats_.size(); }

    // Empties the clipboard and puts every format back, owned by `owner`. False when the
    // clipboard could not be opened or a format could not be set.
    bool PutBack(HWND owner) const;

private:
    struct Format {
        UINT id = 0;
        std::string bytes;
        // For a metafile picture: its mapping mode and extents; the bits are the metafile's.
        LONG mode = 0, x = 0, y = 0;
    };
    std::vector<Format> formats_;
    bool taken_ = false;
};

// Offers `text` on the clipboard, owned by `owner`, for this program's own paste: the text is
// rendered only when a program asks for it (WM_RENDERFORMAT comes to `owner`, which answers
// with RenderOfferedText), and the content is marked as no copy of the user's, which history
// programs leave alone. False when the clipboard could not be opened.
bool OfferText(HWND owner);
// The answer to WM_RENDERFORMAT for CF_UNICODETEXT (the clipboard is open already) or, with
// `open`, to WM_RENDERALLFORMATS.
bool RenderOfferedText(HWND owner, const std::u16string& text, bool open);

}  // namespace snipora
