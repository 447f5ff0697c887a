#include "settings/SettingsStorageWin.h"

#include "common/Error.h"
#include "common/Utf.h"
#include "win/Resources.h"
#include "win/Text.h"
#include "win/UniqueHandle.h"
#include "win/UniqueRegistryKey.h"

namespace snipora::settings {
namespace {

using win::Wide;

// Longer values than this are cut; the profile functions are meant for short texts.
constexpr size_t kMaxProfileText = 1 << 20;

std::wstring WideZ(std::u16string_view text) {
    return std::wstring(Wide(text));
}

// The key's text as the profile function gives it, `fallback` when the key is absent.
std::wstring ReadProfile(const std::wstring& section, const std::wstring& key,
                         const wchar_t* fallback, const std::u16string& path) {
    std::wstring buffer(2048, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback,
                                                        buffer.data(), size, Wide(path));
        // A value that fills the buffer may have been cut: read again with more room.
        if (length + 1 < size || buffer.size() >= kMaxProfileText) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

class Win32RegistryKey final : public IRegistryKey {
public:
    explicit Win32RegistryKey(win::UniqueRegistryKey key) : key_(std::move(key)) {}

    bool ValueExists(std::u16string_view name) override {
        const std::wstring n = WideZ(name);
        return n.find(L'\0') == std::wstring::npos &&
               ::RegQueryValueExW(key_.Get(), n.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                   ERROR_SUCCESS;
    }

    int32_t ReadInt(std::u16string_view name) override {
        const std::wstring n = CheckedName(name);
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof value;
        const LSTATUS status = ::RegQueryValueExW(key_.Get(), n.c_str(), nullptr, &type,
                                                  reinterpret_cast<BYTE*>(&value), &size);
        if (status == ERROR_MORE_DATA || (status == ERROR_SUCCESS && type != REG_DWORD) ||
            (status == ERROR_SUCCESS && size != sizeof value)) {
            throw RegistryError(
                FormatText("The registry value \"%s\" is not a number.", {Utf16ToUtf8(name)}));
        }
        if (status != ERROR_SUCCESS) {
            Fail("read", name, status);
        }
        return static_cast<int32_t>(value);
    }

    std::u16string ReadString(std::u16string_view name) override {
        const std::wstring n = CheckedName(name);
        for (;;) {
            DWORD type = 0;
            DWORD size = 0;
            LSTATUS status =
                ::RegQueryValueExW(key_.Get(), n.c_str(), nullptr, &type, nullptr, &size);
            if (status != ERROR_SUCCESS) {
                Fail("read", name, status);
            }
            if (type != REG_SZ && type != REG_EXPAND_SZ) {
                throw RegistryError(
                    FormatText("The registry value \"%s\" is not a text.", {Utf16ToUtf8(name)}));
            }
            std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
            DWORD got = size;
            status = ::RegQueryValueExW(key_.Get(), n.c_str(), nullptr, &type,
                                        reinterpret_cast<BYTE*>(text.data()), &got);
            if (status == ERROR_MORE_DATA) {
                continue;  // changed in between: ask again
            }
            if (status != ERROR_SUCCESS) {
                Fail("read", name, status);
            }
            text.resize(got / sizeof(wchar_t));
            while (!text.empty() && text.back() == L'\0') {
                text.pop_back();
            }
            return std::u16string(win::Utf16(text));
        }
    }

    void WriteInt(std::u16string_view name, int32_t value) override {
        const std::wstring n = CheckedName(name);
        const DWORD data = static_cast<DWORD>(value);
        const LSTATUS status = ::RegSetValueExW(key_.Get(), n.c_str(), 0, REG_DWORD,
                                                reinterpret_cast<const BYTE*>(&data), sizeof data);
        if (status != ERROR_SUCCESS) {
            Fail("write", name, status);
        }
    }

    void WriteString(std::u16string_view name, std::u16string_view value) override {
        const std::wstring n = CheckedName(name);
        const std::wstring data = WideZ(value);
        const size_t bytes = (data.size() + 1) * sizeof(wchar_t);
        if (bytes > 0xFFFFFFFFu) {
            throw RegistryError("The text is too long for the registry.");
        }
        const LSTATUS status = ::RegSetValueExW(key_.Get(), n.c_str(), 0, REG_SZ,
                                                reinterpret_cast<const BYTE*>(data.c_str()),
                                                static_cast<DWORD>(bytes));
        if (status != ERROR_SUCCESS) {
            Fail("write", name, status);
        }
    }

private:
    // A zero unit would make the system see a shorter name: another value.
    static std::wstring CheckedName(std::u16string_view name) {
        std::wstring n = WideZ(name);
        if (n.find(L'\0') != std::wstring::npos) {
            throw RegistryError("A registry value name cannot hold a zero character.");
        }
        return n;
    }

    [[noreturn]] static void Fail(const char* verb, std::u16string_view name, LSTATUS status) {
        throw RegistryError(
            FormatText("Cannot %s the registry value \"%s\". %s",
                       {verb, Utf16ToUtf8(name), win::ErrorText(static_cast<DWORD>(status))}));
    }

    win::UniqueRegistryKey key_;
};

Win32SettingsPlatform g_platform;
std::unique_ptr<CSettingsStorage> g_storage;

}  // namespace

std::optional<std::u16string> Win32ProfileFile::Read(std::u16string_view section,
                                                     std::u16string_view key) {
    const std::wstring s = WideZ(section);
    const std::wstring k = WideZ(key);
    // The profile functions tell an absent key only by its default. A text read with the empty
    // default is there; an empty one is there only if a second default does not come back.
    std::wstring text = ReadProfile(s, k, L"", path_);
    if (text.empty() && ReadProfile(s, k, L"\x01", path_) == L"\x01") {
        return std::nullopt;
    }
    return std::u16string(win::Utf16(text));
}

void Win32ProfileFile::Write(std::u16string_view section, std::u16string_view key,
                             std::u16string_view value) {
    const wchar_t* path = Wide(path_);
    if (::GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES &&
        ::GetLastError() == ERROR_FILE_NOT_FOUND) {
        // A new file starts as UTF-16 text; the profile functions keep writing it so.
        const win::UniqueFile file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            static const BYTE kByteOrderMark[] = {0xFF, 0xFE};
            DWORD written = 0;
            ::WriteFile(file.Get(), kByteOrderMark, sizeof kByteOrderMark, &written, nullptr);
        }
    }
    if (!::WritePrivateProfileStringW(WideZ(section).c_str(), WideZ(key).c_str(),
                                      WideZ(value).c_str(), path)) {
        throw AppError(FormatText("Cannot write file \"%s\". %s",
                                  {Utf16ToUtf8(path_), win::ErrorText(::GetLastError())}));
    }
}

std::unique_ptr<IRegistryKey> OpenRegistryKey(HKEY root, const std::u16string& path) {
    const std::wstring p = WideZ(path);
    if (p.find(L'\0') != std::wstring::npos) {
        throw RegistryError(FormatText("The registry key path \"%s\" holds a zero character.",
                                       {Utf16ToUtf8(path)}));
    }
    HKEY key = nullptr;
    LSTATUS status;
    if (p.empty()) {
        status = ::RegOpenKeyExW(root, L"", 0, KEY_READ | KEY_WRITE, &key);
    } else {
        status = ::RegCreateKeyExW(root, p.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    }
    if (status != ERROR_SUCCESS) {
        // Settings that are there can still be read where writing is refused.
        if (::RegOpenKeyExW(root, p.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return std::make_unique<ClosedRegistryKey>(
                FormatText("Cannot open the registry key \"%s\". %s",
                           {Utf16ToUtf8(path), win::ErrorText(static_cast<DWORD>(status))}));
        }
    }
    return std::make_unique<Win32RegistryKey>(win::UniqueRegistryKey(key));
}

std::unique_ptr<IProfileFile> Win32SettingsPlatform::OpenProfile(const std::u16string& path) {
    return std::make_unique<Win32ProfileFile>(path);
}

std::unique_ptr<IRegistryKey> Win32SettingsPlatform::OpenMachineKey(const std::u16string& path) {
    return OpenRegistryKey(HKEY_LOCAL_MACHINE, path);
}

void Win32SettingsPlatform::ShowMessage(const std::string& text) {
    const std::u16string wide = Utf8ToUtf16(text);
    ::MessageBoxW(nullptr, Wide(wide), L"Snipora", MB_OK);
}

CSettingsStorage& CreateSettingsStorage(const std::u16string& path, bool useIni) {
    g_storage.reset();
    g_storage = std::make_unique<CSettingsStorage>(path, useIni, g_platform);
    return *g_storage;
}

CSettingsStorage& GetSettingsStorage() {
    if (!g_storage) {
        throw AppError("The settings are not open.");
    }
    return *g_storage;
}

void FreeSettingsStorage() {
    g_storage.reset();
}

}  // namespace snipora::settings
