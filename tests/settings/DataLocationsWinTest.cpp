#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "settings/DataLocationsWin.h"
#include "support/TempDir.h"
#include "win/Text.h"

namespace snipora::settings {
namespace {

std::u16string U16(const std::filesystem::path& path) {
    return std::u16string(win::Utf16(path.native()));
}

bool IsFolder(const std::u16string& path) {
    const DWORD attributes = ::GetFileAttributesW(win::Wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Sets (or clears) an environment variable of this process for one scope.
class ScopedVariable {
public:
    ScopedVariable(const wchar_t* name, const std::optional<std::u16string>& value) : name_(name) {
        wchar_t buffer[32768];
        const DWORD length = ::GetEnvironmentVariableW(name, buffer, 32768);
        if (length > 0 && length < 32768) {
            old_ = std::wstring(buffer, length);
        }
        ::SetEnvironmentVariableW(name, value ? win::Wide(*value) : nullptr);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;
    ~ScopedVariable() { ::SetEnvironmentVariableW(name_, old_ ? old_->c_str() : nullptr); }

private:
    const wchar_t* name_;
    std::optional<std::wstring> old_;
};

// The system's own environment and folders, with the program and application-data folders
// moved into a temporary folder.
class MovedLocations final : public Win32Locations {
public:
    std::u16string appData;
    std::u16string program;
    std::u16string AppDataFolder() override { return appData; }
    std::u16string ProgramFolder() override { return program; }
};

class DataLocationsWin : public ::testing::Test {
protected:
    DataLocationsWin() {
        std::filesystem::create_directory(
            dir / L"\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u0430");
        std::filesystem::create_directory(dir / L"Roaming \u4e2d\u6587");
        system.program =
            U16(dir / L"\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u0430") + u"\\";
        system.appData = U16(dir / L"Roaming \u4e2d\u6587");
    }
    std::u16string Tervix() const { return system.appData + u"\\Tervix\\"; }
    std::u16string Own() const { return system.appData + u"\\Tervix\\Snipora\\"; }

    test::TempDir dir;
    ScopedVariable u3{L"U3_APP_DATA_PATH", std::nullopt};
    MovedLocations system;
};

TEST_F(DataLocationsWin, AnExistingU3FolderIsUsedUnchangedAndNothingIsCreated) {
    const std::u16string u3 = U16(dir / L"U3 \u00e9\u0434\u4e2d");
    std::filesystem::create_directory(dir / L"U3 \u00e9\u0434\u4e2d");
    ScopedVariable set(L"U3_APP_DATA_PATH", u3);
    EXPECT_EQ(ChooseDataFolder(system), u3);
    EXPECT_EQ(ChooseSettingsFolder(system), u3);
    EXPECT_FALSE(IsFolder(Tervix()));
    // The doubled separator of the joined path is one to the file system.
    test::WriteBytes(std::filesystem::path(win::Wide(DataFilePath(u3 + u"\\"))), "x");
    EXPECT_EQ(test::ReadBytes(dir / L"U3 \u00e9\u0434\u4e2d" / L"data.dat"), "x");
}

TEST_F(DataLocationsWin, AMissingU3FolderIsNotCreatedAndBothLevelsAreMadeUnderAppData) {
    const std::u16string u3 = U16(dir / "gone");
    ScopedVariable set(L"U3_APP_DATA_PATH", u3);
    EXPECT_EQ(ChooseDataFolder(system), Own());
    EXPECT_FALSE(IsFolder(u3));
    EXPECT_TRUE(IsFolder(Tervix()));
    EXPECT_TRUE(IsFolder(Own()));
    EXPECT_EQ(ChooseSettingsFolder(system), Own());
}

TEST_F(DataLocationsWin, ADataFolderBesideTheProgramMakesAPortableInstallation) {
    ASSERT_TRUE(::CreateDirectoryW(win::Wide(system.program + u"Data"), nullptr));
    EXPECT_EQ(ChooseDataFolder(system), system.program + u"Data\\");
    EXPECT_EQ(ChooseSettingsFolder(system), system.program);
    EXPECT_FALSE(IsFolder(Tervix()));
}

TEST_F(DataLocationsWin, AFileNamedDataDoesNotCount) {
    test::WriteBytes(std::filesystem::path(win::Wide(system.program + u"Data")), "not a folder");
    EXPECT_EQ(ChooseDataFolder(system), Own());
    EXPECT_EQ(ChooseSettingsFolder(system), Own());
    // A file in the place of the folder itself: the reason says so.
    MovedLocations blocked = system;
    blocked.appData = U16(dir.Path());
    std::filesystem::create_directory(dir / "Tervix");
    test::WriteBytes(dir / "Tervix" / "Snipora", "not a folder");
    FolderFallback fallback;
    EXPECT_EQ(ChooseDataFolder(blocked, &fallback), blocked.program);
    EXPECT_EQ(fallback.wanted, blocked.appData + u"\\Tervix\\Snipora\\");
    EXPECT_EQ(fallback.reason, "A file has that name.");
}

TEST_F(DataLocationsWin, AFolderThatCannotBeCreatedGivesTheProgramFolder) {
    // Nothing can be created below a file.
    test::WriteBytes(dir / "file", "x");
    system.appData = U16(dir / "file");
    FolderFallback fallback;
    EXPECT_EQ(ChooseDataFolder(system, &fallback), system.program);
    EXPECT_EQ(fallback.wanted, system.appData + u"\\Tervix\\Snipora\\");
    EXPECT_FALSE(fallback.reason.empty());
    EXPECT_EQ(ChooseSettingsFolder(system), system.program);
}

TEST_F(DataLocationsWin, AnEnvironmentValueOf4096UnitsCountsAsUnset) {
    // Two names of an existing folder, of 4095 and 4096 units, padded with "\." steps (a
    // trailing separator evens the count).
    std::u16string fits = U16(dir.Path());
    while (fits.size() + 2 <= kEnvironmentBufferSize - 1) {
        fits += u"\\.";
    }
    if (fits.size() < kEnvironmentBufferSize - 1) {
        fits += u"\\";
    }
    const std::u16string tooLong = fits.back() == u'\\' ? fits + u"." : fits + u"\\";
    ASSERT_EQ(fits.size(), kEnvironmentBufferSize - 1);
    ASSERT_EQ(tooLong.size(), kEnvironmentBufferSize);
    ASSERT_TRUE(system.FolderExists(fits));
    ASSERT_TRUE(system.FolderExists(tooLong));
    {
        ScopedVariable set(L"U3_APP_DATA_PATH", fits);
        EXPECT_EQ(GetEnvironmentValue(u"U3_APP_DATA_PATH"), fits);
        EXPECT_EQ(ChooseDataFolder(system), fits);
    }
    {
        ScopedVariable set(L"U3_APP_DATA_PATH", tooLong);
        EXPECT_EQ(GetEnvironmentValue(u"U3_APP_DATA_PATH"), u"");
        EXPECT_EQ(ChooseDataFolder(system), Own());
    }
    EXPECT_EQ(GetEnvironmentValue(u"SNIPORA_NO_SUCH_VARIABLE"), u"");
    EXPECT_EQ(GetEnvironmentValue(u""), u"");
}

TEST_F(DataLocationsWin, TheSystemsOwnFoldersAreFound) {
    const std::u16string appData = GetAppDataFolder();
    ASSERT_FALSE(appData.empty());
    EXPECT_NE(appData.back(), u'\\');
    EXPECT_TRUE(IsFolder(appData));
    const std::u16string program = Win32Locations().ProgramFolder();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.back(), u'\\');
    EXPECT_EQ(GetProgramPath().rfind(program, 0), 0u);
    EXPECT_EQ(SettingsFileName(GetProgramPath()), u"settings_win_tests.ini");

    // A U3 folder outside the code page, through the public functions.
    const std::u16string u3 = system.appData;
    {
        ScopedVariable set(L"U3_APP_DATA_PATH", u3);
        EXPECT_EQ(GetDataFolder(), u3);
        EXPECT_EQ(GetSettingsFolder(), u3);
    }
    // A Data folder beside this very program.
    const std::u16string data = program + u"Data";
    ASSERT_FALSE(IsFolder(data));
    ASSERT_TRUE(::CreateDirectoryW(win::Wide(data), nullptr));
    EXPECT_EQ(GetDataFolder(), data + u"\\");
    EXPECT_EQ(GetSettingsFolder(), program);
    ::RemoveDirectoryW(win::Wide(data));
    // Otherwise the user's own folder, made when missing.
    const std::u16string own = appData + u"\\Tervix\\Snipora\\";
    const bool existed = IsFolder(own);
    EXPECT_EQ(GetDataFolder(), own);
    EXPECT_TRUE(IsFolder(own));
    if (!existed) {
        ::RemoveDirectoryW(win::Wide(own));
        ::RemoveDirectoryW(win::Wide(appData + u"\\Tervix"));
    }
}

}  // namespace
}  // namespace snipora::settings
