#pragma once

#include <windows.h>

#include <string>

#include "store/Journal.h"
#include "store/SealedFiles.h"

namespace snipora {

class CDataBase;
class TrayIcon;

// Where and when the lists and the window's place are written. Each change reaches the journal
// beside data.dat within a second; data.dat itself is written anew at the close, at the end of
// the session, when the journal is full, and soon after a delete, so that no deleted text stays
// in the journal. The data folder is chosen again for every write, as the next start will choose
// it. Only lists that were read may be written: a data file that could not be read stays as it
// is for the whole run. The files are encrypted for the Windows account as the data folder and
// `[Main] EncryptData` say (settings::EncryptsData); when that changes, or the data file read is
// in the other form, the next save writes data.dat anew, so that no file keeps the other form.
class SaveKeeper {
public:
    // `window` carries the save timer (`timerId`) and owns the error box; `tray` shows the
    // warning of a failed automatic save.
    SaveKeeper(HWND window, UINT_PTR timerId, TrayIcon& tray);
    SaveKeeper(const SaveKeeper&) = delete;
    SaveKeeper& operator=(const SaveKeeper&) = delete;
    ~SaveKeeper();

    // Reads data.dat into `lists` and replays the journal, which is then folded into a new
    // data.dat; the lists are written from then on. An error of data.dat passes to the caller
    // and leaves nothing to write.
    void Load(CDataBase& lists);
    // The lists are gone: nothing more is written.
    void Forget() { lists_ = nullptr; }
    // The data file of the last load or save.
    FilePath DataFile() const;
    // The files that the lists are read from and written to.
    IFileSystem& Files() { return files_; }

    // A change: the journal records it within a second of the first change not yet recorded.
    void Changed();
    // A change that deleted texts: data.dat is written anew and the journal removed instead.
    void Erased();
    // The automatic save, when the timer is due: the changes are appended to the journal, or
    // data.dat is written anew when the journal cannot take them or the append fails. A failure
    // is logged and shown once as a balloon, until a save succeeds again; the next change tries
    // again.
    void AutoSave();
    // The save at the close: an error passes to the caller.
    void SaveNow();
    // The save at the end of the session: nothing may hold it up, a failure is only logged.
    void SaveQuietly();
    // Stores the window's top and left edges as well as it can. A failure is logged, and shown
    // as a balloon when `report` is set; it never waits for the user. False on a failure.
    bool StorePosition(int left, int top, bool report);

private:
    void Save();
    // Seals new files or not, as the data folder and the setting say now; a change makes the
    // next save a fold.
    void ChooseSealing();

    HWND window_;
    UINT_PTR timerId_;
    TrayIcon& tray_;
    SealingFileSystem files_;
    CJournal journal_;
    CDataBase* lists_ = nullptr;
    std::u16string folder_;  // the data folder of the last load or save
    bool failing_ = false;   // the last automatic save failed and was shown
    bool timerSet_ = false;  // a change waits for the timer
    bool foldDue_ = false;   // the next automatic save writes data.dat anew
};

}  // namespace snipora
