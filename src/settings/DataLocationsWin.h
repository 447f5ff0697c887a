#pragma once

#include <string>
#include <string_view>

#include "settings/DataLocations.h"

namespace snipora::settings {

// The values are read into a buffer of this many units; a longer value counts as absent.
inline constexpr size_t kEnvironmentBufferSize = 4096;

// The environment variable's value, or an empty string when it is absent, empty, or of
// EnvironmentBufferSize units or more.
std::u16string GetEnvironmentValue(std::u16string_view name);
// The current user's roaming application-data folder without a trailing separator, or empty.
std::u16string GetAppDataFolder();
// The program file's full path.
std::u16string GetProgramPath();

// The folders of ChooseDataFolder and ChooseSettingsFolder on this system, created when needed.
std::u16string GetDataFolder();
std::u16string GetDataFolderAgain(std::u16string_view lastFolder);
std::u16string GetSettingsFolder(FolderFallback* fallback = nullptr);
// The kind of the data folder chosen now.
DataFolderKind GetDataFolderKind();
// Whether the history is encrypted in the data folder, by its kind and `[Main] EncryptData`.
bool EncryptsDataIn(std::u16string_view dataFolder);

// The real system. Tests derive from it to move the program and application-data folders.
class Win32Locations : public ILocationSystem {
public:
    std::u16string EnvironmentValue(std::u16string_view name) override;
    std::u16string AppDataFolder() override;
    std::u16string ProgramFolder() override;
    bool FolderExists(std::u16string_view path) override;
    std::string CreateFolder(std::u16string_view path) override;
};

}  // namespace snipora::settings
