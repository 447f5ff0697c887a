#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/OleDate.h"
#include "settings/DialogDriverWin.h"
#include "settings/SettingsStorageWin.h"
#include "support/TempDir.h"
#include "web/UpdateCheckWin.h"
#include "win/BaseWindow.h"
#include "win/Text.h"

namespace snipora::web {
namespace {

using test::DialogDriver;

const std::wstring kQuestion = L"Check for New Version? (Internet connection required)";

int Today() {
    return static_cast<int>(std::floor(CurrentOleDate()));
}

class UpdateCheckWin : public ::testing::Test {
protected:
    void SetUp() override {
        settings::CreateSettingsStorage(std::u16string(win::Utf16(ini.native())), true);
        ::SetEnvironmentVariableW(L"U3_DEVICE_SERIAL", nullptr);
    }
    void TearDown() override {
        settings::FreeSettingsStorage();
        ::SetEnvironmentVariableW(L"U3_DEVICE_SERIAL", nullptr);
    }

    int StoredDay() {
        return static_cast<int>(
            ::GetPrivateProfileIntW(L"Main", L"LastUpdatesCheck", -1, ini.c_str()));
    }
    void StoreDay(int day) {
        ::WritePrivateProfileStringW(L"Main", L"LastUpdatesCheck", std::to_wstring(day).c_str(),
                                     ini.c_str());
    }

    // Answers the question with `button`, noting what it said and the day stored meanwhile.
    void Answer(int button) {
        DialogDriver driver([&](HWND box) {
            question = test::ItemText(box, 0xFFFF);
            dayWhileAsking = StoredDay();
            ::PostMessageW(box, WM_COMMAND, button, 0);
        });
        CheckForUpdates(nullptr, kQuestion, [&](const std::u16string& url) {
            opened.push_back(url);
            return true;
        });
        EXPECT_TRUE(driver.Ran());
        EXPECT_FALSE(driver.TimedOut());
    }

    test::TempDir dir;
    std::filesystem::path ini = dir / L"snipora.ini";
    std::wstring question;
    int dayWhileAsking = 0;
    std::vector<std::u16string> opened;
};

TEST_F(UpdateCheckWin, NoStillCountsAsAnOfferAndOpensNothing) {
    StoreDay(Today() - 30);
    Answer(IDNO);
    EXPECT_EQ(question, kQuestion);
    // Stored before the question was asked.
    EXPECT_EQ(dayWhileAsking, Today());
    EXPECT_EQ(StoredDay(), Today());
    EXPECT_TRUE(opened.empty());
}

TEST_F(UpdateCheckWin, YesOpensTheUpdatePageForTheInstallation) {
    Answer(IDYES);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], u"https://www.snipora.example/update.php?version=2.2");
    // Asked again on the same day, from the menu: asked and stored all the same.
    ::SetEnvironmentVariableW(L"U3_DEVICE_SERIAL", L"7A1B");
    Answer(IDYES);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1], u"https://www.snipora.example/update.php?platform=u3&version=2.2");
    EXPECT_EQ(StoredDay(), Today());
    // A serial too long for the environment buffer counts as none.
    ::SetEnvironmentVariableW(L"U3_DEVICE_SERIAL", std::wstring(5000, L'9').c_str());
    Answer(IDYES);
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[2], u"https://www.snipora.example/update.php?version=2.2");
}

// Yes, with no browser to open the page: a second box gives the address, rather than nothing.
TEST_F(UpdateCheckWin, YesWithoutABrowserGivesThePagesAddress) {
    std::vector<std::wstring> boxes;
    DialogDriver driver([&](HWND box) {
        boxes.push_back(test::ItemText(box, 0xFFFF));
        ::PostMessageW(box, WM_COMMAND, boxes.size() == 1 ? IDYES : IDOK, 0);
    });
    driver.ForEveryBox();
    CheckForUpdates(nullptr, kQuestion, [&](const std::u16string& url) {
        opened.push_back(url);
        return false;
    });
    EXPECT_EQ(opened,
              std::vector<std::u16string>{u"https://www.snipora.example/update.php?version=2.2"});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], kQuestion);
    EXPECT_EQ(boxes[1],
              L"No web browser could open the page. To see it, open this address in a "
              L"browser:\n\nhttps://www.snipora.example/update.php?version=2.2");
}

TEST_F(UpdateCheckWin, TheStartUpOfferFollowsTheStoredDay) {
    EXPECT_TRUE(IsUpdateOfferDueToday());  // never checked
    StoreDay(Today() - 7);
    EXPECT_FALSE(IsUpdateOfferDueToday());
    StoreDay(Today() - 8);
    EXPECT_TRUE(IsUpdateOfferDueToday());
    StoreDay(Today() + 2);  // the clock was set back
    EXPECT_FALSE(IsUpdateOfferDueToday());
}

}  // namespace
}  // namespace snipora::web
