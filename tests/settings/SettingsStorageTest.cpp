#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "common/Error.h"
#include "log/Logger.h"
#include "settings/Keys.h"
#include "settings/SettingsStorage.h"
#include "support/LogLines.h"

namespace snipora::settings {
namespace {

using Section = std::map<std::u16string, std::u16string, std::less<>>;

// An INI file in memory. `writable` false makes every write fail as a read-only file would.
struct FakeProfile final : IProfileFile {
    std::map<std::u16string, Section, std::less<>>* sections;
    bool* writable;
    int* writes;
    std::optional<std::u16string> Read(std::u16string_view section,
                                       std::u16string_view key) override {
        auto s = sections->find(section);
        if (s == sections->end()) {
            return std::nullopt;
        }
        auto k = s->second.find(key);
        return k == s->second.end() ? std::nullopt : std::optional(k->second);
    }
    void Write(std::u16string_view section, std::u16string_view key,
               std::u16string_view value) override {
        if (!*writable) {
            throw AppError("Cannot write file \"fake.ini\". Access denied.");
        }
        ++*writes;
        (*sections)[std::u16string(section)][std::u16string(key)] = std::u16string(value);
    }
};

struct FakePlatform final : ISettingsPlatform {
    std::map<std::u16string, Section, std::less<>> sections;
    bool writable = true;
    int writes = 0;
    bool openThrows = false;
    std::vector<std::string> messages;

    std::unique_ptr<IProfileFile> OpenProfile(const std::u16string&) override {
        auto file = std::make_unique<FakeProfile>();
        file->sections = &sections;
        file->writable = &writable;
        file->writes = &writes;
        return file;
    }
    std::unique_ptr<IRegistryKey> OpenMachineKey(const std::u16string&) override {
        if (openThrows) {
            throw RegistryError("bad key path");
        }
        // The real registry is tried under Wine; here every key fails to open.
        return std::make_unique<ClosedRegistryKey>("Cannot open the key.");
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

class SettingsStorageTest : public ::testing::Test {
protected:
    SettingsStorageTest() { AttachLogOutput(&log); }
    ~SettingsStorageTest() override { AttachLogOutput(nullptr); }

    static std::string ErrorLine(const std::string& text) {
        return "<font color=\"#ff0000\"><b>" + text + "</b></font><br>\r\n";
    }
    int ErrorLines() const { return test::ErrorLineCount(log.str()); }

    std::ostringstream log;
    FakePlatform platform;
};

TEST_F(SettingsStorageTest, IniReadsGiveTheReadersDefaultsAndWriteNothing) {
    CSettingsStorage storage(u"C:\\x\\Snipora.ini", true, platform);
    EXPECT_EQ(storage.GetWindowWidth(kDefaultWindowWidth), 200);
    EXPECT_EQ(storage.GetWindowHeight(kPopupWindowHeight), 388);
    EXPECT_EQ(storage.GetWindowHeight(kDialogWindowHeight), 390);
    EXPECT_EQ(storage.GetPositionX(DefaultPositionX(1280, 200)), 1000);
    EXPECT_EQ(storage.GetPositionY(kDefaultPositionY), 0);
    EXPECT_EQ(storage.GetMainInt(keys::PriHotKeyEnabled, keys::kDefaultHotKeyEnabled), 1);
    EXPECT_EQ(storage.GetMainInt(keys::SecHotKeyValue, keys::kDefaultSecHotKeyValue), 49238);
    EXPECT_EQ(storage.GetLastUpdatesCheck(), 0.0);
    EXPECT_EQ(storage.GetMainString(u"Name", u"none"), u"none");
    EXPECT_EQ(platform.writes, 0);
    EXPECT_TRUE(platform.sections.empty());
}

TEST_F(SettingsStorageTest, IniValuesAreInterpretedByEachReader) {
    CSettingsStorage storage(u"s.ini", true, platform);
    Section& main = platform.sections[u"Main"];
    main[u"WindowWidth"] = u"0x12C";
    main[u"WindowHeight"] = u"abc";
    main[u"PositionX"] = u"-50";
    main[u"PositionY"] = u"";
    main[u"Name"] = u"";
    EXPECT_EQ(storage.GetWindowWidth(200), 300);
    EXPECT_EQ(storage.GetWindowHeight(388), 388);
    EXPECT_EQ(storage.GetPositionX(7), -50);
    EXPECT_EQ(storage.GetPositionY(9), 9);
    // An empty text is there: not replaced by the default.
    EXPECT_EQ(storage.GetMainString(u"Name", u"x"), u"");
    // Another section is another place.
    EXPECT_EQ(storage.GetInt(u"Other", u"WindowWidth", 5), 5);
}

TEST_F(SettingsStorageTest, IniWritesStoreDecimalAndRefuseTextsTheFileCannotHold) {
    CSettingsStorage storage(u"C:\\folder\\s.ini", true, platform);
    storage.SetWindowWidth(0x12C);
    storage.SetPositionX(-1);
    EXPECT_EQ(platform.sections[u"Main"][u"WindowWidth"], u"300");
    EXPECT_EQ(platform.sections[u"Main"][u"PositionX"], u"-1");
    const int writes = platform.writes;
    // A line break in a value would add a line of its own to the file.
    for (auto bad : {std::u16string(u"1\r\nFirstLaunch=1"), std::u16string(u"a\0b", 3)}) {
        try {
            storage.SetMainString(u"Name", bad);
            ADD_FAILURE() << "no error";
        } catch (const AppError& e) {
            EXPECT_NE(std::string(e.what()).find("C:\\folder\\s.ini"), std::string::npos);
        }
    }
    EXPECT_THROW(storage.SetMainInt(u"Key=1", 1), AppError);
    EXPECT_THROW(storage.SetInt(u"Ma]in", u"K", 1), AppError);
    EXPECT_EQ(platform.writes, writes);
    EXPECT_EQ(storage.GetMainInt(u"Key=1", 4), 4);
}

TEST_F(SettingsStorageTest, AFailedIniWritePassesToTheCaller) {
    CSettingsStorage storage(u"s.ini", true, platform);
    platform.writable = false;
    EXPECT_THROW(storage.SetPositionX(5), AppError);
    EXPECT_THROW(storage.IsFirstLaunch(), AppError);
    EXPECT_EQ(ErrorLines(), 0);
}

TEST_F(SettingsStorageTest, FirstLaunchIsTrueOncePerFileUntilResetByHand) {
    {
        CSettingsStorage storage(u"s.ini", true, platform);
        EXPECT_TRUE(storage.IsFirstLaunch());
        EXPECT_EQ(platform.sections[u"Main"][u"FirstLaunch"], u"0");
        EXPECT_FALSE(storage.IsFirstLaunch());
    }
    CSettingsStorage later(u"s.ini", true, platform);
    EXPECT_FALSE(later.IsFirstLaunch());
    for (auto text : {u"2", u"-1", u"0x0"}) {
        platform.sections[u"Main"][u"FirstLaunch"] = text;
        const int writes = platform.writes;
        EXPECT_FALSE(later.IsFirstLaunch());
        EXPECT_EQ(platform.writes, writes);
    }
    // Text that holds no number reads as the reader's default, 1, like an absent key.
    for (auto text : {u"1", u"0x1", u"text"}) {
        platform.sections[u"Main"][u"FirstLaunch"] = text;
        EXPECT_TRUE(later.IsFirstLaunch());
        EXPECT_FALSE(later.IsFirstLaunch());
    }
}

TEST_F(SettingsStorageTest, LastUpdatesCheckKeepsTheWholeDay) {
    CSettingsStorage storage(u"s.ini", true, platform);
    storage.SetLastUpdatesCheck(39814.75);  // 18:00
    EXPECT_EQ(platform.sections[u"Main"][u"LastUpdatesCheck"], u"39814");
    EXPECT_EQ(storage.GetLastUpdatesCheck(), 39814.0);
    storage.SetLastUpdatesCheck(-2.5);
    EXPECT_EQ(storage.GetLastUpdatesCheck(), -2.0);
    storage.SetLastUpdatesCheck(1e20);
    EXPECT_EQ(storage.GetLastUpdatesCheck(), 2147483647.0);
}

TEST_F(SettingsStorageTest, RegistryFailuresAreLoggedAndGiveZeroOrEmpty) {
    CSettingsStorage storage(u"Software\\Snipora", false, platform);
    log.str("");
    EXPECT_EQ(storage.GetWindowWidth(200), 0);
    EXPECT_EQ(log.str(),
              ErrorLine("[SettingsStorage] GetInt WindowWidth Error: Cannot open the key."));
    log.str("");
    EXPECT_EQ(storage.GetMainString(u"Name", u"default"), u"");
    EXPECT_EQ(log.str(), ErrorLine("[SettingsStorage] GetString Name Error: Cannot open the key."));
    log.str("");
    storage.SetMainInt(u"PositionX", -12);
    storage.SetMainString(u"Name", u"v");
    EXPECT_EQ(log.str(),
              ErrorLine("[SettingsStorage] SetInt. Key: PositionX Value: -12 Error: Cannot open "
                        "the key.") +
                  ErrorLine("[SettingsStorage] SetString Key: Name Value: v Error: Cannot open "
                            "the key."));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(SettingsStorageTest, RegistryOpenErrorIsShownAndTheStorageStillWorks) {
    platform.openThrows = true;
    CSettingsStorage storage(u"bad", false, platform);
    ASSERT_EQ(platform.messages, std::vector<std::string>{"bad key path"});
    EXPECT_NE(log.str().find(ErrorLine("[SettingsStorage] bad key path")), std::string::npos);
    EXPECT_EQ(storage.GetPositionY(3), 0);
    EXPECT_EQ(ErrorLines(), 2);
}

TEST_F(SettingsStorageTest, OtherErrorsPassThroughRegistryMode) {
    struct ThrowingKey final : IRegistryKey {
        bool ValueExists(std::u16string_view) override { throw std::bad_alloc(); }
        int32_t ReadInt(std::u16string_view) override { return 0; }
        std::u16string ReadString(std::u16string_view) override { return {}; }
        void WriteInt(std::u16string_view, int32_t) override {}
        void WriteString(std::u16string_view, std::u16string_view) override {}
    };
    struct Platform final : ISettingsPlatform {
        std::unique_ptr<IProfileFile> OpenProfile(const std::u16string&) override {
            return nullptr;
        }
        std::unique_ptr<IRegistryKey> OpenMachineKey(const std::u16string&) override {
            return std::make_unique<ThrowingKey>();
        }
        void ShowMessage(const std::string&) override {}
    } throwing;
    CSettingsStorage storage(u"k", false, throwing);
    EXPECT_THROW(storage.GetWindowWidth(1), std::bad_alloc);
}

// Opening and closing the settings is no news: the log of a start and an Exit holds no line of
// them.
TEST_F(SettingsStorageTest, OpeningAndClosingTheStorageLogsNothing) {
    { CSettingsStorage storage(u"s.ini", true, platform); }
    EXPECT_EQ(log.str(), "");
}

}  // namespace
}  // namespace snipora::settings
