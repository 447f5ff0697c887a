#pragma once

#include <windows.h>

#include "web/UpdateCheckWin.h"
#include "win/BaseDialog.h"
#include "win/UniqueGdiObject.h"

namespace snipora {

// The about box: the product's name and version, links to the product's and the maker's home
// pages, and the notice, over a background picture. One box serves one Execute.
class TAboutBox final : public win::BaseDialog {
public:
    explicit TAboutBox(HWND owner, web::WebOpener open = web::OpenWebPage)
        : owner_(owner), open_(std::move(open)) {}
    TAboutBox(const TAboutBox&) = delete;
    TAboutBox& operator=(const TAboutBox&) = delete;

    // Shows the box modally until OK (or Esc, or its close button).
    void Execute();

private:
    void OnInit() override;
    bool OnCommand(int id, int code) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintBackground(HDC dc);

    HWND owner_;
    web::WebOpener open_;
    win::UniqueBitmap background_;
};

}  // namespace snipora
