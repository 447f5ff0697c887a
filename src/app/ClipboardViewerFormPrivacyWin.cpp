#include "app/ClipboardViewerFormWin.h"

#include "common/OleDate.h"
#include "settings/DialogValues.h"
#include "settings/Keys.h"
#include "settings/SettingsStorageWin.h"
#include "win/Text.h"

namespace snipora {
namespace {

constexpr wchar_t kPausedText[] = L"Recording paused";
constexpr UINT kForgetCheckMs = 60 * 1000;

}  // namespace

void TClipboardViewerForm::RunSwitch(Switch command) {
    switch (command) {
        case Switch::Pause:
            SetPaused(true);
            break;
        case Switch::Resume:
            SetPaused(false);
            break;
        case Switch::Toggle:
            SetPaused(!paused_);
            break;
        case Switch::Exit:
            // The close saves the lists, so they are loaded first when it comes that early.
            // Posted: the start that handed the switch on is not kept waiting for the save.
            StartUp();
            ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
            break;
        case Switch::None:
        case Switch::Unknown:
            break;
    }
}

// While paused the window stays in the viewer chain and passes every notification on; it only
// takes nothing from the clipboard.
void TClipboardViewerForm::SetPaused(bool paused) {
    paused_ = paused;
    ShowLastCaptured();
    if (trayIcon_) {
        trayIcon_->SetTip(paused ? kPausedText : L"");
    }
}

void TClipboardViewerForm::ShowLastCaptured() {
    if (paused_) {
        ::SetWindowTextW(label_, kPausedText);
    } else {
        ::SetWindowTextW(label_, handler_ != nullptr ? win::Wide(handler_->LastCaptured()) : L"");
    }
}

void TClipboardViewerForm::ApplyPrivacySettings() {
    auto& settings = settings::GetSettingsStorage();
    captureAffinity_.Apply(
        Handle(), settings.GetMainInt(keys::HideFromCapture, keys::DefaultHideFromCapture) == 1);
    forgetAfter_ = settings::Clamp(
        settings.GetMainInt(keys::ForgetHistoryAfter, keys::DefaultForgetHistoryAfter), 0,
        keys::MaxForgetHistoryAfter);
    // Checked once a minute, not on the tick: ages are counted in minutes.
    if (forgetAfter_ > 0) {
        ::SetTimer(Handle(), kForgetTimer, kForgetCheckMs, nullptr);
    } else {
        ::KillTimer(Handle(), kForgetTimer);
    }
    ForgetOldHistory();
}

void TClipboardViewerForm::ForgetOldHistory() {
    if (handler_ == nullptr || forgetAfter_ <= 0 ||
        handler_->ForgetHistory(CurrentOleDate(), forgetAfter_) == 0) {
        return;
    }
    handler_->RefreshTree();
    ShowLastCaptured();
    // Forgotten texts leave the journal too: data.dat is written anew.
    saver_->Erased();
}

// Only the switches that a later start hands on are taken; any other data is ignored.
LRESULT TClipboardViewerForm::OnCopyData(const COPYDATASTRUCT& data) {
    const auto command = SwitchFromPayload(data.dwData, data.lpData, data.cbData);
    if (!command) {
        return FALSE;
    }
    RunSwitch(*command);
    return TRUE;
}

}  // namespace snipora
