#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>

#include "app/PopupController.h"
#include "app/TrayIconWin.h"
#include "common/FilePath.h"
#include "view/ClipboardHandler.h"
#include "view/ProgramImagesWin.h"
#include "view/TreeViewWin.h"
#include "win/BaseWindow.h"
#include "win/UniqueGdiObject.h"

namespace snipora {

class ItemDrawing;

inline constexpr wchar_t kFormClassName[] = L"TClipboardViewerForm";

// Command ids of the window's controls and menus.
enum CommandId : WORD {
    kIdButton = 10,
    kIdLabel,
    kIdTree,
    kIdSettings = 101,
    kIdCheckForUpdates,
    kIdAbout,
    kIdExit,
    kIdStartWithWindows,
    kIdMoveToClipboard = 201,
    kIdMoveToNotes,
    kIdDeleteItem,
    kIdClearText,
};

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
class TClipboardViewerForm final : public win::BaseWindow, private IPopupHost {
public:
    TClipboardViewerForm();
    ~TClipboardViewerForm() override;

    // Builds the window and everything it owns; the start-up sequence follows once the message
    // loop runs.
    void Create();

    PopupController& Popup() { return popup_; }
    CClipboardHandler* Handler() const { return handler_; }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;

    // Construction, start-up and close.
    void CreateControls();
    void AddHint(HWND control, const wchar_t* text);
    void ApplySettings();
    void StartUp();
    void FormClose();
    void SaveData();
    void ScheduleSave();
    void OnAutoSave();
    void OnEndSession();

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

    // Entry commands and the paste into the target window (ClipboardViewerFormItemsWin.cpp).
    void CreateItemMenu();
    static LRESULT CALLBACK TreeSubclassProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR id, DWORD_PTR self);
    void ItemsTreeMouseDown(UINT button, int x, int y);
    void ItemsTreeDblClick();
    void BtMoveToClipboardClick();
    void BtMoveToNotesClick();
    void BtDeleteItemClick();
    void BtClearTextClick();
    const CItemNode* SelectedRecord() const;
    void ListsChanged();
    void PasteIntoTarget();

    // Messages.
    void OnDrawClipboard(WPARAM wParam, LPARAM lParam);
    void OnChangeClipboardChain(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(LPARAM lParam);
    LRESULT OnNotify(NMHDR& header);
    void OnCommand(WORD id, WORD code);
    void OnSize(int width, int height);
    void OnPaint();
    void OnTrayMessage(LPARAM lParam);
    void ShowMainMenu();
    void BringToFront();
    LRESULT OnCtlColorStatic(HDC dc);

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
    Rect WorkAreaAt(Point point) override;

    int Scale(int pixels) const { return MulDiv(pixels, dpi_, 96); }

    ApplicationWindow application_;
    PopupController popup_;
    std::unique_ptr<CBaseContainer> container_;
    CClipboardHandler* handler_ = nullptr;  // borrowed from container_
    std::unique_ptr<Win32TreeView> treeView_;
    UniqueIcon programIcon_;  // outlives the tray icon that shows it
    std::optional<TrayIcon> trayIcon_;
    win::UniqueMenu mainMenu_;
    win::UniqueMenu itemMenu_;

    HWND label_ = nullptr;
    HWND button_ = nullptr;
    HWND tree_ = nullptr;
    win::UniqueFont font_;
    win::UniqueFont treeFont_;
    win::UniquePen framePen_;
    std::unique_ptr<ItemDrawing> drawing_;
    UniqueIcon buttonGlyph_;

    std::wstring updateQuestion_;
    FilePath dataPath_;
    HWND nextViewer_ = nullptr;
    HWND targetWindow_ = nullptr;
    bool inChain_ = false;
    bool started_ = false;
    bool loaded_ = false;
    bool modalOpen_ = false;  // a dialog of the tray menu is open
    bool closed_ = false;
    int dpi_ = 96;
    unsigned ticks_ = 0;
    UINT taskbarCreated_ = 0;
};

}  // namespace snipora
