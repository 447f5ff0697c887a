#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "settings/DataLocations.h"

namespace snipora::settings {
namespace {

// Folders as a set of paths, each stored with its trailing separator.
struct FakeSystem final : ILocationSystem {
    std::map<std::u16string, std::u16string, std::less<>> environment;
    std::u16string appData = u"C:\\Users\\u\\AppData\\Roaming";
    std::u16string program = u"C:\\Apps\\Snipora\\";
    std::set<std::u16string> folders{u"C:\\Users\\u\\AppData\\Roaming\\", u"C:\\Apps\\Snipora\\"};
    std::set<std::u16string> refused;  // folders that cannot be created
    std::vector<std::u16string> created;

    static std::u16string Key(std::u16string_view path) {
        std::u16string p(path);
        if (p.empty() || p.back() != u'\\') {
            p += u'\\';
        }
        return p;
    }
    std::u16string EnvironmentValue(std::u16string_view name) override {
        auto v = environment.find(name);
        return v == environment.end() ? std::u16string() : v->second;
    }
    std::u16string AppDataFolder() override { return appData; }
    std::u16string ProgramFolder() override { return program; }
    bool FolderExists(std::u16string_view path) override { return folders.contains(Key(path)); }
    std::string CreateFolder(std::u16string_view path) override {
        created.emplace_back(path);
        if (refused.contains(Key(path))) {
            return "Access is denied.";
        }
        folders.insert(Key(path));
        return {};
    }
};

TEST(DataLocations, AMissingU3FolderIsIgnoredAndNotCreated) {
    FakeSystem system;
    system.environment[u"U3_APP_DATA_PATH"] = u"E:\\Gone";
    EXPECT_EQ(ChooseDataFolder(system), u"C:\\Users\\u\\AppData\\Roaming\\Tervix\\Snipora\\");
    EXPECT_EQ(system.created,
              (std::vector<std::u16string>{u"C:\\Users\\u\\AppData\\Roaming\\Tervix\\",
                                           u"C:\\Users\\u\\AppData\\Roaming\\Tervix\\Snipora\\"}));
    // Both levels are there now: a second call creates nothing.
    system.created.clear();
    EXPECT_EQ(ChooseSettingsFolder(system), u"C:\\Users\\u\\AppData\\Roaming\\Tervix\\Snipora\\");
    EXPECT_TRUE(system.created.empty());
}

// A "Data" folder beside the program: the lists go there, the INI file stays beside the
// program, and nothing is made under the application data.
TEST(DataLocations, APortableInstallationKeepsItsSettingsInTheProgramFolder) {
    FakeSystem system;
    system.folders.insert(u"C:\\Apps\\Snipora\\Data\\");
    EXPECT_EQ(ChooseDataFolder(system), u"C:\\Apps\\Snipora\\Data\\");
    EXPECT_EQ(ChooseSettingsFolder(system), u"C:\\Apps\\Snipora\\");
    EXPECT_TRUE(system.created.empty());
}

// Encrypted by default only where the folder stays with this account: not on a U3 drive or in a
// portable "Data" folder, which move between computers; 1 and 0 hold everywhere.
TEST(DataLocations, TheHistoryIsEncryptedByDefaultOnlyInThePerUserFolder) {
    FakeSystem system;
    system.environment[u"U3_APP_DATA_PATH"] = u"E:\\U3\\";
    const std::u16string folders[] = {u"E:\\U3\\", u"C:\\Apps\\Snipora\\Data\\",
                                      u"C:\\Users\\u\\AppData\\Roaming\\Tervix\\Snipora\\",
                                      u"C:\\Apps\\Snipora\\"};
    const DataFolderKind kinds[] = {DataFolderKind::U3, DataFolderKind::Portable,
                                    DataFolderKind::PerUser, DataFolderKind::PerUser};
    for (size_t i = 0; i < std::size(folders); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(KindOfDataFolder(system, folders[i]), kinds[i]);
        const bool perUser = kinds[i] == DataFolderKind::PerUser;
        EXPECT_EQ(EncryptsData(-1, kinds[i]), perUser);
        EXPECT_EQ(EncryptsData(2, kinds[i]), perUser);
        EXPECT_TRUE(EncryptsData(1, kinds[i]));
        EXPECT_FALSE(EncryptsData(0, kinds[i]));
    }
}

// A save chooses again: the portable "Data" folder comes back where it was; a vanished U3
// folder is never made, and the choice falls through to the next rule.
TEST(DataLocations, AFolderThatVanishedIsChosenAgainAtTheSave) {
    FakeSystem system;
    EXPECT_EQ(ChooseDataFolderAgain(system, u"C:\\Apps\\Snipora\\Data\\"),
              u"C:\\Apps\\Snipora\\Data\\");
    EXPECT_EQ(system.created, std::vector<std::u16string>{u"C:\\Apps\\Snipora\\Data\\"});

    FakeSystem u3;
    u3.environment[u"U3_APP_DATA_PATH"] = u"E:\\Gone";
    EXPECT_EQ(ChooseDataFolderAgain(u3, u"E:\\Gone"),
              u"C:\\Users\\u\\AppData\\Roaming\\Tervix\\Snipora\\");
    EXPECT_FALSE(u3.folders.contains(u"E:\\Gone\\"));
}

// The fallback is named with its reason, so that the user learns why the history is empty.
TEST(DataLocations, FoldersThatCannotBeHadFallBackToTheProgramFolderAndSayWhy) {
    FakeSystem system;
    system.refused.insert(u"C:\\Users\\u\\AppData\\Roaming\\Tervix\\Snipora\\");
    FolderFallback fallback;
    EXPECT_EQ(ChooseDataFolder(system, &fallback), u"C:\\Apps\\Snipora\\");
    EXPECT_EQ(fallback.wanted, u"C:\\Users\\u\\AppData\\Roaming\\Tervix\\Snipora\\");
    EXPECT_EQ(fallback.reason, "Access is denied.");
    EXPECT_EQ(
        FallbackText(fallback, u"C:\\Apps\\Snipora\\"),
        u"Snipora cannot use the folder \"C:\\Users\\u\\AppData\\Roaming\\Tervix\\Snipora\\\": "
        u"Access is denied. It keeps its settings and history in \"C:\\Apps\\Snipora\\\" "
        u"instead.");
    EXPECT_EQ(ChooseSettingsFolder(system), u"C:\\Apps\\Snipora\\");
    // A folder that is had leaves the fallback untouched.
    FolderFallback untouched{u"x", "y"};
    system.refused.clear();
    ChooseSettingsFolder(system, &untouched);
    EXPECT_EQ(untouched.wanted, u"x");
    // No application-data folder at all: not the root of the current drive.
    FakeSystem none;
    none.appData.clear();
    EXPECT_EQ(ChooseDataFolder(none), u"C:\\Apps\\Snipora\\");
    EXPECT_TRUE(none.created.empty());
}

TEST(DataLocations, TheIniFileIsNamedAfterTheProgram) {
    EXPECT_EQ(SettingsFileName(u"C:\\x\\Clip.exe"), u"Clip.ini");
    EXPECT_EQ(SettingsFileName(u"C:\\x.y\\Clip"), u"Clip.ini");
    EXPECT_EQ(SettingsFileName(u"C:\\x\\my.tool.exe"), u"my.tool.ini");
    EXPECT_EQ(SettingsFileName(u"Snipora.EXE"), u"Snipora.ini");
    // One separator between folder and name, as the log and the messages show the path.
    EXPECT_EQ(SettingsFilePath(u"C:\\Apps\\", u"C:\\Apps\\Copy.exe"), u"C:\\Apps\\Copy.ini");
    EXPECT_EQ(SettingsFilePath(u"C:\\Apps", u"Copy.exe"), u"C:\\Apps\\Copy.ini");
    EXPECT_EQ(DataFilePath(u"C:\\Users\\u\\Snipora\\"), u"C:\\Users\\u\\Snipora\\data.dat");
    EXPECT_EQ(DataFilePath(u"E:\\U3"), u"E:\\U3\\data.dat");
}

}  // namespace
}  // namespace snipora::settings
