// The program's entry: one copy per data folder, the window, the message loop.
#include <windows.h>

#include <commctrl.h>

#include <exception>

#include "app/ClipboardViewerFormWin.h"
#include "app/SingleInstanceWin.h"
#include "settings/DataLocationsWin.h"
#include "win/BaseWindow.h"

using namespace snipora;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES |
                                                           ICC_HOTKEY_CLASS | ICC_UPDOWN_CLASS |
                                                           ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);

        SingleInstance instance(GetDataFolder());
        if (instance.AnotherIsRunning()) {
            if (HWND running = ::FindWindowW(kFormClassName, nullptr)) {
                ::AllowSetForegroundWindow(ASFW_ANY);
                ::PostMessageW(running, WM_APP_BRING_TO_FRONT, 0, 0);
            }
            return 0;
        }

        TClipboardViewerForm form;
        form.Create();
        ::ShowWindow(form.Handle(), SW_SHOW);
        ::UpdateWindow(form.Handle());

        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    } catch (const std::exception& e) {
        win::ShowErrorBox(nullptr, e.what());
    } catch (...) {
        win::ShowErrorBox(nullptr, "");
    }
    return 0;
}
