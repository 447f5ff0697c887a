#pragma once

#include <windows.h>

#include <string>

#include "win/UniqueGdiObject.h"

namespace snipora {

class CClipboardHandler;

// What the tray menu needs of the window that shows it.
class ITrayMenuHost {
public:
    virtual ~ITrayMenuHost() = default;
    // The owner of the menu and of the dialogs it opens.
    virtual HWND Owner() const = 0;
    // The lists, or null while there are none (before the start, after the close).
    virtual CClipboardHandler* Handler() const = 0;
    // The settings dialog's OK: the settings are read anew.
    virtual void SettingsAccepted() = 0;
    virtual bool Paused() const = 0;
    virtual void SetPaused(bool paused) = 0;
    // A close waits for the open dialog: it is asked again once the dialog ends.
    virtual bool CloseRequested() const = 0;
    // "New note…" (the editor) or "New note from clipboard" (at once).
    virtual void NewNoteFromTray(bool fromClipboard) = 0;
    // Texts are being pasted one by one; the menu offers to stop.
    virtual bool PasteQueueRunning() const { return false; }
    virtual void StopPasteQueue() {}
};

// The tray icon's menu and its commands: a new note, the settings dialog, the update check, the
// about box, the start with Windows, the pause and Exit; and the start-up's first-launch and update
// steps, which open the same dialogs.
//
// One dialog at a time: the menu stays usable while one is open, and a second command brings
// the open one to the front instead of opening another over it, whose OK would be undone by the
// first one's.
class TrayMenu {
public:
    explicit TrayMenu(ITrayMenuHost& host);
    TrayMenu(const TrayMenu&) = delete;
    TrayMenu& operator=(const TrayMenu&) = delete;

    // At the pointer, with the checks as things stand now.
    void Show();
    // Runs the command of one of the menu's items; false for any other id.
    bool Command(WORD id);
    // The settings dialog, the about box or the update question is open.
    bool ModalOpen() const { return modalOpen_; }

    void Settings1Click();
    void Checkforupdates1Click();
    void About1Click();
    void Exit1Click();
    void StartWithWindowsClick();
    void FirstLaunchStep();
    void UpdateStep();

private:
    class ModalScope;
    // True when a dialog is open already; it is brought to the front.
    bool ModalAlreadyOpen() const;

    ITrayMenuHost& host_;
    win::UniqueMenu menu_;
    std::wstring updateQuestion_ = L"Check for New Version? (Internet connection required)";
    bool modalOpen_ = false;
};

}  // namespace snipora
