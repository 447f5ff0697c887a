#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/ClipboardChanges.h"
#include "app/ClipboardReaderWin.h"
#include "app/ClipboardSnapshot.h"
#include "app/SaveKeeperWin.h"
#include "app/ViewerChainWin.h"
#include "view/ClipboardHandler.h"

namespace snipora {

class HistoryTree;
class TrayIcon;

// What the program records and how it keeps it: the lists, the window's member of the
// clipboard-viewer chain and the format listener's reader, the capture of each copy, the pause, the
// forgetting of old history entries, and the saving (each change in the journal within a second,
// data.dat at the close).
class Recorder {
public:
    // `window` joins the chain and carries the save and forget timers; `tray` shows the
    // warnings and the pause. `barTextChanged` hears when BarText may have changed.
    Recorder(HWND window, TrayIcon& tray, std::function<void()> barTextChanged);
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;
    // Out of the chain, and the lists out of the tree, however far the start got.
    ~Recorder();

    // Loads the lists into `tree`, which must outlive them, and joins the chain. `owner` owns the
    // clipboard when the program writes to it.
    void Start(HistoryTree& tree, HWND owner);
    // The lists; null before the start and after the close.
    CClipboardHandler* Handler() const { return handler_; }

    // [Main] KeepDuplicates, HistorySize, HistoryShown and ForgetHistoryAfter, from the settings.
    void ApplySettings();
    bool Paused() const { return paused_; }
    void SetPaused(bool paused);
    // The bar's text: the last text copied, or that recording is paused.
    std::wstring BarText() const;

    // The messages of the chain: WM_DRAWCLIPBOARD, WM_CHANGECBCHAIN, and the 10 ms tick that
    // repairs a broken chain. The format listener's reader reports the same changes with
    // kClipboardReadMessage; each is recorded once, on the first report.
    static constexpr UINT kClipboardReadMessage = WM_APP + 4;
    void OnDrawClipboard(WPARAM wParam, LPARAM lParam);
    void OnClipboardRead() { Capture(); }
    // The programs whose copies are not recorded, for the reader.
    void SetExcludedPrograms(std::u16string_view list) { reader_.SetExcludedPrograms(list); }
    void ChainChanged(WPARAM wParam, LPARAM lParam) { chain_.ChainChanged(wParam, lParam); }
    // This program writes the clipboard itself, which is no copy to record: from Begins (the
    // chain reports the change while the write closes the clipboard) until Ends, with the
    // number of the content written.
    void OwnWriteBegins() { owning_ = true; }
    void OwnWriteEnds(uint32_t sequence) {
        owning_ = false;
        changes_.Own(sequence);
    }
    void Tick();
    // The save and forget timers; false for any other.
    bool OnTimer(UINT_PTR id);

    // The lists changed: the tree shows them anew and they reach the journal within a second.
    void Changed();
    // The changes reach the journal now: a note typed, an edit or a move, after which the
    // program may be ended at once.
    void WriteNow() {
        if (handler_ != nullptr) {
            saver_.AutoSave();
        }
    }
    // Texts left the lists: data.dat is written anew soon, so that no file keeps them.
    void Erased() { saver_.Erased(); }
    // A lowered HistorySize drops the oldest entries now, and no file keeps their texts.
    void TrimHistory();

    // The close: out of the chain, the lists written (an error passes to the caller, and the
    // window records on), then the lists gone.
    void Close();
    // The session ends: the lists are written at once, and nothing waits for the user.
    void EndSession();
    void SaveQuietly() { saver_.SaveQuietly(); }
    FilePath DataFile() const { return saver_.DataFile(); }
    bool StorePosition(int left, int top, bool report) {
        return saver_.StorePosition(left, top, report);
    }

private:
    void ApplyListSettings();
    void Watch(bool on);
    void Capture();
    void Record(uint32_t sequence, const ClipboardSnapshot* snapshot);
    void StoreWithheld();
    void ForgetOldHistory();
    void DestroyLists();

    HWND window_;
    TrayIcon& tray_;
    std::function<void()> barTextChanged_;
    SaveKeeper saver_;
    ViewerChain chain_;
    ClipboardReader reader_;
    SnapshotClipboard clipboard_;  // what the capture reads: the reader's contents, or the live
    ClipboardChanges changes_;
    uint32_t storedWithheld_ = 0;  // the number in the settings
    HistoryTree* tree_ = nullptr;
    std::unique_ptr<CBaseContainer> container_;
    CClipboardHandler* handler_ = nullptr;  // borrowed from container_
    int32_t forgetAfter_ = 0;               // minutes; 0 = never
    bool paused_ = false;  // nothing is recorded; never stored, so a start records again
    bool owning_ = false;  // this program is writing the clipboard
};

}  // namespace snipora
