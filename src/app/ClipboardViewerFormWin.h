#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>

#include "app/CaptureAffinityWin.h"
#include "app/CommandLine.h"
#include "app/EntryCommandsWin.h"
#include "app/PasteWin.h"
#include "app/PopupController.h"
#include "app/PopupInputWin.h"
#include "app/SaveKeeperWin.h"
#include "app/TrayIconWin.h"
#include "app/ViewerChainWin.h"
#include "log/LogFileWin.h"
#include "view/ClipboardHandler.h"
#include "view/ItemsTreeWin.h"
#include "view/Palette.h"
#include "view/ProgramImagesWin.h"
#include "view/SkinWin.h"
#include "view/TextFilter.h"
#include "view/TreeViewWin.h"
#include "win/BaseWindow.h"
#include "win/Dpi.h"
#include "win/UniqueGdiObject.h"

namespace snipora {

class ItemDrawing;

inline constexpr wchar_t kFormClassName[] = L"TClipboardViewerForm";

// Command ids of the window's controls and menus.
enum CommandId : WORD {
    kIdButton = 10,
    kIdLabel,
    kIdTree,
    kIdFilter,
    kIdSettings = 101,
    kIdCheckForUpdates,
    kIdAbout,
    kIdExit,
    kIdStartWithWindows,
    kIdPauseRecording,
    kIdMoveToClipboard = 201,
    kIdMoveToNotes,
    kIdDeleteItem,
    kIdClearText,
    kIdUndo,
};

// The timer of the once-a-minute check for history entries to forget.
inline constexpr UINT_PTR kForgetTimer = 3;

// Posted by a second start of the program to the running one: bring the bar to the front.
inline constexpr UINT WM_APP_BRING_TO_FRONT = WM_APP + 3;

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
                                   private IItemsTreeEvents,
                                   private IEntryCommandsHost {
public:
    TClipboardViewerForm();
    ~TClipboardViewerForm() override;

    // Builds the window and everything it owns; the start-up sequence follows once the message
    // loop runs.
    void Create();

    // A switch of the command line: handed on by a later start, or given to this one.
    void RunSwitch(Switch command);

    CClipboardHandler* Handler() const override { return handler_; }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;

    // Construction, start-up and close.
    void CreateControls();
    void AddHint(HWND control, const wchar_t* text);
    void ApplySettings();
    void RegisterHotKey(const TriggerKeys& keys);
    static std::wstring HotKeyName(const TriggerKeys& keys);
    void KeepBarOnScreen();
    void StartUp();
    void RequestClose();
    void FormClose();
    void ScheduleSave();
    void OnEndSession();

    // The pause, the forgetting of old history, the hiding from screen captures and the
    // switches handed on by later starts (ClipboardViewerFormPrivacyWin.cpp).
    void SetPaused(bool paused);
    void ShowLastCaptured();
    void ApplyPrivacySettings();
    void ForgetOldHistory();
    LRESULT OnCopyData(const COPYDATASTRUCT& data);

    // Drawing of the tree's entries and the window's images (ClipboardViewerFormDrawWin.cpp).
    void CreateDrawing();
    LRESULT ItemsTreeCustomDrawItem(NMTVCUSTOMDRAW& draw);
    HICON ProgramIcon();
    HICON OpenClipboardGlyph();

    // The tray menu's commands and the start-up's last two steps
    // (ClipboardViewerFormMenuWin.cpp).
    void Settings1Click();
    void Checkforupdates1Click();
    void About1Click();
    void Exit1Click();
    bool StartsWithWindows() const;
    void StartWithWindowsClick();
    void FirstLaunchStep();
    void UpdateStep();

    // The entry menu, the entry commands (EntryCommandsWin.cpp runs them) and the paste into
    // the target window (ClipboardViewerFormItemsWin.cpp). Each command acts on the given
    // entry; from the menu, on the one it was opened for.
    void CreateItemMenu();
    void ItemsTreeMouseDown(UINT button, int x, int y);
    void ItemsTreeDblClick();
    void OpenItemMenu(int x, int y);
    void BtMoveToClipboardClick(const CItemNode* record) { commands_.MoveToClipboard(record); }
    void BtMoveToNotesClick(const CItemNode* record) { commands_.MoveToNotes(record); }
    void BtDeleteItemClick(const CItemNode* record) { commands_.Delete(record); }
    void BtClearTextClick(const CItemNode* record) { commands_.Clear(record); }
    void UndoClick() { commands_.Undo(); }
    const CItemNode* SelectedRecord() const;

    // IEntryCommandsHost
    void ListsChanged() override;
    void Erased() override;
    void SelectEntry(uint32_t id) override;
    void EntryOnClipboard() override;
    void ShowBalloon(const std::wstring& text) override;
    HWND QuestionOwner() const override { return Handle(); }

    // The keyboard in the popup and the type-to-filter search (ClipboardViewerFormKeysWin.cpp).
    void CreateFilterField();
    static LRESULT CALLBACK FilterFieldProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR id, DWORD_PTR self);
    std::u16string FilterText() const;
    void SetFilterText(const std::u16string& text);
    void ApplyFilter();
    void ChooseHistoryEntry(int position);
    void TreeMouseDown(UINT button, int x, int y) override;
    void TreeDoubleClick() override;
    LRESULT TreeCustomDraw(NMTVCUSTOMDRAW& draw) override;
    bool TreeKeyDown(UINT virtualKey) override;
    void TreeChar(wchar_t unit) override;
    void TreeMenuKey() override;
    std::u16string TreeItemText(const CItemNode& record) override;
    // Pastes the clipboard into the window the popup was summoned over.
    void PasteIntoTarget();

    // Messages.
    void OnDrawClipboard(WPARAM wParam, LPARAM lParam);
    void CaptureClipboard();
    LRESULT OnNcHitTest(LPARAM lParam);
    void OnCommand(WORD id, WORD code);
    void OnSize(int width, int height);
    void OnPaint();
    void OnTrayMessage(LPARAM lParam);

    // The popup without the focus (ClipboardViewerFormWin.cpp): the keys reach it through the
    // keyboard hook while the window in front keeps its focus, unless a screen reader runs or
    // the settings ask for the focus.
    bool PopupTakesFocus() const;
    void SetNoActivate(bool noActivate);
    void StartRouting();
    void StopRouting();
    void OnRoutedKey(UINT virtualKey, LPARAM info);
    void OnOutsideClick(LPARAM point);
    void CloseOnForegroundChange();
    void ShowMainMenu();
    void BringToFront();
    LRESULT OnCtlColorStatic(HDC dc);
    LRESULT OnCtlColorEdit(HDC dc);
    // The palette as the system and [Main] Theme stand now, on every part of the window.
    void ApplyTheme();
    // Fonts, images, row heights and sizes at another scale.
    void SetDpi(win::Dpi dpi);
    void OnDpiChanged(int dpi, const RECT& suggested);

    // IPopupHost
    Rect WindowRect() override;
    void MoveWindowTo(int left, int top) override;
    void SetWindowWidth(int width) override;
    void SetWindowHeight(int height) override;
    int CollapsedHeight() override;
    void SetTranslucent(bool translucent) override;
    void ShowTree(bool show) override;
    void SetButtonDown(bool down) override;
    bool IsActive() override;
    Point CursorPos() override;
    Point PointerAtTick() override;
    bool IsKeyDown(uint8_t virtualKey) override;
    void RememberTarget() override;
    void TakeFocus() override;
    void ReturnToTarget() override;
    Rect WorkAreaAt(Point point) override;
    void MatchMonitorAt(Point point) override;

    // Declared in the order of building; what points into another member comes after it, so
    // that it goes first. The destructor takes the rest apart while the window still exists.
    std::optional<LogFileOutput> logFile_;  // first built, last gone: it hears every other member
    ApplicationWindow application_;
    PopupController popup_;
    HWND label_ = nullptr;
    HWND button_ = nullptr;
    HWND tree_ = nullptr;
    HWND filterField_ = nullptr;  // shown in the label's place while a filter is typed
    HWND hint_ = nullptr;         // the button's tool tip, owned by the window
    win::UniqueFont font_;
    win::UniqueFont treeFont_;
    win::UniquePen framePen_;
    win::UniqueBrush barBrush_;
    win::UniqueBrush filterBrush_;
    Palette palette_ = Palette::Light();
    ThemeChoice themeChoice_ = ThemeChoice::System;
    int designWidth_ = 0;   // [Main] WindowWidth, in pixels at 96 dots per inch
    int designHeight_ = 0;  // [Main] WindowHeight, likewise
    std::unique_ptr<Win32TreeView> treeView_;
    std::unique_ptr<ItemsTree> itemsTree_;
    TextFilter filter_;
    std::unique_ptr<CBaseContainer> container_;
    CClipboardHandler* handler_ = nullptr;  // borrowed from container_
    UniqueIcon programIcon_;                // outlives the tray icon that shows it
    std::optional<TrayIcon> trayIcon_;
    std::optional<SaveKeeper> saver_;
    std::optional<ViewerChain> chain_;
    std::optional<PopupInput> input_;
    win::UniqueMenu mainMenu_;
    win::UniqueMenu itemMenu_;
    EntryCommands commands_{*this};
    Skin skin_;  // drawn with by drawing_
    std::unique_ptr<ItemDrawing> drawing_;
    UniqueIcon buttonGlyph_;

    CaptureAffinity captureAffinity_;
    int32_t forgetAfter_ = 0;  // minutes; 0 = never
    bool paused_ = false;      // nothing is recorded; never stored, so a start records again

    std::wstring updateQuestion_;
    PasteTarget target_;  // where a chosen entry is pasted
    bool started_ = false;
    bool keepDuplicates_ = false;  // [Main] KeepDuplicates
    bool pasting_ = false;         // a chosen entry is being pasted into the target
    bool modalOpen_ = false;       // a dialog of the tray menu is open
    bool closeRequested_ = false;  // a close waits for the open dialogs to end
    bool closed_ = false;
    bool tearingDown_ = false;  // the destructor runs
    bool hotKeyTakenReported_ = false;
    bool popupTakesFocus_ = false;  // [Main] PopupTakesFocus=1
    bool focusMode_ = false;        // the open popup took the focus, as it did before the hook
    bool keysTaken_ = false;        // the open popup has the keys: summoned by them or clicked
    HWND frontAtOpen_ = nullptr;    // the foreground window when the popup opened
    win::Dpi dpi_;
    unsigned ticks_ = 0;
    UINT taskbarCreated_ = 0;
};

}  // namespace snipora
