#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "view/Palette.h"
#include "view/PreviewText.h"
#include "win/BaseWindow.h"
#include "win/Dpi.h"
#include "win/UniqueGdiObject.h"

namespace snipora {

// The whole text of an entry beside the popup, word-wrapped under a heading with its size and
// line count; the mouse wheel over it scrolls it. It never takes the focus. The text is cut into
// pieces once (PreviewText.h), and only the pieces in sight are laid out, so that a text of many
// megabytes shows at once.
class EntryPreview final : public win::BaseWindow {
public:
    // Owned by `owner`, whose place in front it shares.
    explicit EntryPreview(HWND owner);

    // Shows the text of the entry `id` beside the popup's rectangle on the screen, from its top.
    void Show(uint32_t id, std::u16string text, RECT popup, win::Dpi dpi, const Palette& palette);
    void Hide();
    bool Shown() const { return shown_; }
    // The entry shown; 0 when hidden.
    uint32_t ShownId() const { return shown_ ? id_ : 0; }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint();
    int TextWidth() const;
    int PieceHeight(HDC dc, size_t index) const;
    void Scroll(int pixels);

    uint32_t id_ = 0;
    bool shown_ = false;
    std::u16string text_;
    PreviewPieces pieces_;
    std::u16string heading_;
    size_t top_ = 0;     // the first piece in sight
    int topOffset_ = 0;  // how far it is scrolled above the text area's top
    win::Dpi dpi_;
    Palette palette_ = Palette::Light();
    win::UniqueFont font_;
    int lineHeight_ = 0;
};

}  // namespace snipora
