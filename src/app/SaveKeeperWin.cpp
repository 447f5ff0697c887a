#include "app/SaveKeeperWin.h"

#include "app/TrayIconWin.h"
#include "common/Error.h"
#include "common/Utf.h"
#include "log/Logger.h"
#include "settings/DataLocationsWin.h"
#include "settings/SettingsStorageWin.h"
#include "store/DataBase.h"
#include "store/FileSystem.h"
#include "store/KeyVaultWin.h"
#include "win/BaseWindow.h"
#include "win/Text.h"

namespace snipora {
namespace {

// Changes that come together are written together, within a second of the first.
constexpr UINT kSaveDelayMs = 500;

FilePath DataPath(const std::u16string& folder) {
    return FilePath(std::wstring(win::Wide(settings::DataFilePath(folder))));
}

}  // namespace

SaveKeeper::SaveKeeper(HWND window, UINT_PTR timerId, TrayIcon& tray)
    : window_(window),
      timerId_(timerId),
      tray_(tray),
      files_(PlatformFileSystem(), PlatformKeyVault()),
      journal_(files_) {}

SaveKeeper::~SaveKeeper() {
    ::KillTimer(window_, timerId_);
}

void SaveKeeper::Load(CDataBase& lists) {
    folder_ = settings::GetDataFolder();
    files_.SetSealing(settings::EncryptsDataIn(folder_));
    const FilePath data = DataPath(folder_);
    const bool otherForm = files_.FileExists(data) && files_.IsSealed(data) != files_.Sealing();
    const bool replayed = journal_.Load(lists, data);
    lists_ = &lists;
    // A file kept aside as locked is replaced at once, so that the next start does not find it
    // again.
    if (replayed || otherForm || lists.LastDamage().locked) {
        foldDue_ = true;
        AutoSave();
    }
    const CDataBase::Damage& damage = lists.LastDamage();
    if (!damage.found) {
        return;
    }
    if (damage.locked) {
        // The reason last, as a balloon too long for its box loses its end.
        const std::wstring& kept = damage.keptAs.native();
        tray_.ShowBalloon(L"Snipora", L"Snipora cannot decrypt its saved history, kept as " +
                                          kept.substr(kept.find_last_of(L"\\/") + 1) +
                                          L", and starts with an empty one. " +
                                          std::wstring(win::Wide(Utf8ToUtf16(damage.error))));
        return;
    }
    std::wstring text = L"Snipora could not read all of its saved entries. ";
    if (!damage.keptAs.native().empty()) {
        const std::wstring& kept = damage.keptAs.native();
        text += L"The file was kept as " + kept.substr(kept.find_last_of(L"\\/") + 1) + L".";
    } else {
        text += L"No copy of the file could be kept: " +
                std::wstring(win::Wide(Utf8ToUtf16(damage.error)));
    }
    tray_.ShowBalloon(L"Snipora", text);
}

FilePath SaveKeeper::DataFile() const {
    return DataPath(folder_);
}

void SaveKeeper::Changed() {
    if (!timerSet_) {
        timerSet_ = ::SetTimer(window_, timerId_, kSaveDelayMs, nullptr) != 0;
    }
}

void SaveKeeper::Erased() {
    foldDue_ = true;
    Changed();
}

void SaveKeeper::Save() {
    ::KillTimer(window_, timerId_);
    timerSet_ = false;
    if (lists_ == nullptr) {
        return;
    }
    folder_ = settings::GetDataFolderAgain(folder_);
    ChooseSealing();
    journal_.Fold(*lists_, DataPath(folder_));
    foldDue_ = false;
    failing_ = false;
}

void SaveKeeper::ChooseSealing() {
    const bool sealing = settings::EncryptsDataIn(folder_);
    if (sealing != files_.Sealing()) {
        files_.SetSealing(sealing);
        foldDue_ = true;
    }
}

void SaveKeeper::AutoSave() {
    try {
        if (!foldDue_ && lists_ != nullptr) {
            ::KillTimer(window_, timerId_);
            timerSet_ = false;
            folder_ = settings::GetDataFolderAgain(folder_);
            ChooseSealing();
            try {
                if (!foldDue_ && journal_.Append(*lists_, DataPath(folder_))) {
                    failing_ = false;  // the next failure is shown again
                    return;
                }
            } catch (const AppError& e) {
                // The whole file is written instead.
                LogError(std::string("[SaveKeeper] ") + e.what());
            }
        }
        Save();
    } catch (const AppError& e) {
        LogError(std::string("[SaveKeeper] ") + e.what());
        if (!failing_) {
            failing_ = true;
            tray_.ShowBalloon(L"Snipora", L"Snipora cannot save the clipboard history: " +
                                              std::wstring(win::Wide(Utf8ToUtf16(e.what()))));
        }
    }
}

void SaveKeeper::SaveNow() {
    Save();
}

void SaveKeeper::SaveQuietly() {
    try {
        Save();
    } catch (const AppError& e) {
        LogError(std::string("[SaveKeeper] ") + e.what());
    }
}

bool SaveKeeper::StorePosition(int left, int top, bool report) {
    try {
        auto& settings = settings::GetSettingsStorage();
        settings.SetPositionY(top);
        settings.SetPositionX(left);
        return true;
    } catch (const AppError& e) {
        LogError(std::string("[SaveKeeper] ") + e.what());
        if (report) {
            tray_.ShowBalloon(L"Snipora", L"Snipora could not store its place on the screen: " +
                                              std::wstring(win::Wide(Utf8ToUtf16(e.what()))));
        }
        return false;
    }
}

}  // namespace snipora
