#include "app/AboutBoxWin.h"

#include <array>
#include <string>

#include "app/AboutBoxIds.h"
#include "common/ProgramVersion.h"
#include "web/UpdateCheck.h"
#include "win/BaseWindow.h"
#include "win/DialogLayout.h"
#include "win/Dpi.h"
#include "win/Gdi.h"
#include "win/Resources.h"
#include "win/Text.h"

namespace snipora {
namespace {

constexpr int kClientWidth = 379;
constexpr int kClientHeight = 243;
// The picture covers the whole box and is stretched to this size.
constexpr int kPictureWidth = 380;
constexpr int kPictureHeight = 243;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

constexpr std::array<win::ControlPlace, 6> kPlaces{{
    {IDC_PRODUCT_NAME, 16, 32, 340, 16},
    {IDC_PRODUCT_URL, 16, 48, 180, 16},
    {IDC_NOTICE, 16, 80, 340, 16},
    {IDC_COMPANY_URL, 16, 96, 180, 32},
    {IDC_RIGHTS_RESERVED, 16, 128, 340, 16},
    {IDOK, 150, 208, 75, 25},
}};

using web::HostName;
using web::kMakerSite;
using web::kProductSite;
using web::MakerHomeUrl;
using web::ProductHomeUrl;

bool IsLink(int id) {
    return id == IDC_PRODUCT_URL || id == IDC_COMPANY_URL;
}

}  // namespace

void TAboutBox::Execute() {
    RunModal(owner_, L"TABOUTBOX");
    background_.Reset();
}

void TAboutBox::OnInit() {
    win::LayOutDialog(Handle(), kClientWidth, kClientHeight, kPlaces);
    const std::u16string name = u"Snipora " + std::u16string(kProgramVersion);
    SetItemText(IDC_PRODUCT_NAME, win::Wide(name));
    SetItemText(IDC_PRODUCT_URL, win::Wide(std::u16string(HostName(kProductSite))));
    SetItemText(IDC_COMPANY_URL, win::Wide(std::u16string(HostName(kMakerSite))));
    background_ = win::LoadBitmapResource(::GetModuleHandleW(nullptr), L"ABOUT_PICTURE");
}

bool TAboutBox::OnCommand(int id, int code) {
    switch (id) {
        case IDC_PRODUCT_URL:
            if (code == STN_CLICKED) {
                web::OpenOrShowAddress(Handle(), ProductHomeUrl(), open_);
            }
            return true;
        case IDC_COMPANY_URL:
            if (code == STN_CLICKED) {
                web::OpenOrShowAddress(Handle(), MakerHomeUrl(), open_);
            }
            return true;
        default:
            return false;
    }
}

INT_PTR TAboutBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            PaintBackground(reinterpret_cast<HDC>(wParam));
            ::SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_CTLCOLORSTATIC: {
            // The texts stand on the picture: no background of their own.
            HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetBkMode(dc, TRANSPARENT);
            const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
            ::SetTextColor(dc, IsLink(id) ? kLinkColour : ::GetSysColor(COLOR_BTNTEXT));
            return reinterpret_cast<INT_PTR>(::GetStockObject(NULL_BRUSH));
        }
        case WM_SETCURSOR:
            if (IsLink(::GetDlgCtrlID(reinterpret_cast<HWND>(wParam)))) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                ::SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

void TAboutBox::PaintBackground(HDC dc) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    if (!background_) {
        ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    BITMAP info{};
    ::GetObjectW(background_.Get(), sizeof info, &info);
    const win::UniqueMemoryDc source(::CreateCompatibleDC(dc));
    const win::ScopedSelect selected(source.Get(), background_.Get());
    const win::Dpi dpi = win::Dpi::OfScreen();
    ::SetStretchBltMode(dc, HALFTONE);
    ::StretchBlt(dc, 0, 0, dpi.Scale(kPictureWidth), dpi.Scale(kPictureHeight), source.Get(), 0, 0,
                 info.bmWidth, info.bmHeight, SRCCOPY);
}

}  // namespace snipora
