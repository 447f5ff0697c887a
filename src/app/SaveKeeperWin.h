#pragma once

#include <windows.h>

#include <string>

namespace snipora {

class CDataBase;
class TrayIcon;

// Where and when the lists and the window's place are written. The lists go to data.dat a few
// seconds after a change, at the close and at the end of the session; the data folder is chosen
// again for every save, as the next start will choose it. Only lists that were read may be
// written: a data file that could not be read stays as it is for the whole run.
class SaveKeeper {
public:
    // `window` carries the save timer (`timerId`) and owns the error box; `tray` shows the
    // warning of a failed automatic save.
    SaveKeeper(HWND window, UINT_PTR timerId, TrayIcon& tray);
    SaveKeeper(const SaveKeeper&) = delete;
    SaveKeeper& operator=(const SaveKeeper&) = delete;
    ~SaveKeeper();

    // Reads data.dat into `lists`, which are written from then on. An error passes to the caller
    // and leaves nothing to write.
    void Load(CDataBase& lists);
    // The lists are gone: nothing more is written.
    void Forget() { lists_ = nullptr; }

    // A change: the automatic save follows a few seconds after the last one.
    void Changed();
    // The automatic save, when the timer is due. A failure is logged and shown once as a
    // balloon, until a save succeeds again; the next change tries again.
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

    HWND window_;
    UINT_PTR timerId_;
    TrayIcon& tray_;
    CDataBase* lists_ = nullptr;
    std::u16string folder_;  // the data folder of the last load or save
    bool failing_ = false;   // the last automatic save failed and was shown
};

}  // namespace snipora
