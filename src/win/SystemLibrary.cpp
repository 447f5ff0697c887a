#include "win/SystemLibrary.h"

#include <string>

namespace snipora::win {

SystemLibrary::SystemLibrary(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    const std::wstring path = std::wstring(folder, length) + L"\\" + name;
    module_ = ::LoadLibraryW(path.c_str());
}

SystemLibrary::~SystemLibrary() {
    if (module_ != nullptr) {
        ::FreeLibrary(module_);
    }
}

FARPROC SystemLibrary::Address(const char* name) const {
    return module_ != nullptr ? ::GetProcAddress(module_, name) : nullptr;
}

}  // namespace snipora::win
