#include "app/AutoStartWin.h"

#include <windows.h>

#include <string>

#include "app/AutoStart.h"
#include "common/Error.h"
#include "win/Text.h"
#include "win/UniqueRegistryKey.h"

namespace snipora {
namespace {

std::wstring ReadRunValue() {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) {
        return {};
    }
    const win::UniqueRegistryKey key(raw);
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(raw, kRunValue, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(raw, kRunValue, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                           &bytes) != ERROR_SUCCESS) {
        return {};
    }
    value.resize(bytes / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') {
        value.pop_back();
    }
    return value;
}

[[noreturn]] void Fail(LSTATUS status) {
    throw AppError(FormatText("Snipora could not change its start with Windows.\n%s",
                              {win::ErrorText(static_cast<DWORD>(status))}));
}

}  // namespace

bool IsAutoStartOn(std::wstring_view programPath) {
    const std::wstring command = ReadRunValue();
    const std::wstring_view program = win::Wide(AutoStartProgram(win::Utf16(command)));
    // File names compare as the file system does: without regard to case.
    return !program.empty() &&
           ::CompareStringOrdinal(program.data(), static_cast<int>(program.size()),
                                  programPath.data(), static_cast<int>(programPath.size()),
                                  TRUE) == CSTR_EQUAL;
}

void SetAutoStart(bool on, std::wstring_view programPath) {
    HKEY raw = nullptr;
    LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE,
                                       nullptr, &raw, nullptr);
    if (status != ERROR_SUCCESS) {
        Fail(status);
    }
    win::UniqueRegistryKey key(raw);
    if (on) {
        const std::wstring command(win::Wide(AutoStartCommand(win::Utf16(programPath))));
        status = ::RegSetValueExW(raw, kRunValue, 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(command.c_str()),
                                  static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    } else {
        status = ::RegDeleteValueW(raw, kRunValue);
        if (status == ERROR_FILE_NOT_FOUND) {
            status = ERROR_SUCCESS;
        }
    }
    if (status != ERROR_SUCCESS) {
        Fail(status);
    }
}

}  // namespace snipora
