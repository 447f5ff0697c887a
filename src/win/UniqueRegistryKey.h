#pragma once

#include <windows.h>

#include "win/UniqueHandle.h"

namespace snipora::win {

// An open registry key. Keys are opened with RegOpenKeyExW or RegCreateKeyExW and closed once.
struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle h) { return ::RegCloseKey(h) == ERROR_SUCCESS; }
};
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;

}  // namespace snipora::win
