#pragma once

#include <windows.h>

#include "win/BaseDialog.h"
#include "web/UpdateCheckWin.h"
#include "win/UniqueGdiObject.h"

namespace snipora::web {

// The about box: the product's name and version, links to the product's and the maker's home
// pages, and the notice, over a background picture. One box serves one Execute.
class TAboutBox final : public win::BaseDialog {
public:
    explicit TAboutBox(HWND owner, WebOpener open = OpenWebPage)
        : owner_(owner), open_(std::move(open)) {}
    TAboutBox(const TAboutBox&) = delete;
    TAboutBox& operator=(const TAboutBox&) = delete;

    // Shows the box modally until OK (or Esc, or its close button).
    void Execute();

private:
    INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog(HWND dialog);
    void PaintBackground(HWND dialog, HDC dc);

    HWND owner_;
    WebOpener open_;
    win::UniqueBitmap background_;
};

}  // namespace snipora::web
