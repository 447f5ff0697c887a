#include "settings/DataLocations.h"

#include "common/Utf.h"

namespace snipora::settings {
namespace {

bool Exists(ILocationSystem& system, const std::u16string& path) {
    return !path.empty() && system.FolderExists(path);
}

std::u16string InFolder(std::u16string_view folder, std::u16string_view name) {
    std::u16string path(folder);
    if (!path.empty() && path.back() != u'\\' && path.back() != u'/') {
        path += u'\\';
    }
    return path += name;
}

std::u16string ChooseFolder(ILocationSystem& system, bool portableSettings,
                            FolderFallback* fallback) {
    std::u16string folder = system.EnvironmentValue(kU3DataPathVariable);
    if (!Exists(system, folder)) {
        const std::u16string program = system.ProgramFolder();
        if (Exists(system, program + u"Data\\")) {
            folder = portableSettings ? program : program + u"Data\\";
        } else {
            // Without an application-data folder the rule would name a folder on the root of
            // whatever drive is current, which changes from run to run; the program folder is
            // the stable choice.
            const std::u16string appData = system.AppDataFolder();
            if (appData.empty()) {
                return program;
            }
            const std::u16string maker = appData + u"\\Tervix\\";
            if (!Exists(system, maker)) {
                system.CreateFolder(maker);
            }
            folder = maker + u"Snipora\\";
        }
    }
    if (!Exists(system, folder)) {
        std::string reason = system.CreateFolder(folder);
        if (!Exists(system, folder)) {
            if (fallback != nullptr) {
                *fallback = {folder, reason.empty() ? "It is not a folder." : std::move(reason)};
            }
            folder = system.ProgramFolder();
        }
    }
    return folder;
}

}  // namespace

std::u16string ChooseDataFolder(ILocationSystem& system, FolderFallback* fallback) {
    return ChooseFolder(system, false, fallback);
}

std::u16string ChooseDataFolderAgain(ILocationSystem& system, std::u16string_view lastFolder) {
    const std::u16string portable = system.ProgramFolder() + u"Data\\";
    if (lastFolder == portable && !Exists(system, portable)) {
        system.CreateFolder(portable);
    }
    return ChooseDataFolder(system);
}

std::u16string ChooseSettingsFolder(ILocationSystem& system, FolderFallback* fallback) {
    return ChooseFolder(system, true, fallback);
}

DataFolderKind KindOfDataFolder(ILocationSystem& system, std::u16string_view folder) {
    const std::u16string u3 = system.EnvironmentValue(kU3DataPathVariable);
    if (!u3.empty() && folder == u3) {
        return DataFolderKind::U3;
    }
    return folder == system.ProgramFolder() + u"Data\\" ? DataFolderKind::Portable
                                                        : DataFolderKind::PerUser;
}

bool EncryptsData(int32_t setting, DataFolderKind kind) {
    return setting == 1 || (setting != 0 && kind == DataFolderKind::PerUser);
}

std::u16string FallbackText(const FolderFallback& fallback, std::u16string_view used) {
    return u"Snipora cannot use the folder \"" + fallback.wanted + u"\": " +
           Utf8ToUtf16(fallback.reason) + u" It keeps its settings and history in \"" +
           std::u16string(used) + u"\" instead.";
}

std::u16string SettingsFileName(std::u16string_view programPath) {
    const size_t slash = programPath.find_last_of(u"\\/:");
    std::u16string_view name =
        slash == std::u16string_view::npos ? programPath : programPath.substr(slash + 1);
    const size_t dot = name.rfind(u'.');
    if (dot != std::u16string_view::npos) {
        name = name.substr(0, dot);
    }
    return std::u16string(name) + u".ini";
}

std::u16string SettingsFilePath(std::u16string_view settingsFolder,
                                std::u16string_view programPath) {
    return InFolder(settingsFolder, SettingsFileName(programPath));
}

std::u16string DataFilePath(std::u16string_view dataFolder) {
    return InFolder(dataFolder, u"data.dat");
}

}  // namespace snipora::settings
