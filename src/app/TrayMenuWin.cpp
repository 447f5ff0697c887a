// The tray menu's commands, and the first-launch and update steps of the start-up.
#include "app/TrayMenuWin.h"

#include <exception>
#include <string>

#include "app/AboutBoxWin.h"
#include "app/AutoStartWin.h"
#include "app/CommandIds.h"
#include "app/HotKeyClash.h"
#include "app/HotKeyWin.h"
#include "app/PopupController.h"
#include "log/Logger.h"
#include "settings/DataLocationsWin.h"
#include "settings/SettingsDialogWin.h"
#include "settings/SettingsStorageWin.h"
#include "view/ClipboardHandler.h"
#include "web/UpdateCheckWin.h"
#include "win/BaseWindow.h"
#include "win/Text.h"

namespace snipora {

// Marks that a dialog of the menu is open. A close asked for meanwhile is asked again at its end.
class TrayMenu::ModalScope {
public:
    explicit ModalScope(TrayMenu& menu) : menu_(menu) { menu_.modalOpen_ = true; }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    ~ModalScope() {
        menu_.modalOpen_ = false;
        if (menu_.host_.CloseRequested()) {
            ::PostMessageW(menu_.host_.Owner(), WM_CLOSE, 0, 0);
        }
    }

private:
    TrayMenu& menu_;
};

TrayMenu::TrayMenu(ITrayMenuHost& host) : host_(host), menu_(::CreatePopupMenu()) {
    ::AppendMenuW(menu_.Get(), MF_STRING, kIdNewNote, L"New note\u2026");
    ::AppendMenuW(menu_.Get(), MF_STRING, kIdNewNoteFromClipboard, L"New note from clipboard");
    ::AppendMenuW(menu_.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu_.Get(), MF_STRING, kIdSettings, L"Settings");
    ::AppendMenuW(menu_.Get(), MF_STRING, kIdCheckForUpdates, L"Check for updates");
    ::AppendMenuW(menu_.Get(), MF_STRING, kIdAbout, L"About");
    ::AppendMenuW(menu_.Get(), MF_STRING, kIdStartWithWindows, L"Start with Windows");
    ::AppendMenuW(menu_.Get(), MF_STRING, kIdPauseRecording, L"Pause recording");
    ::AppendMenuW(menu_.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu_.Get(), MF_STRING, kIdExit, L"Exit");
}

// The check mark of the start with Windows follows the registry, read each time the menu opens:
// the value may have been changed by the setup program or by another copy meanwhile.
void TrayMenu::Show() {
    const HWND owner = host_.Owner();
    const POINT at = win::CursorPos();
    ::SetForegroundWindow(owner);
    const bool startsWithWindows = IsAutoStartOn(win::Wide(settings::GetProgramPath()));
    ::CheckMenuItem(menu_.Get(), kIdStartWithWindows,
                    MF_BYCOMMAND | (startsWithWindows ? MF_CHECKED : MF_UNCHECKED));
    ::CheckMenuItem(menu_.Get(), kIdPauseRecording,
                    MF_BYCOMMAND | (host_.Paused() ? MF_CHECKED : MF_UNCHECKED));
    // "Stop pasting one by one" heads the menu, with a line below it, while a queue runs.
    const bool stopShown = ::GetMenuItemID(menu_.Get(), 0) == kIdStopPasteQueue;
    if (stopShown != host_.PasteQueueRunning()) {
        if (stopShown) {
            ::DeleteMenu(menu_.Get(), 0, MF_BYPOSITION);
            ::DeleteMenu(menu_.Get(), 0, MF_BYPOSITION);
        } else {
            ::InsertMenuW(menu_.Get(), 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
            ::InsertMenuW(menu_.Get(), 0, MF_BYPOSITION | MF_STRING, kIdStopPasteQueue,
                          L"Stop pasting one by one");
        }
    }
    const UINT id = ::TrackPopupMenu(menu_.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0,
                                     owner, nullptr);
    ::PostMessageW(owner, WM_NULL, 0, 0);
    if (id != 0) {
        Command(static_cast<WORD>(id));
    }
}

bool TrayMenu::Command(WORD id) {
    switch (id) {
        case kIdSettings:
            Settings1Click();
            return true;
        case kIdCheckForUpdates:
            Checkforupdates1Click();
            return true;
        case kIdAbout:
            About1Click();
            return true;
        case kIdExit:
            Exit1Click();
            return true;
        case kIdStartWithWindows:
            StartWithWindowsClick();
            return true;
        case kIdPauseRecording:
            host_.SetPaused(!host_.Paused());
            return true;
        case kIdNewNote:
        case kIdNewNoteFromClipboard:
            host_.NewNoteFromTray(id == kIdNewNoteFromClipboard);
            return true;
        case kIdStopPasteQueue:
            host_.StopPasteQueue();
            return true;
        default:
            return false;
    }
}

bool TrayMenu::ModalAlreadyOpen() const {
    if (!modalOpen_) {
        return false;
    }
    const HWND owner = host_.Owner();
    if (HWND popup = ::GetLastActivePopup(owner); popup != nullptr && popup != owner) {
        ::SetForegroundWindow(popup);
    }
    return true;
}

namespace {

// What a hot key chosen in the settings would take from the keyboard layout the user types in.
std::wstring HotKeyNote(uint16_t shortcut) {
    const TriggerKeys keys = MakeTriggerKeys(0, shortcut, [] { return 1; });
    if (keys.systemKey == 0) {
        return {};
    }
    const HKL layout = ::GetKeyboardLayout(0);
    const std::wstring name = HotKeyName(keys);
    return std::wstring(win::Wide(HotKeyClashNote(
        keys.systemKey, keys.systemModifiers, win::Utf16(name.substr(name.rfind(L'+') + 1)),
        [layout](uint8_t key, bool shift, bool control, bool alt) {
            return LayoutTypes(layout, key, shift, control, alt);
        })));
}

}  // namespace

void TrayMenu::Settings1Click() {
    if (ModalAlreadyOpen()) {
        return;
    }
    bool accepted = false;
    DWORD closingMs = 0;
    {
        ModalScope scope(*this);
        settings::TFormSettings form(
            host_.Owner(),
            [this] {
                const CClipboardHandler* handler = host_.Handler();
                return handler != nullptr ? handler->HistoryCount() : size_t{0};
            },
            HotKeyNote, settings::GetDataFolderKind());
        accepted = form.Execute();
        closingMs = form.ClosingMs();
    }
    if (accepted) {
        host_.SettingsAccepted();
    }
    // After the settings are applied: LogDetails may have just been turned on.
    LogInfo(("[TrayMenu] The settings dialog took " + std::to_string(closingMs) + " ms to close")
                .c_str());
}

void TrayMenu::Checkforupdates1Click() {
    if (ModalAlreadyOpen()) {
        return;
    }
    ModalScope scope(*this);
    web::CheckForUpdates(host_.Owner(), updateQuestion_);
}

void TrayMenu::About1Click() {
    if (ModalAlreadyOpen()) {
        return;
    }
    ModalScope scope(*this);
    TAboutBox box(host_.Owner());
    box.Execute();
}

// Closing the window under an open dialog would pull the settings and the window away from
// under it: the dialog is brought forward instead, to be finished first.
void TrayMenu::Exit1Click() {
    if (ModalAlreadyOpen()) {
        return;
    }
    ::PostMessageW(host_.Owner(), WM_CLOSE, 0, 0);
}

void TrayMenu::StartWithWindowsClick() {
    try {
        const std::wstring program(win::Wide(settings::GetProgramPath()));
        SetAutoStart(!IsAutoStartOn(program), program);
    } catch (const std::exception& e) {
        win::ShowErrorBox(host_.Owner(), e.what());
    }
}

void TrayMenu::FirstLaunchStep() {
    if (settings::GetSettingsStorage().IsFirstLaunch()) {
        Settings1Click();
    }
}

void TrayMenu::UpdateStep() {
    if (!host_.CloseRequested() && web::IsUpdateOfferDueToday()) {
        Checkforupdates1Click();
    }
}

}  // namespace snipora
