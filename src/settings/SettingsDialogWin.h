#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "settings/DataLocations.h"
#include "settings/DialogValues.h"
#include "win/BaseDialog.h"

namespace snipora::settings {

// The modal dialog in which the user sets the popup's size, the history's lengths, its two
// triggers, the privacy settings and the colours. It reads and writes only through the settings
// storage. One dialog serves one Execute.
class TFormSettings final : public win::BaseDialog {
public:
    // `historyCount` gives the number of history entries there are when OK is pressed: a size
    // below it asks before the oldest are dropped. Without it nothing is asked.
    // `hotKeyNote` says what a hot key (a shortcut code) would take from the keyboard layout,
    // shown under the hot key as it is chosen; empty for nothing.
    // `folderKind` is the data folder's, whose default the encryption box shows; the box stores
    // `[Main] EncryptData` only when the user changes it, so that an untouched default still
    // follows the folder.
    explicit TFormSettings(HWND owner, std::function<size_t()> historyCount = {},
                           std::function<std::wstring(uint16_t shortcut)> hotKeyNote = {},
                           DataFolderKind folderKind = DataFolderKind::PerUser)
        : owner_(owner),
          historyCount_(std::move(historyCount)),
          hotKeyNote_(std::move(hotKeyNote)),
          folderKind_(folderKind) {}
    TFormSettings(const TFormSettings&) = delete;
    TFormSettings& operator=(const TFormSettings&) = delete;

    // Shows the stored settings, each held within its field's range. True when the user
    // confirmed with OK and the values have been stored; any other way out stores nothing.
    bool Execute();

private:
    void OnInit() override;
    // Takes the fields' values as the user left them, then ends the dialog.
    void OnOk() override;
    bool OnCommand(int id, int code) override;
    void ShowHotKeyNote();
    // Asks whether the `dropped` oldest history entries may go; false leaves the dialog open.
    bool ConfirmDrop(size_t dropped);

    HWND owner_;
    std::function<size_t()> historyCount_;
    std::function<std::wstring(uint16_t)> hotKeyNote_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    bool primaryEnabled_ = false;
    bool secondaryEnabled_ = false;
    DataFolderKind folderKind_;
    uint16_t shortcut_ = 0;   // the secondary hot key as a shortcut code
    uint16_t pasteNext_ = 0;  // the paste-next key as a shortcut code
    bool hideFromCapture_ = true;
    bool encrypt_ = false;        // as shown
    bool encryptChosen_ = false;  // as left
    int32_t forgetAfter_ = 0;     // minutes
    HistoryLengths history_{};
    ThemeChoice theme_ = ThemeChoice::System;
};

}  // namespace snipora::settings
