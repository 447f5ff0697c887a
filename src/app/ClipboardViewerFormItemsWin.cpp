// What the entry commands need of the window, and the paste into the window the popup was
// summoned over.
#include "app/ClipboardViewerFormWin.h"
#include "app/ItemMenu.h"
#include "settings/SettingsStorageWin.h"

namespace snipora {

void TClipboardViewerForm::ListsChanged() {
    recorder_->Changed();
}

void TClipboardViewerForm::Erased() {
    recorder_->Erased();
}

void TClipboardViewerForm::ShowBalloon(const std::wstring& text) {
    if (trayIcon_) {
        trayIcon_->ShowBalloon(L"Snipora", text);
    }
}

void TClipboardViewerForm::EntryOnClipboard() {
    if (!popup_.AtCursor()) {
        return;  // opened with the button: no target, the text waits on the clipboard
    }
    // The popup closes first: from the choice on, the keys typed reach the target as typed,
    // while the paste waits for the modifiers to be released.
    popup_.SetExpanded(false);
    PasteIntoTarget();
}

void TClipboardViewerForm::PasteIntoTarget() {
    // A copy: a trigger handled while the paste runs the queue may not change where it goes.
    const PasteTarget target = target_;
    struct Pasting {
        bool& flag;
        explicit Pasting(bool& f) : flag(f) { flag = true; }
        ~Pasting() { flag = false; }
    } pasting(pasting_);
    const PasteOutcome outcome = PasteClipboardInto(target, &settings::GetSettingsStorage());
    if (outcome == PasteOutcome::Elevated && trayIcon_) {
        trayIcon_->ShowBalloon(L"Snipora",
                               L"Snipora cannot paste into a program running as administrator. "
                               L"The text is on the clipboard.");
    }
}

void TClipboardViewerForm::SelectEntry(uint32_t id) {
    if (const CClipboardHandler* handler = Handler()) {
        tree_->SelectEntry(FindShownEntry(handler->Root(), id));
    }
}

}  // namespace snipora
