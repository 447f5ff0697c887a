#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "win/UniqueHandle.h"

namespace snipora {

// One running copy per user session and data folder: two copies would each rewrite the same
// data file and lose each other's copies.
class SingleInstance {
public:
    explicit SingleInstance(std::u16string_view dataFolder);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another copy already holds the data folder.
    bool AnotherIsRunning() const { return another_; }

    // The mutex name for a data folder: the same for every spelling of the same folder's path.
    static std::wstring MutexName(std::u16string_view dataFolder);

private:
    win::UniqueKernelHandle mutex_;
    bool another_ = false;
};

}  // namespace snipora
