#pragma once

#include <string>
#include <string_view>

namespace snipora::settings {

// The environment variable in which a U3 smart drive's launcher names the program's data folder.
inline constexpr std::u16string_view kU3DataPathVariable = u"U3_APP_DATA_PATH";

// What the choice of the data folders looks at. Paths use '\' as their separator.
class ILocationSystem {
public:
    virtual ~ILocationSystem() = default;
    // The variable's value, or an empty string when it is absent, empty or too long.
    virtual std::u16string EnvironmentValue(std::u16string_view name) = 0;
    // The user's roaming application-data folder without a trailing separator, or empty.
    virtual std::u16string AppDataFolder() = 0;
    // The folder of the program file, with its trailing separator.
    virtual std::u16string ProgramFolder() = 0;
    // True if the path names an existing folder; a trailing separator is allowed.
    virtual bool FolderExists(std::u16string_view path) = 0;
    // Creates one folder level: empty when made, else why not (the system's words).
    virtual std::string CreateFolder(std::u16string_view path) = 0;
};

// The folder that was chosen but could not be had, and why, when another stands in for it.
struct FolderFallback {
    std::u16string wanted;
    std::string reason;
};

// The folder for data.dat: the U3 data folder when it exists; otherwise the "Data" folder beside
// the program when that exists (portable use); otherwise "Tervix\Snipora\" under the
// application-data folder, created when missing. The program folder when the chosen one cannot
// be had; `fallback`, when given, then names the folder and the reason (and stays as it was
// otherwise).
std::u16string ChooseDataFolder(ILocationSystem& system, FolderFallback* fallback = nullptr);

// The data folder chosen again for a save, `lastFolder` being the one of the last load or save.
// A "Data" folder beside the program that was in use and has gone since is made again, so that a
// portable installation stays one; otherwise the choice is ChooseDataFolder's.
std::u16string ChooseDataFolderAgain(ILocationSystem& system, std::u16string_view lastFolder);

// The folder for the INI file: the same choice, except that a portable installation keeps its
// INI file beside the program rather than in "Data".
std::u16string ChooseSettingsFolder(ILocationSystem& system, FolderFallback* fallback = nullptr);

// The kinds of data folder: the user's own under the application-data folder (or the program
// folder standing in for it), the "Data" folder beside the program, or a U3 drive's.
enum class DataFolderKind { PerUser, Portable, U3 };
DataFolderKind KindOfDataFolder(ILocationSystem& system, std::u16string_view folder);

// Whether the history is encrypted in a data folder of `kind`, by `[Main] EncryptData` (`setting`,
// keys::kEncryptDataByFolder when absent): 1 everywhere, 0 nowhere, else only in the per-user
// folder, as a portable or U3 folder moves between computers and accounts that could not
// decrypt it.
bool EncryptsData(int32_t setting, DataFolderKind kind);

// What the user is told of a fallback: the folder, the reason, and the folder used instead.
std::u16string FallbackText(const FolderFallback& fallback, std::u16string_view used);

// The INI file's name: the program file's name without its folder, with its extension replaced
// by ".ini" (or ".ini" appended when it has none). "C:\x\Clip.exe" gives "Clip.ini".
std::u16string SettingsFileName(std::u16string_view programPath);

// The full paths of the two files: the folder, a separator unless it ends with one, the name.
std::u16string SettingsFilePath(std::u16string_view settingsFolder,
                                std::u16string_view programPath);
std::u16string DataFilePath(std::u16string_view dataFolder);

}  // namespace snipora::settings
