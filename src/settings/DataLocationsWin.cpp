#include <windows.h>
#include <shlobj.h>

#include "settings/DataLocationsWin.h"
#include "settings/Keys.h"
#include "settings/SettingsStorageWin.h"
#include "win/Text.h"

namespace snipora::settings {
namespace {

using win::Wide;

}  // namespace

std::u16string GetEnvironmentValue(std::u16string_view name) {
    const std::wstring n(Wide(name));
    if (n.find(L'\0') != std::wstring::npos) {
        return {};  // no variable has such a name; the system would look up a shorter one
    }
    std::wstring buffer(kEnvironmentBufferSize, L'\0');
    const DWORD length =
        ::GetEnvironmentVariableW(n.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= kEnvironmentBufferSize) {
        return {};
    }
    buffer.resize(length);
    return std::u16string(win::Utf16(buffer));
}

std::u16string GetAppDataFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer) != S_OK) {
        return {};
    }
    std::u16string folder(win::Utf16(buffer));
    while (folder.size() > 3 && folder.back() == u'\\') {
        folder.pop_back();
    }
    return folder;
}

std::u16string GetProgramPath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) {
            return {};
        }
        if (length < size) {
            buffer.resize(length);
            return std::u16string(win::Utf16(buffer));
        }
        buffer.resize(buffer.size() * 2);  // cut short: a long path
    }
}

std::u16string GetDataFolder() {
    Win32Locations system;
    return ChooseDataFolder(system);
}

std::u16string GetDataFolderAgain(std::u16string_view lastFolder) {
    Win32Locations system;
    return ChooseDataFolderAgain(system, lastFolder);
}

std::u16string GetSettingsFolder(FolderFallback* fallback) {
    Win32Locations system;
    return ChooseSettingsFolder(system, fallback);
}

DataFolderKind GetDataFolderKind() {
    Win32Locations system;
    return KindOfDataFolder(system, ChooseDataFolder(system));
}

bool EncryptsDataIn(std::u16string_view dataFolder) {
    Win32Locations system;
    return EncryptsData(
        GetSettingsStorage().GetMainInt(keys::kEncryptData, keys::kEncryptDataByFolder),
        KindOfDataFolder(system, dataFolder));
}

std::u16string Win32Locations::EnvironmentValue(std::u16string_view name) {
    return GetEnvironmentValue(name);
}

std::u16string Win32Locations::AppDataFolder() {
    return GetAppDataFolder();
}

std::u16string Win32Locations::ProgramFolder() {
    const std::u16string path = GetProgramPath();
    const size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash + 1);
}

bool Win32Locations::FolderExists(std::u16string_view path) {
    const std::wstring p(Wide(path));
    if (p.empty() || p.find(L'\0') != std::wstring::npos) {
        return false;
    }
    const DWORD attributes = ::GetFileAttributesW(p.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Win32Locations::CreateFolder(std::u16string_view path) {
    const std::wstring p(Wide(path));
    if (p.empty() || p.find(L'\0') != std::wstring::npos) {
        return "The name is not a path.";
    }
    if (::CreateDirectoryW(p.c_str(), nullptr)) {
        return {};
    }
    const DWORD error = ::GetLastError();
    // A file's name is asked without the separator that a folder's path may end with.
    std::wstring name = p;
    while (name.size() > 3 && (name.back() == L'\\' || name.back() == L'/')) {
        name.pop_back();
    }
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return "A file has that name.";
    }
    return win::ErrorText(error);
}

}  // namespace snipora::settings
