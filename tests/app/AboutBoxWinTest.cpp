#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AboutBoxIds.h"
#include "app/AboutBoxWin.h"
#include "settings/DialogDriverWin.h"
#include "win/BaseWindow.h"
#include "win/Gdi.h"

namespace snipora {
namespace {

using test::DialogDriver;
using test::ItemText;

std::vector<std::string> errors;
void CollectError(HWND, const char* text) {
    errors.emplace_back(text);
}

struct Shown {
    std::wstring caption, name, product, notice, company, rights;
    bool openAfterClicks = false;
    COLORREF corner = 0;
    bool operator==(const Shown&) const = default;
};

TEST(AboutBoxWin, EachOpeningShowsTheSameAndLinksLeaveItOpen) {
    errors.clear();
    const win::ErrorReporter previous = win::SetErrorReporter(CollectError);
    std::vector<Shown> openings;
    std::vector<std::u16string> opened;
    for (int i = 0; i < 2; ++i) {
        Shown shown;
        DialogDriver driver([&](HWND box) {
            shown = {test::WindowTitle(box),         ItemText(box, IDC_PRODUCT_NAME),
                     ItemText(box, IDC_PRODUCT_URL), ItemText(box, IDC_NOTICE),
                     ItemText(box, IDC_COMPANY_URL), ItemText(box, IDC_RIGHTS_RESERVED)};
            for (int link : {IDC_PRODUCT_URL, IDC_COMPANY_URL}) {
                ::SendMessageW(box, WM_COMMAND, MAKEWPARAM(link, STN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(box, link)));
            }
            shown.openAfterClicks = ::IsWindowVisible(box) != FALSE;
            // The picture lies under the texts: the top left corner is its wash, not the face
            // colour of a plain dialog.
            ::UpdateWindow(box);
            shown.corner = ::GetPixel(win::ScopedGetDc(box).Get(), 2, 2);
            test::Press(box, IDOK);
        });
        TAboutBox box(nullptr, [&](const std::u16string& url) {
            opened.push_back(url);
            return true;
        });
        box.Execute();
        EXPECT_TRUE(driver.Ran());
        EXPECT_FALSE(driver.TimedOut());
        openings.push_back(shown);
    }
    win::SetErrorReporter(previous);
    EXPECT_TRUE(errors.empty());

    const Shown& first = openings[0];
    EXPECT_EQ(first.caption, L"About");
    EXPECT_EQ(first.name, L"Snipora 2.2");
    EXPECT_EQ(first.product, L"www.snipora.example");
    EXPECT_EQ(first.company, L"www.tervix.example");
    EXPECT_EQ(first.notice, L"Copyright \u00A9 Tervix");
    EXPECT_EQ(first.rights, L"All rights reserved.");
    EXPECT_TRUE(first.openAfterClicks);
    EXPECT_EQ(first.corner, RGB(0xFD, 0xFA, 0xF3));
    EXPECT_EQ(openings[1], first);
    EXPECT_EQ(opened, (std::vector<std::u16string>{
                          u"https://www.snipora.example/", u"https://www.tervix.example/",
                          u"https://www.snipora.example/", u"https://www.tervix.example/"}));
}

// The program file carries its name and version for the system's file properties.
TEST(VersionInfoWin, TheProgramNamesItselfAndItsVersion) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    ASSERT_NE(found, nullptr);
    const DWORD size = ::SizeofResource(module, found);
    const void* data = ::LockResource(::LoadResource(module, found));
    ASSERT_NE(data, nullptr);
    // VerQueryValueW wants a writable copy.
    std::vector<BYTE> copy(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(2, 2));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(2, 2));
    auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT chars = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (!::VerQueryValueW(copy.data(), path.c_str(), reinterpret_cast<void**>(&value),
                              &chars)) {
            return std::wstring(L"(none)");
        }
        return std::wstring(value);
    };
    EXPECT_EQ(text(L"ProductName"), L"Snipora");
    EXPECT_EQ(text(L"ProductVersion"), L"2.2");
    EXPECT_EQ(text(L"FileVersion"), L"2.2");
}

}  // namespace
}  // namespace snipora
