#include "app/SingleInstanceWin.h"

#include <cstdint>
#include <cwchar>

#include "win/Text.h"

namespace snipora {

std::wstring SingleInstance::MutexName(std::u16string_view dataFolder) {
    std::wstring folder(win::Wide(dataFolder));
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    if (!folder.empty()) {
        ::CharUpperBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    }
    // FNV-1a over the folder's units: names may not hold backslashes and have a length limit.
    uint64_t hash = 1469598103934665603ULL;
    for (wchar_t c : folder) {
        hash = (hash ^ (c == L'/' ? L'\\' : c)) * 1099511628211ULL;
    }
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\Snipora.%016llx", static_cast<unsigned long long>(hash));
    return name;
}

SingleInstance::SingleInstance(std::u16string_view dataFolder) {
    mutex_.Reset(::CreateMutexW(nullptr, FALSE, MutexName(dataFolder).c_str()));
    another_ = mutex_ && ::GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace snipora
