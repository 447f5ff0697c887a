// The tray menu's commands, and the first-launch and update steps of the start-up.
#include "app/ClipboardViewerFormWin.h"

#include "settings/SettingsStorageWin.h"
#include "settings/UnitSettingsWin.h"
#include "web/UnitAboutWin.h"
#include "web/UpdateCheckWin.h"

namespace snipora {
namespace {

// The window of the settings dialog, the about box or the update question while one is open.
// The tray menu stays usable meanwhile; a second command brings the open one to the front
// instead of opening another over it, whose OK would be undone by the first one's.
bool g_modalOpen = false;

class ModalScope {
public:
    ModalScope() { g_modalOpen = true; }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    ~ModalScope() { g_modalOpen = false; }
};

// True when one is open already; it is brought to the front.
bool ModalAlreadyOpen(HWND form) {
    if (!g_modalOpen) {
        return false;
    }
    if (HWND popup = ::GetLastActivePopup(form); popup != nullptr && popup != form) {
        ::SetForegroundWindow(popup);
    }
    return true;
}

}  // namespace

void TClipboardViewerForm::Settings1Click() {
    if (ModalAlreadyOpen(Handle())) {
        return;
    }
    bool accepted = false;
    {
        ModalScope scope;
        Settings::TFormSettings form(Handle());
        accepted = form.Execute();
    }
    if (accepted) {
        ApplySettings();
    }
}

void TClipboardViewerForm::Checkforupdates1Click() {
    if (ModalAlreadyOpen(Handle())) {
        return;
    }
    ModalScope scope;
    web::CheckForUpdates(Handle(), updateQuestion_);
}

void TClipboardViewerForm::About1Click() {
    if (ModalAlreadyOpen(Handle())) {
        return;
    }
    ModalScope scope;
    web::TAboutBox box(Handle());
    box.Execute();
}

void TClipboardViewerForm::FirstLaunchStep() {
    if (Settings::GetSettingsStorage().IsFirstLaunch()) {
        Settings1Click();
    }
}

void TClipboardViewerForm::UpdateStep() {
    if (web::IsUpdateOfferDueToday()) {
        Checkforupdates1Click();
    }
}

}  // namespace snipora
