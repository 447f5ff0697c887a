#include "log/LogFileWin.h"

#include <windows.h>

#include <algorithm>
#include <limits>

#include "win/Text.h"
#include "win/UniqueHandle.h"

namespace snipora {

uint64_t Win32LogFiles::FileSize(const std::u16string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(win::Wide(path), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return 0;
    }
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Win32LogFiles::Append(const std::u16string& path, std::string_view bytes) {
    win::UniqueFile file(::CreateFileW(win::Wide(path), FILE_APPEND_DATA,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    while (!bytes.empty()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<size_t>(bytes.size(), std::numeric_limits<DWORD>::max()));
        DWORD written = 0;
        if (!::WriteFile(file.Get(), bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

LogTime LocalLogTime() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear,   now.wMonth,  now.wDay,         now.wHour,
            now.wMinute, now.wSecond, now.wMilliseconds};
}

bool Win32LogFiles::Replace(const std::u16string& from, const std::u16string& to) {
    return ::MoveFileExW(win::Wide(from), win::Wide(to), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace snipora
