#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/BarWin.h"
#include "app/CaptureAffinityWin.h"
#include "app/CommandIds.h"
#include "app/CommandLine.h"
#include "app/EntryCommandsWin.h"
#include "app/HotKeyClash.h"
#include "app/HotKeyWin.h"
#include "app/MultiPasteWin.h"
#include "app/PasteWin.h"
#include "app/PopupController.h"
#include "app/PopupFocusWin.h"
#include "app/RecorderWin.h"
#include "app/TrayIconWin.h"
#include "app/TrayMenuWin.h"
#include "log/LogFileWin.h"
#include "view/ClipboardHandler.h"
#include "view/HistoryTreeWin.h"
#include "view/Palette.h"
#include "view/PreviewWin.h"
#include "view/ProgramImagesWin.h"
#include "win/BaseWindow.h"
#include "win/Dpi.h"
#include "win/UniqueGdiObject.h"

namespace snipora {

inline constexpr wchar_t kFormClassName[] = L"TClipboardViewerForm";

inline Rect ToRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}
inline Point ToPoint(POINT p) {
    return {p.x, p.y};
}

// Posted by a second start of the program to the running one: bring the bar to the front.
inline constexpr UINT kBringToFrontMessage = WM_APP + 3;

// The hidden top-level window that owns the popup, so that the popup has no taskbar button. It
// also owns the clipboard when the program writes to it.
class ApplicationWindow final : public win::BaseWindow {
public:
    bool Create();
};

// The one permanent window: the bar, the popup with the history tree, the program's member of
// the clipboard-viewer chain, and the owner of the tray icon.
class TClipboardViewerForm final : public win::BaseWindow,
                                   private IPopupHost,
                                   private IHistoryTreeEvents,
                                   private IEntryCommandsHost,
                                   private ITrayMenuHost,
                                   private IMultiPasteHost {
public:
    TClipboardViewerForm();
    ~TClipboardViewerForm() override;

    // Builds the window and everything it owns; the start-up sequence follows once the message
    // loop runs.
    void Create();

    // A switch of the command line: handed on by a later start, or given to this one.
    void RunSwitch(Switch command);

    CClipboardHandler* Handler() const override {
        return recorder_ ? recorder_->Handler() : nullptr;
    }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;

    // Construction, start-up and close.
    void ApplySettings();
    void RegisterHotKey(const TriggerKeys& keys);
    // The hot key against the layout of the window in front: a clash is told once.
    void CheckHotKeyClash(const TriggerKeys& keys);
    void KeepBarOnScreen();
    void StartUp();
    void RequestClose();
    void FormClose();
    void OnEndSession();

    // The switches handed on by later starts.
    LRESULT OnCopyData(const COPYDATASTRUCT& data);

    // The program's icon, for the window class and the tray.
    HICON ProgramIcon();

    // ITrayMenuHost
    HWND Owner() const override { return Handle(); }
    void SettingsAccepted() override;
    bool Paused() const override { return recorder_->Paused(); }
    void SetPaused(bool paused) override { recorder_->SetPaused(paused); }
    bool CloseRequested() const override { return closeRequested_; }
    void NewNoteFromTray(bool fromClipboard) override;
    bool PasteQueueRunning() const override { return multi_ && multi_->QueueRunning(); }
    void StopPasteQueue() override;

    // Several entries at once (ClipboardViewerFormSeveralWin.cpp).
    std::vector<uint32_t> SelectedIds() override { return tree_->SelectedIds(); }
    void PasteSeveral(WORD command, const CItemNode* record) override;
    void ChosenTogetherChanged() override { UpdateBarText(); }
    // IMultiPasteHost
    PasteOutcome PasteInto(const PasteTarget& target) override;
    void OwnWriteBegins() override {
        if (recorder_) {
            recorder_->OwnWriteBegins();
        }
    }
    void OwnWriteEnds(uint32_t sequence) override {
        if (recorder_) {
            recorder_->OwnWriteEnds(sequence);
        }
    }
    void QueueChanged() override { UpdateBarText(); }
    void Tell(const std::wstring& text) override { ShowBalloon(text); }
    // The bar's text: the queue's next text while one runs, how many entries are chosen
    // together in the open popup, else the recorder's.
    void UpdateBarText();
    void OnBarClick(POINT screen);

    // What the entry commands need (ClipboardViewerFormItemsWin.cpp), and the paste into the
    // window the popup was summoned over.
    void PasteIntoTarget();

    // IEntryCommandsHost
    void ListsChanged() override;
    void Erased() override;
    void WriteNow() override { recorder_->WriteNow(); }
    void SelectEntry(uint32_t id) override;
    void EntryOnClipboard() override;
    void ShowBalloon(const std::wstring& text) override;
    HWND QuestionOwner() const override { return Handle(); }
    FilePath DataFile() const override { return recorder_->DataFile(); }
    void EditText(const std::u16string& original, bool isNew,
                  const std::function<void(const EditOutcome&)>& ok) override;

    // IHistoryTreeEvents
    bool HotKeyHeld() override { return popup_.HotKeyDown(); }
    PopupCommand CommandOf(UINT virtualKey, char16_t typed, bool searching) override {
        return focus_->CommandOf(virtualKey, typed, searching);
    }
    void EntryChosen(const CItemNode* record) override { commands_.BtMoveToClipboardClick(record); }
    void DeleteAsked(const CItemNode* record) override { commands_.BtDeleteItemClick(record); }
    void UndoAsked() override { commands_.Undo(); }
    void MenuAsked(POINT screen) override;
    void DismissAsked() override { popup_.Dismiss(); }
    void SearchShown(bool shown) override { bar_->ShowLabel(!shown); }
    void NewNoteAsked() override { commands_.NewNote(); }
    void EditAsked(const CItemNode* record) override { commands_.Edit(record); }
    void ReorderAsked(const CItemNode* record, UINT virtualKey) override {
        commands_.Reorder(record, virtualKey);
    }
    void PreviewAsked(const CItemNode* record) override;
    void SelectionChanged(const CItemNode* record) override;
    void ClosePreview() override { preview_->Hide(); }
    void DropAsked(uint32_t id, const CItemNode& beside, bool below) override;
    // The preview of an entry, or none for a header or a "Show all" row.
    void ShowPreview(const CItemNode* record);
    // The pointer resting on a row opens its preview; on the tick.
    void WatchHover();

    // Messages.
    void OnCommand(WORD id, WORD code);
    void OnSize(int width, int height);
    void OnTrayMessage(LPARAM lParam);

    void BringToFront();
    // The palette as the system and [Main] Theme stand now, on every part of the window.
    void ApplyTheme();
    // Fonts, images, row heights and sizes at another scale.
    void SetDpi(win::Dpi dpi);
    void OnDpiChanged(int dpi, const RECT& suggested);

    // IPopupHost
    Rect WindowRect() override { return ToRect(ScreenRect()); }
    void MoveWindowTo(int left, int top) override { MoveTo(left, top); }
    void SetWindowWidth(int width) override { Resize(width, WindowRect().Height()); }
    void SetWindowHeight(int height) override { Resize(WindowRect().Width(), height); }
    int CollapsedHeight() override { return bar_->CollapsedHeight(); }
    void SetTranslucent(bool translucent) override;
    void ShowTree(bool show) override;
    void SetButtonDown(bool down) override { bar_->SetButtonDown(down); }
    bool IsActive() override;
    Point CursorPos() override { return ToPoint(win::CursorPos()); }
    Point PointerAtTick() override;
    bool IsKeyDown(uint8_t virtualKey) override { return ::GetKeyState(virtualKey) < 0; }
    void RememberTarget() override;
    void TakeFocus() override;
    void ReturnToTarget() override { ReturnTo(target_); }
    Rect WorkAreaAt(Point point) override { return ToRect(win::WorkAreaAt({point.x, point.y})); }
    void MatchMonitorAt(Point at) override { SetDpi(win::Dpi::AtPoint(POINT{at.x, at.y})); }

    // Declared in the order of building; what points into another member comes after it, so
    // that it goes first. The destructor takes the rest apart while the window still exists.
    std::optional<LogFileOutput> logFile_;  // first built, last gone: it hears every other member
    ApplicationWindow application_;
    PopupController popup_;
    std::optional<SystemHotKey> hotKey_;
    std::optional<MultiPaste> multi_;  // its clipboard offers are the window's
    std::optional<Bar> bar_;
    Palette palette_ = Palette::Light();
    ThemeChoice themeChoice_ = ThemeChoice::System;
    int designWidth_ = 0;              // [Main] WindowWidth, in pixels at 96 dots per inch
    int designHeight_ = 0;             // [Main] WindowHeight, likewise
    std::optional<HistoryTree> tree_;  // the popup's entries; the lists leave it before it goes
    UniqueIcon programIcon_;           // outlives the tray icon that shows it
    std::optional<TrayIcon> trayIcon_;
    std::optional<Recorder> recorder_;     // the lists, in tree_
    std::optional<PopupFocus> focus_;      // follows tree_
    std::optional<EntryPreview> preview_;  // beside the popup, and closed with it
    POINT hoverAt_{};                      // where the pointer rests, and since when
    DWORD hoverSince_ = 0;
    bool hoverDone_ = false;  // the rest there has opened its preview
    EntryCommands commands_{*this};
    TrayMenu trayMenu_{*this};

    CaptureAffinity captureAffinity_;

    PasteTarget target_;  // where a chosen entry is pasted
    bool started_ = false;
    bool pasting_ = false;         // a chosen entry is being pasted into the target
    bool editing_ = false;         // the editor is open: no trigger opens the popup
    bool closeRequested_ = false;  // a close waits for the open dialogs to end
    bool closed_ = false;
    bool tearingDown_ = false;  // the destructor runs
    bool hotKeyTakenReported_ = false;
    HotKeyClashWatch hotKeyClash_;
    int ticksToLayoutCheck_ = 0;
    win::Dpi dpi_;
    unsigned ticks_ = 0;
    UINT taskbarCreated_ = 0;
};

}  // namespace snipora
