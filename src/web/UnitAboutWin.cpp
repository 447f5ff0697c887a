#include "web/UnitAboutWin.h"

#include <array>
#include <string>

#include "settings/DialogLayoutWin.h"
#include "settings/SettingsStorageWin.h"
#include "web/UnitAboutIds.h"
#include "web/UpdateCheck.h"
#include "win/BaseWindow.h"
#include "win/Text.h"

namespace snipora::web {
namespace {

constexpr int kClientWidth = 379;
constexpr int kClientHeight = 243;
// The picture covers the whole box and is stretched to this size.
constexpr int kPictureWidth = 380;
constexpr int kPictureHeight = 243;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

constexpr std::array<Settings::ControlPlace, 6> kPlaces{{
    {IDC_PRODUCT_NAME, 16, 32, 340, 16},
    {IDC_PRODUCT_URL, 16, 48, 180, 16},
    {IDC_NOTICE, 16, 80, 340, 16},
    {IDC_COMPANY_URL, 16, 96, 180, 32},
    {IDC_RIGHTS_RESERVED, 16, 128, 340, 16},
    {IDOK, 150, 208, 75, 25},
}};

bool IsLink(int id) {
    return id == IDC_PRODUCT_URL || id == IDC_COMPANY_URL;
}

}  // namespace

void TAboutBox::Execute() {
    RunModal(owner_, L"TABOUTBOX");
    background_.Reset();
}

INT_PTR TAboutBox::HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return TRUE;
        case WM_ERASEBKGND:
            PaintBackground(dialog, reinterpret_cast<HDC>(wParam));
            ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
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
                ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                case IDCANCEL:
                    ::EndDialog(dialog, LOWORD(wParam));
                    return TRUE;
                case IDC_PRODUCT_URL:
                    if (HIWORD(wParam) == STN_CLICKED) {
                        open_(ProductHomeUrl());
                    }
                    return TRUE;
                case IDC_COMPANY_URL:
                    if (HIWORD(wParam) == STN_CLICKED) {
                        open_(MakerHomeUrl());
                    }
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

void TAboutBox::OnInitDialog(HWND dialog) {
    Settings::LayOutDialog(dialog, kClientWidth, kClientHeight, kPlaces);
    const std::u16string name = u"Snipora " + std::u16string(ProgramVersion);
    ::SetDlgItemTextW(dialog, IDC_PRODUCT_NAME, win::Wide(name));
    ::SetDlgItemTextW(dialog, IDC_PRODUCT_URL, win::Wide(std::u16string(HostName(ProductSite))));
    ::SetDlgItemTextW(dialog, IDC_COMPANY_URL, win::Wide(std::u16string(HostName(MakerSite))));
    background_ = Settings::LoadBitmapResource(::GetModuleHandleW(nullptr), L"ABOUT_PICTURE");
}

void TAboutBox::PaintBackground(HWND dialog, HDC dc) {
    RECT client{};
    ::GetClientRect(dialog, &client);
    if (!background_) {
        ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    BITMAP info{};
    ::GetObjectW(background_.Get(), sizeof info, &info);
    const win::UniqueMemoryDc source(::CreateCompatibleDC(dc));
    const HGDIOBJ old = ::SelectObject(source.Get(), background_.Get());
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    const int width = ::MulDiv(kPictureWidth, dpi > 0 ? dpi : 96, 96);
    const int height = ::MulDiv(kPictureHeight, dpi > 0 ? dpi : 96, 96);
    ::SetStretchBltMode(dc, HALFTONE);
    ::StretchBlt(dc, 0, 0, width, height, source.Get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    ::SelectObject(source.Get(), old);
}

}  // namespace snipora::web
