#include "app/RecorderWin.h"

#include <string>
#include <utility>

#include "app/TrayIconWin.h"
#include "common/Error.h"
#include "common/OleDate.h"
#include "log/Logger.h"
#include "settings/DialogValues.h"
#include "settings/Keys.h"
#include "settings/SettingsStorageWin.h"
#include "store/ClipboardWin.h"
#include "store/DisplayText.h"
#include "view/HistoryTreeWin.h"
#include "view/ItemFormat.h"
#include "win/Text.h"

namespace snipora {
namespace {

constexpr UINT_PTR kSaveTimer = 2;    // the save that follows changes of the lists
constexpr UINT_PTR kForgetTimer = 3;  // the once-a-minute check for history entries to forget
constexpr UINT kForgetCheckMs = 60 * 1000;
constexpr wchar_t kPausedText[] = L"Recording paused";

}  // namespace

Recorder::Recorder(HWND window, TrayIcon& tray, std::function<void()> barTextChanged)
    : window_(window),
      tray_(tray),
      barTextChanged_(std::move(barTextChanged)),
      saver_(window, kSaveTimer, tray),
      chain_(window),
      reader_(window, kClipboardReadMessage),
      clipboard_(SystemClipboard()) {}

Recorder::~Recorder() {
    Watch(false);
    saver_.Forget();
    DestroyLists();
}

void Recorder::Start(HistoryTree& tree, HWND owner) {
    tree_ = &tree;
    container_ = std::make_unique<CBaseContainer>(clipboard_, saver_.Files());
    handler_ = container_->CreateHandler(&tree.View(), owner);
    tree.SetHandler(handler_);
    ApplyListSettings();
    saver_.Load(*handler_);
    handler_->AddCategories();
    handler_->RefreshTree();
    ForgetOldHistory();
    barTextChanged_();
    storedWithheld_ =
        static_cast<uint32_t>(settings::GetSettingsStorage().GetMainInt(keys::kWithheldCopy, 0));
    changes_ = ClipboardChanges(storedWithheld_);
    Watch(true);
}

// The chain's join reports the clipboard's content at once; the listener reports only changes.
void Recorder::Watch(bool on) {
    if (on) {
        reader_.Start();
        chain_.Join();
    } else {
        chain_.Leave();
        reader_.Stop();
    }
}

void Recorder::ApplySettings() {
    auto& settings = settings::GetSettingsStorage();
    forgetAfter_ = settings::Clamp(
        settings.GetMainInt(keys::kForgetHistoryAfter, keys::kDefaultForgetHistoryAfter), 0,
        keys::kMaxForgetHistoryAfter);
    // Checked once a minute, not on the tick: ages are counted in minutes.
    if (forgetAfter_ > 0) {
        ::SetTimer(window_, kForgetTimer, kForgetCheckMs, nullptr);
    } else {
        ::KillTimer(window_, kForgetTimer);
    }
    if (handler_ != nullptr) {
        ApplyListSettings();
        handler_->RefreshTree();
        ForgetOldHistory();
    }
}

void Recorder::ApplyListSettings() {
    auto& settings = settings::GetSettingsStorage();
    const settings::HistoryLengths lengths = settings::HoldHistoryLengths(
        settings.GetMainInt(keys::kHistorySize, keys::kDefaultHistorySize),
        settings.GetMainInt(keys::kHistoryShown, keys::kDefaultHistoryShown));
    handler_->SetHistorySize(static_cast<size_t>(lengths.Size));
    handler_->SetHistoryShown(static_cast<size_t>(lengths.Shown));
    handler_->SetKeepDuplicates(
        settings.GetMainInt(keys::kKeepDuplicates, keys::kDefaultKeepDuplicates) == 1);
}

// While paused the window stays in the viewer chain and passes every notification on; it only
// takes nothing from the clipboard.
void Recorder::SetPaused(bool paused) {
    paused_ = paused;
    reader_.SetPaused(paused);
    tray_.SetTip(paused ? kPausedText : L"");
    barTextChanged_();
}

std::wstring Recorder::BarText() const {
    if (paused_) {
        return kPausedText;
    }
    return handler_ != nullptr ? std::wstring(win::Wide(BarTextOf(*handler_))) : std::wstring();
}

void Recorder::OnDrawClipboard(WPARAM wParam, LPARAM lParam) {
    chain_.Notified();
    Capture();
    chain_.PassOn(wParam, lParam);
}

void Recorder::Tick() {
    if (chain_.Tick()) {
        Capture();
        chain_.Notified();
    }
}

bool Recorder::OnTimer(UINT_PTR id) {
    if (id == kSaveTimer) {
        saver_.AutoSave();
    } else if (id == kForgetTimer) {
        ForgetOldHistory();
    } else {
        return false;
    }
    return true;
}

// What the reader took from the clipboard comes first, in its order; then the clipboard as it is
// now, which a notification of the chain may report before the reader has read it.
void Recorder::Capture() {
    if (handler_ == nullptr) {
        return;
    }
    for (const ClipboardSnapshot& snapshot : reader_.Take()) {
        Record(snapshot.sequence, &snapshot);
    }
    Record(::GetClipboardSequenceNumber(), nullptr);
}

void Recorder::Record(uint32_t sequence, const ClipboardSnapshot* snapshot) {
    if (owning_) {
        changes_.Own(sequence);
        return;
    }
    const ClipboardChanges::Action action = changes_.Reported(sequence, paused_);
    StoreWithheld();
    if (action != ClipboardChanges::Action::Record) {
        return;
    }
    clipboard_.Serve(snapshot);
    handler_->CaptureClipboard();
    clipboard_.Serve(nullptr);
    Changed();
}

// Stored at once, not at the close: a run that is killed or ends with the session keeps the
// pause's copy out of the next start as well.
void Recorder::StoreWithheld() {
    const uint32_t withheld = changes_.Withheld();
    if (withheld == storedWithheld_) {
        return;
    }
    try {
        settings::GetSettingsStorage().SetMainInt(keys::kWithheldCopy,
                                                  static_cast<int32_t>(withheld));
        storedWithheld_ = withheld;
    } catch (const AppError& e) {
        LogError(std::string("[Recorder] ") + e.what());
    }
}

void Recorder::Changed() {
    if (handler_ != nullptr) {
        handler_->RefreshTree();
        saver_.Changed();
        barTextChanged_();
    }
}

void Recorder::TrimHistory() {
    if (handler_ != nullptr && handler_->TrimHistory() > 0) {
        Changed();
        saver_.Erased();
    }
}

// Forgotten texts leave the journal too: data.dat is written anew.
void Recorder::ForgetOldHistory() {
    if (handler_ == nullptr || forgetAfter_ <= 0 || handler_->ForgetHistory(forgetAfter_) == 0) {
        return;
    }
    handler_->RefreshTree();
    barTextChanged_();
    saver_.Erased();
}

void Recorder::Close() {
    Watch(false);
    try {
        saver_.SaveNow();
    } catch (...) {
        Watch(true);
        throw;
    }
    saver_.Forget();
    DestroyLists();
}

// The lists leave the tree; a close may come before the start-up has run.
void Recorder::DestroyLists() {
    if (container_ != nullptr) {
        container_->DestroyHandler();
    }
    handler_ = nullptr;
    if (tree_ != nullptr) {
        tree_->SetHandler(nullptr);
    }
}

void Recorder::EndSession() {
    Watch(false);
    saver_.SaveQuietly();
}

}  // namespace snipora
