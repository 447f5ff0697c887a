#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "common/Error.h"
#include "common/Utf.h"
#include "log/Logger.h"
#include "settings/Keys.h"
#include "settings/SettingsStorageWin.h"
#include "settings/SettingsValues.h"
#include "support/LogLines.h"
#include "support/TempDir.h"
#include "win/Text.h"
#include "win/UniqueHandle.h"
#include "win/UniqueRegistryKey.h"

namespace snipora::settings {
namespace {

std::u16string U16(const std::filesystem::path& path) {
    return std::u16string(win::Utf16(path.native()));
}

// The real system, with message boxes collected instead of shown.
class QuietPlatform final : public Win32SettingsPlatform {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

class SettingsIniWin : public ::testing::Test {
protected:
    test::TempDir dir;
    std::filesystem::path ini = dir / L"\u0421\u043d\u0438\u043f \u4e2d.ini";
    QuietPlatform platform;
};

TEST_F(SettingsIniWin, AFreshFileIsMadeByTheFirstLaunchAndRemembersIt) {
    {
        CSettingsStorage storage(U16(ini), true, platform);
        EXPECT_EQ(storage.GetWindowWidth(kDefaultWindowWidth), 200);
        EXPECT_EQ(storage.GetWindowHeight(kPopupWindowHeight), 388);
        EXPECT_EQ(storage.GetWindowHeight(kDialogWindowHeight), 390);
        EXPECT_EQ(storage.GetMainInt(keys::SecHotKeyValue, keys::kDefaultSecHotKeyValue), 0xC056);
        EXPECT_EQ(storage.GetMainString(u"Name", u"none"), u"none");
        EXPECT_FALSE(std::filesystem::exists(ini));
        EXPECT_TRUE(storage.IsFirstLaunch());
        // Made as UTF-16 text, so that later texts outside the code page survive.
        EXPECT_EQ(test::ReadBytes(ini).substr(0, 2), "\xFF\xFE");
        EXPECT_FALSE(storage.IsFirstLaunch());
    }
    CSettingsStorage later(U16(ini), true, platform);
    EXPECT_FALSE(later.IsFirstLaunch());
    // Set back to 1 by another program: every call reads the file afresh.
    ASSERT_TRUE(::WritePrivateProfileStringW(L"Main", L"FirstLaunch", L"1", ini.c_str()));
    EXPECT_TRUE(later.IsFirstLaunch());
    EXPECT_FALSE(later.IsFirstLaunch());
}

TEST_F(SettingsIniWin, HandWrittenValuesAreReadByTheirReaders) {
    test::WriteBytes(ini,
                     "; written by hand\r\n"
                     "[Main]\r\n"
                     "WindowWidth=0x12C\r\n"
                     "WindowHeight=abc\r\n"
                     "PositionX=-5\r\n"
                     "PositionY=99999999999\r\n"
                     "SecHotKeyValue = 49238 \r\n"
                     "LastUpdatesCheck=\r\n"
                     "Name=\r\n"
                     "PositionX=77\r\n"
                     "[Other]\r\n"
                     "WindowWidth=1\r\n");
    CSettingsStorage storage(U16(ini), true, platform);
    const std::string before = test::ReadBytes(ini);
    EXPECT_EQ(storage.GetWindowWidth(200), 300);
    EXPECT_EQ(storage.GetWindowHeight(388), 388);
    EXPECT_EQ(storage.GetPositionY(0), 2147483647) << "held to the range, not the default";
    EXPECT_EQ(storage.GetMainInt(keys::SecHotKeyValue, 0), 49238);
    EXPECT_EQ(storage.GetLastUpdatesCheck(), 0.0);
    EXPECT_EQ(storage.GetMainString(u"Name", u"default"), u"");
    EXPECT_EQ(storage.GetInt(u"Other", u"WindowWidth", 5), 1);
    EXPECT_EQ(storage.GetInt(u"main", u"windowwidth", 5), 300);  // names ignore case
    // A key given twice: one of its values, and a write then reads back what was written.
    const int32_t x = storage.GetPositionX(0);
    EXPECT_TRUE(x == -5 || x == 77) << x;
    EXPECT_EQ(test::ReadBytes(ini), before);  // reads write nothing
    storage.SetPositionX(12);
    EXPECT_EQ(storage.GetPositionX(0), 12);
}

TEST_F(SettingsIniWin, TextsOutsideTheCodePageAndLongTextsComeBackWhole) {
    CSettingsStorage storage(U16(ini), true, platform);
    const std::u16string text = u"\u0434\u0430\u043d\u043d\u044b\u0435 \u4e2d\u6587 \U0001F600";
    storage.SetMainString(u"Name", text);
    EXPECT_EQ(storage.GetMainString(u"Name", u""), text);
    std::u16string longText;
    for (int i = 0; longText.size() < 5000; ++i) {
        longText += u"piece " + FormatSettingInt(i);
    }
    storage.SetMainString(u"Long", longText);
    EXPECT_EQ(storage.GetMainString(u"Long", u""), longText);
    // Another storage on the same file sees it at once.
    CSettingsStorage other(U16(ini), true, platform);
    EXPECT_EQ(other.GetMainString(u"Name", u""), text);
}

TEST_F(SettingsIniWin, AFileThatIsNotTextReadsAsDefaults) {
    std::string bytes(4096, '\0');
    std::mt19937 random(7);
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    bytes[100] = '\0';
    test::WriteBytes(ini, bytes);
    CSettingsStorage storage(U16(ini), true, platform);
    EXPECT_EQ(storage.GetWindowWidth(200), 200);
    EXPECT_EQ(storage.GetMainString(u"Name", u"d"), u"d");
    storage.SetWindowWidth(250);
    EXPECT_EQ(storage.GetWindowWidth(200), 250);
}

TEST_F(SettingsIniWin, AWriteThatFailsRaisesAnErrorNamingTheFile) {
    const std::u16string missing = U16(dir / L"no folder" / L"s.ini");
    CSettingsStorage nowhere(missing, true, platform);
    try {
        nowhere.SetWindowWidth(1);
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_NE(std::string(e.what()).find(Utf16ToUtf8(missing)), std::string::npos) << e.what();
    }
    EXPECT_EQ(nowhere.GetWindowWidth(7), 7);

    // A folder where the file should be.
    std::filesystem::create_directory(dir / "folder.ini");
    CSettingsStorage folder(U16(dir / "folder.ini"), true, platform);
    EXPECT_THROW(folder.SetWindowWidth(1), AppError);

    // A file that another program holds open without sharing.
    test::WriteBytes(ini, "[Main]\r\nWindowWidth=5\r\n");
    CSettingsStorage held(U16(ini), true, platform);
    EXPECT_EQ(held.GetWindowWidth(0), 5);
    {
        win::UniqueFile other(::CreateFileW(ini.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(other);
        EXPECT_THROW(held.SetWindowWidth(6), AppError);
        EXPECT_THROW(held.IsFirstLaunch(), AppError);
    }
    EXPECT_EQ(held.GetWindowWidth(0), 5);
    EXPECT_EQ(test::ReadBytes(ini), "[Main]\r\nWindowWidth=5\r\n");
}

// A key of its own under HKEY_LOCAL_MACHINE for each test, removed afterwards.
class SettingsRegistryWin : public ::testing::Test {
protected:
    SettingsRegistryWin() {
        std::random_device random;
        path = u"Software\\SniporaTest\\" +
               FormatSettingInt(static_cast<int32_t>(random() & 0x7FFFFFFF));
        AttachLogOutput(&log);
    }
    ~SettingsRegistryWin() override {
        AttachLogOutput(nullptr);
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, win::Wide(path));
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\SniporaTest");  // when nothing is left
    }
    // The value as the registry holds it, read past the storage.
    std::pair<DWORD, std::wstring> Raw(const wchar_t* name) {
        win::UniqueRegistryKey key;
        HKEY h = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, win::Wide(path), 0, KEY_READ, &h) != 0) {
            return {REG_NONE, L""};
        }
        key.Reset(h);
        DWORD type = REG_NONE;
        BYTE data[512] = {};
        DWORD size = sizeof data;
        if (::RegQueryValueExW(h, name, nullptr, &type, data, &size) != 0) {
            return {REG_NONE, L""};
        }
        if (type == REG_DWORD) {
            return {type, std::to_wstring(*reinterpret_cast<DWORD*>(data))};
        }
        return {type, std::wstring(reinterpret_cast<wchar_t*>(data))};
    }
    int ErrorLines() const { return test::ErrorLineCount(log.str()); }
    std::u16string path;
    std::ostringstream log;
    QuietPlatform platform;
};

TEST_F(SettingsRegistryWin, AMissingValueStoresTheDefault) {
    CSettingsStorage storage(path, false, platform);
    EXPECT_EQ(storage.GetWindowHeight(388), 388);
    EXPECT_EQ(Raw(L"WindowHeight"), std::make_pair(DWORD{REG_DWORD}, std::wstring(L"388")));
    EXPECT_EQ(storage.GetWindowHeight(390), 388);
    EXPECT_EQ(storage.GetMainString(u"Name \u4e2d", u"\u0434\u0430"), u"\u0434\u0430");
    EXPECT_EQ(Raw(L"Name \u4e2d"), std::make_pair(DWORD{REG_SZ}, std::wstring(L"\u0434\u0430")));
    storage.SetMainInt(u"PositionX", -3);
    EXPECT_EQ(storage.GetPositionX(0), -3);
    storage.SetMainString(u"Name \u4e2d", u"");
    EXPECT_EQ(storage.GetMainString(u"Name \u4e2d", u"x"), u"");
    EXPECT_TRUE(storage.IsFirstLaunch());
    EXPECT_FALSE(storage.IsFirstLaunch());
    EXPECT_EQ(ErrorLines(), 0) << log.str();
}

TEST_F(SettingsRegistryWin, AValueOfTheOtherTypeIsLoggedAndGivesZeroOrEmpty) {
    CSettingsStorage storage(path, false, platform);
    storage.SetMainString(u"WindowWidth", u"300");
    storage.SetMainInt(u"Name", 5);
    log.str("");
    EXPECT_EQ(storage.GetWindowWidth(200), 0);
    EXPECT_EQ(storage.GetMainString(u"Name", u"d"), u"");
    EXPECT_EQ(ErrorLines(), 2);
    EXPECT_NE(log.str().find("[SettingsStorage] GetInt WindowWidth Error: "), std::string::npos);
    EXPECT_NE(log.str().find("[SettingsStorage] GetString Name Error: "), std::string::npos);
}

TEST_F(SettingsRegistryWin, AKeyThatFailedToOpenGivesZeroAndEmptyWithOneLineEach) {
    // A key name of more than 255 characters is refused by the registry.
    CSettingsStorage storage(path + u"\\" + std::u16string(300, u'k'), false, platform);
    log.str("");
    EXPECT_EQ(storage.GetWindowWidth(200), 0);
    EXPECT_EQ(ErrorLines(), 1);
    EXPECT_NE(log.str().find("[SettingsStorage] GetInt WindowWidth Error: "), std::string::npos);
    EXPECT_EQ(storage.GetMainString(u"Name", u"default"), u"");
    EXPECT_EQ(ErrorLines(), 2);
    storage.SetPositionX(1);
    EXPECT_NE(log.str().find("[SettingsStorage] SetInt. Key: PositionX Value: 1 Error: "),
              std::string::npos);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(SettingsRegistryWin, AKeyPathTheSystemCannotTakeIsShownInAMessageBox) {
    // A zero would cut the path short and open another key.
    const std::u16string bad = path + std::u16string(u"\0\\Other", 7);
    CSettingsStorage storage(bad, false, platform);
    ASSERT_EQ(platform.messages.size(), 1u);
    // The log writes HTML: the message's quotes arrive escaped.
    std::string logged = "[SettingsStorage] ";
    for (const char c : platform.messages[0]) {
        logged += c == '"' ? std::string("&quot;") : std::string(1, c);
    }
    EXPECT_NE(log.str().find(logged), std::string::npos) << log.str();
    EXPECT_EQ(storage.GetWindowWidth(200), 0);
    HKEY h = nullptr;
    EXPECT_NE(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, win::Wide(path), 0, KEY_READ, &h), 0);
}

TEST(SettingsSingletonWin, TheInstanceIsMadeFreedAndMadeAgain) {
    // Without a storage there are no settings: no quiet stand-in on the registry's root.
    FreeSettingsStorage();
    EXPECT_THROW(GetSettingsStorage(), AppError);

    test::TempDir dir;
    const std::u16string ini = U16(dir / "Snipora.ini");
    CSettingsStorage& storage = CreateSettingsStorage(ini, true);
    EXPECT_EQ(&GetSettingsStorage(), &storage);
    EXPECT_TRUE(storage.UsesIni());
    GetSettingsStorage().SetPositionY(42);
    EXPECT_EQ(test::ReadBytes(dir / "Snipora.ini").empty(), false);
    EXPECT_EQ(GetSettingsStorage().GetPositionY(0), 42);
    FreeSettingsStorage();
    EXPECT_THROW(GetSettingsStorage(), AppError);
}

}  // namespace
}  // namespace snipora::settings
