#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "settings/SettingsStorage.h"
#include "win/UniqueGdiObject.h"

namespace snipora::settings {

// The INI file through GetPrivateProfileStringW and WritePrivateProfileStringW, on every call.
// A file that does not exist yet is created as UTF-16 text, so that texts outside the ANSI code
// page survive.
class Win32ProfileFile final : public IProfileFile {
public:
    explicit Win32ProfileFile(std::u16string path) : path_(std::move(path)) {}
    std::optional<std::u16string> Read(std::u16string_view section,
                                       std::u16string_view key) override;
    void Write(std::u16string_view section, std::u16string_view key,
               std::u16string_view value) override;

private:
    std::u16string path_;
};

// Opens `path` under HKEY_LOCAL_MACHINE, creating it when missing, for reading and writing (or
// reading alone when writing is refused); an empty path opens the root key itself.
std::unique_ptr<IRegistryKey> OpenRegistryKey(HKEY root, const std::u16string& path);

// The real system. Tests derive from it to keep message boxes off the screen.
class Win32SettingsPlatform : public ISettingsPlatform {
public:
    std::unique_ptr<IProfileFile> OpenProfile(const std::u16string& path) override;
    std::unique_ptr<IRegistryKey> OpenMachineKey(const std::u16string& path) override;
    void ShowMessage(const std::string& text) override;
};

// The process-wide storage. CreateSettingsStorage replaces any storage made before.
// GetSettingsStorage raises an AppError when there is none: before it is made or after
// FreeSettingsStorage has destroyed it.
CSettingsStorage& CreateSettingsStorage(const std::u16string& path, bool useIni);
CSettingsStorage& GetSettingsStorage();
void FreeSettingsStorage();

}  // namespace snipora::settings
