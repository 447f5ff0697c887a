// The tray menu's commands, and the first-launch and update steps of the start-up.
#include "app/ClipboardViewerFormWin.h"

#include <exception>

#include "app/AboutBoxWin.h"
#include "app/AutoStartWin.h"
#include "settings/DataLocationsWin.h"
#include "settings/SettingsDialogWin.h"
#include "settings/SettingsStorageWin.h"
#include "web/UpdateCheckWin.h"
#include "win/Text.h"

namespace snipora {
namespace {

// Marks that the settings dialog, the about box or the update question is open. The tray menu
// stays usable meanwhile; a second command brings the open one to the front instead of opening
// another over it, whose OK would be undone by the first one's. A close asked for meanwhile is
// asked again at its end.
class ModalScope {
public:
    ModalScope(bool& open, HWND form, const bool& closeRequested)
        : open_(open), form_(form), closeRequested_(closeRequested) {
        open_ = true;
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    ~ModalScope() {
        open_ = false;
        if (closeRequested_) {
            ::PostMessageW(form_, WM_CLOSE, 0, 0);
        }
    }

private:
    bool& open_;
    HWND form_;
    const bool& closeRequested_;
};

// True when one is open already; it is brought to the front.
bool ModalAlreadyOpen(HWND form, bool open) {
    if (!open) {
        return false;
    }
    if (HWND popup = ::GetLastActivePopup(form); popup != nullptr && popup != form) {
        ::SetForegroundWindow(popup);
    }
    return true;
}

}  // namespace

void TClipboardViewerForm::Settings1Click() {
    if (ModalAlreadyOpen(Handle(), modalOpen_)) {
        return;
    }
    bool accepted = false;
    {
        ModalScope scope(modalOpen_, Handle(), closeRequested_);
        settings::TFormSettings form(Handle(), [this] {
            return handler_ != nullptr ? handler_->HistoryCount() : size_t{0};
        });
        accepted = form.Execute();
    }
    if (accepted) {
        ApplySettings();
        KeepBarOnScreen();
        // A lowered size drops the oldest entries now, and no file keeps their texts.
        if (handler_ != nullptr && handler_->TrimHistory() > 0) {
            ListsChanged();
            saver_->Erased();
        }
    }
}

void TClipboardViewerForm::Checkforupdates1Click() {
    if (ModalAlreadyOpen(Handle(), modalOpen_)) {
        return;
    }
    ModalScope scope(modalOpen_, Handle(), closeRequested_);
    web::CheckForUpdates(Handle(), updateQuestion_);
}

void TClipboardViewerForm::About1Click() {
    if (ModalAlreadyOpen(Handle(), modalOpen_)) {
        return;
    }
    ModalScope scope(modalOpen_, Handle(), closeRequested_);
    TAboutBox box(Handle());
    box.Execute();
}

// Closing the window under an open dialog would pull the settings and the window away from
// under it: the dialog is brought forward instead, to be finished first.
void TClipboardViewerForm::Exit1Click() {
    if (ModalAlreadyOpen(Handle(), modalOpen_)) {
        return;
    }
    ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

// The check mark follows the registry, read each time the menu opens: the value may have been
// changed by the setup program or by another copy meanwhile.
bool TClipboardViewerForm::StartsWithWindows() const {
    return IsAutoStartOn(win::Wide(GetProgramPath()));
}

void TClipboardViewerForm::StartWithWindowsClick() {
    try {
        const std::wstring program(win::Wide(GetProgramPath()));
        SetAutoStart(!IsAutoStartOn(program), program);
    } catch (const std::exception& e) {
        win::ShowErrorBox(Handle(), e.what());
    }
}

void TClipboardViewerForm::FirstLaunchStep() {
    if (settings::GetSettingsStorage().IsFirstLaunch()) {
        Settings1Click();
    }
}

void TClipboardViewerForm::UpdateStep() {
    if (!closeRequested_ && web::IsUpdateOfferDueToday()) {
        Checkforupdates1Click();
    }
}

}  // namespace snipora
