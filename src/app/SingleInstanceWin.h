#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "app/SingleInstance.h"
#include "win/UniqueHandle.h"

namespace snipora {

// The data folder's facts as the system has them: the folder is opened as a directory
// (FILE_FLAG_BACKUP_SEMANTICS), through whatever link, junction, SUBST drive or share the path
// goes, and asked for its volume and file id and its final path. A folder that cannot be opened
// keeps only its spelling.
FolderFacts ReadFolderFacts(std::u16string_view folder);

// One running copy per user session and data folder: two copies would each rewrite the same
// data file and lose each other's copies. The folder is known by its identity, so that a SUBST
// drive, a share, a short name or a junction leading to it finds the copy already there.
class SingleInstance {
public:
    explicit SingleInstance(std::u16string_view dataFolder);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another copy already holds the data folder, also one that runs with more rights
    // (whose mutex this copy may not open).
    bool AnotherIsRunning() const { return AnotherCopyRuns(outcome_); }
    MutexOutcome Outcome() const { return outcome_; }
    uint64_t Digest() const { return digest_; }

    // Marks the running copy's window with the folder's identity, so that a second start on the
    // same folder finds this copy, and lets that start's switches in should this copy run with
    // more rights. The mark goes with the window.
    // `bringToFront` is the message that a plain second start posts.
    void MarkWindow(HWND window, UINT bringToFront) const;
    // The window of class `className` that the copy on this folder marked, or null.
    HWND FindRunningWindow(const wchar_t* className) const;

private:
    win::UniqueKernelHandle mutex_;
    uint64_t digest_ = 0;
    MutexOutcome outcome_ = MutexOutcome::Failed;
};

}  // namespace snipora
