#pragma once

#include <windows.h>

namespace snipora::win {

// A DLL of Windows' own, loaded from the system folder at run time for functions that older
// versions lack, so that the program still starts there; freed with its owner. A DLL that is
// missing leaves every function null.
class SystemLibrary {
public:
    explicit SystemLibrary(const wchar_t* name);
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;
    ~SystemLibrary();

    template <typename Function>
    Function Find(const char* name) const {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(Address(name)));
    }
    // By ordinal, for functions exported without a name.
    template <typename Function>
    Function Find(WORD ordinal) const {
        return Find<Function>(MAKEINTRESOURCEA(ordinal));
    }

private:
    FARPROC Address(const char* name) const;

    HMODULE module_ = nullptr;
};

}  // namespace snipora::win
