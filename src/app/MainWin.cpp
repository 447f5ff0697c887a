// The program's entry: the command line, one copy per data folder, the window, the message loop.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/ClipboardViewerFormWin.h"
#include "app/CommandLine.h"
#include "app/SingleInstanceWin.h"
#include "settings/DataLocationsWin.h"
#include "win/BaseWindow.h"
#include "win/Text.h"

using namespace snipora;

namespace {

constexpr int kUnknownSwitchExitCode = 2;

struct LocalFreer {
    void operator()(wchar_t** list) const { ::LocalFree(list); }
};

// The arguments after the program's name, as the system splits the command line.
std::vector<std::u16string> Arguments() {
    int count = 0;
    std::unique_ptr<wchar_t*[], LocalFreer> list(::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::u16string> arguments;
    for (int i = 1; list != nullptr && i < count; ++i) {
        arguments.emplace_back(win::Utf16(list[i]));
    }
    return arguments;
}

void ShowSwitchesBox(const std::vector<std::u16string>& arguments) {
    std::u16string text = u"Unknown command line:";
    for (const auto& argument : arguments) {
        text += u" " + argument;
    }
    text += u"\n\n" + SwitchesHelp();
    ::MessageBoxW(nullptr, win::Wide(text), L"Snipora", MB_OK | MB_ICONERROR);
}

// Hands the switch to the window of the copy running on the same data folder; a copy on
// another folder is no business of this start. A copy that is itself starting shows it a moment
// after it has taken the data folder: it is looked for for up to two seconds, and then given up
// to a second to take the switch. A running copy takes it at once.
void HandOn(const SingleInstance& instance, Switch command) {
    HWND running = nullptr;
    for (int tries = 0; tries < 40 && running == nullptr; ++tries) {
        running = instance.FindRunningWindow(kFormClassName);
        if (running == nullptr) {
            ::Sleep(50);
        }
    }
    if (running == nullptr) {
        return;
    }
    if (command == Switch::None) {
        ::AllowSetForegroundWindow(ASFW_ANY);
        ::PostMessageW(running, kBringToFrontMessage, 0, 0);
        return;
    }
    std::u16string payload = SwitchPayload(command);
    COPYDATASTRUCT data{kSwitchDataTag, static_cast<DWORD>(payload.size() * sizeof(char16_t)),
                        payload.data()};
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                          SMTO_ABORTIFHUNG | SMTO_BLOCK, 1000, &result);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        const std::vector<std::u16string> arguments = Arguments();
        const std::vector<std::u16string_view> views(arguments.begin(), arguments.end());
        const Switch command = ParseSwitches(views);
        if (command == Switch::Unknown) {
            ShowSwitchesBox(arguments);
            return kUnknownSwitchExitCode;
        }

        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES |
                                                           ICC_HOTKEY_CLASS | ICC_UPDOWN_CLASS |
                                                           ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);

        SingleInstance instance(settings::GetDataFolder());
        if (instance.AnotherIsRunning()) {
            HandOn(instance, command);
            return 0;
        }
        if (command == Switch::Exit) {
            return 0;  // nothing to close
        }

        TClipboardViewerForm form;
        form.Create();
        instance.MarkWindow(form.Handle(), kBringToFrontMessage);
        // A pause asked for at the start; /resume and /toggle start as usual.
        if (command == Switch::Pause) {
            form.RunSwitch(command);
        }
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
