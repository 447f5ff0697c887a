#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "app/ClipboardSnapshot.h"
#include "store/ClipboardWin.h"
#include "win/UniqueHandle.h"

namespace snipora {

// The clipboard's format listener, on a thread of its own that does nothing else: it reads each
// content as soon as the system reports it (WM_CLIPBOARDUPDATE) and tells the window. A window
// whose thread is held up (a dialog that takes long to close, a slow save) would otherwise read
// only the newest of the copies made meanwhile.
class ClipboardReader {
public:
    // `window` receives `message` after each content read.
    ClipboardReader(HWND window, UINT message);
    ClipboardReader(const ClipboardReader&) = delete;
    ClipboardReader& operator=(const ClipboardReader&) = delete;
    ~ClipboardReader() { Stop(); }

    // Starts the thread and its listener; a refusal is logged, and the viewer chain alone then
    // reports the copies.
    void Start();
    void Stop();

    // While paused, a content's number is taken, and nothing is read.
    void SetPaused(bool paused) { paused_ = paused; }
    void SetExcludedPrograms(std::u16string_view list);

    // The contents read since the last call, oldest first.
    std::vector<ClipboardSnapshot> Take();

private:
    static DWORD WINAPI ThreadMain(void* self);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Read();

    HWND window_;
    UINT message_;
    win::UniqueKernelHandle thread_;
    win::UniqueKernelHandle ready_;
    // The thread's message-only window, null when it could not listen; with the reason.
    std::atomic<HWND> listener_{nullptr};
    DWORD error_ = 0;
    std::atomic<bool> paused_{false};
    Win32Clipboard clipboard_;  // the thread's own
    // Never held while the clipboard is read, which may wait on another program: the window's
    // thread takes it too.
    std::mutex mutex_;
    std::vector<ClipboardSnapshot> read_;
    std::u16string excluded_;
    bool excludedChanged_ = false;
};

}  // namespace snipora
