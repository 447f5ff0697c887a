#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/Error.h"
#include "settings/DialogDriverWin.h"
#include "settings/HotKeyCode.h"
#include "settings/SettingsDialogIds.h"
#include "settings/SettingsDialogWin.h"
#include "settings/SettingsStorageWin.h"
#include "support/TempDir.h"
#include "win/BaseWindow.h"
#include "win/Text.h"

namespace snipora::settings {
namespace {

using test::DialogDriver;
using test::ItemText;
using test::Press;

constexpr WORD kCtrlAltV = MAKEWORD('V', HOTKEYF_CONTROL | HOTKEYF_ALT);

std::vector<std::string> errors;
void CollectError(HWND, const char* text) {
    errors.emplace_back(text);
}

class SettingsDialogWin : public ::testing::Test {
protected:
    void SetUp() override {
        errors.clear();
        previous_ = win::SetErrorReporter(CollectError);
        CreateSettingsStorage(std::u16string(win::Utf16(ini.native())), true);
    }
    void TearDown() override {
        FreeSettingsStorage();
        win::SetErrorReporter(previous_);
        EXPECT_TRUE(errors.empty()) << errors.front();
    }

    // The INI file's value, or "absent".
    std::wstring Stored(const wchar_t* key) {
        wchar_t text[64] = {};
        ::GetPrivateProfileStringW(L"Main", key, L"absent", text, 64, ini.c_str());
        return text;
    }

    // The dialog's fields as the user sees them.
    struct Fields {
        std::wstring width, height;
        bool primary = false, secondary = false;
        WORD hotKey = 0;
        bool hide = false;
        std::wstring forget;
        bool encrypt = false;
        std::wstring historySize, historyShown;
    };
    static Fields Read(HWND dialog) {
        return {ItemText(dialog, IDC_ED_WIDTH),
                ItemText(dialog, IDC_ED_HEIGHT),
                ::IsDlgButtonChecked(dialog, IDC_CB_PRIMARY) == BST_CHECKED,
                ::IsDlgButtonChecked(dialog, IDC_CB_SECONDARY) == BST_CHECKED,
                static_cast<WORD>(
                    ::SendDlgItemMessageW(dialog, IDC_SECONDARY_HOTKEY, HKM_GETHOTKEY, 0, 0)),
                ::IsDlgButtonChecked(dialog, IDC_CB_HIDE_FROM_CAPTURE) == BST_CHECKED,
                ItemText(dialog, IDC_ED_FORGET),
                ::IsDlgButtonChecked(dialog, IDC_CB_ENCRYPT) == BST_CHECKED,
                ItemText(dialog, IDC_ED_HISTORY_SIZE),
                ItemText(dialog, IDC_ED_HISTORY_SHOWN)};
    }

    test::TempDir dir;
    std::filesystem::path ini = dir / L"snipora.ini";
    win::ErrorReporter previous_ = nullptr;
};

TEST_F(SettingsDialogWin, NoSettingsFileShowsTheDefaultsAndOkStoresExactlyThemInOrder) {
    Fields shown;
    std::wstring caption;
    int longestName = 0, fieldRoom = 0;
    DialogDriver driver([&](HWND dialog) {
        shown = Read(dialog);
        caption = test::WindowTitle(dialog);
        // The hot-key field has room for its longest names, in this system's key names.
        HWND field = ::GetDlgItem(dialog, IDC_SECONDARY_HOTKEY);
        const auto name = [](UINT vk) {
            wchar_t text[64] = {};
            ::GetKeyNameTextW(static_cast<LONG>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) << 16), text,
                              64);
            return std::wstring(text);
        };
        const std::wstring mods =
            name(VK_CONTROL) + L" + " + name(VK_SHIFT) + L" + " + name(VK_MENU) + L" + ";
        HDC dc = ::GetDC(field);
        const HGDIOBJ old =
            ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(field, WM_GETFONT, 0, 0)));
        for (UINT vk : {VK_SCROLL, VK_CAPITAL, VK_BACK, VK_SNAPSHOT, VK_F12}) {
            const std::wstring text = mods + name(vk);
            SIZE size{};
            ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
            longestName = std::max<int>(longestName, size.cx);
        }
        ::SelectObject(dc, old);
        ::ReleaseDC(field, dc);
        RECT room{};
        ::GetClientRect(field, &room);
        fieldRoom = room.right;
        Press(dialog, IDOK);
    });
    TFormSettings form(nullptr);
    EXPECT_TRUE(form.Execute());
    ASSERT_TRUE(driver.Ran());
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ(caption, L"Settings");
    EXPECT_EQ(shown.width, L"200");
    EXPECT_EQ(shown.height, L"390");
    EXPECT_TRUE(shown.primary);
    EXPECT_TRUE(shown.secondary);
    EXPECT_EQ(shown.hotKey, kCtrlAltV);
    EXPECT_TRUE(shown.hide);
    EXPECT_EQ(shown.forget, L"0");
    EXPECT_TRUE(shown.encrypt);  // the per-user folder's default, not stored unless changed
    EXPECT_EQ(Stored(L"EncryptData"), L"absent");
    EXPECT_GT(longestName, 100);  // the names were measured
    EXPECT_LT(longestName, fieldRoom - 2);
    EXPECT_EQ(shown.historySize, L"25");
    EXPECT_EQ(shown.historyShown, L"7");

    EXPECT_EQ(Stored(L"WindowWidth"), L"200");
    EXPECT_EQ(Stored(L"WindowHeight"), L"390");
    EXPECT_EQ(Stored(L"PriHotKeyEnabled"), L"1");
    EXPECT_EQ(Stored(L"SecHotKeyEnabled"), L"1");
    EXPECT_EQ(Stored(L"SecHotKeyValue"), L"49238");
    EXPECT_EQ(Stored(L"PasteNextHotKey"), L"24654");  // Ctrl+Shift+N
    EXPECT_EQ(Stored(L"HideFromCapture"), L"1");
    EXPECT_EQ(Stored(L"ForgetHistoryAfter"), L"0");
    EXPECT_EQ(Stored(L"HistorySize"), L"25");
    EXPECT_EQ(Stored(L"HistoryShown"), L"7");
    EXPECT_EQ(Stored(L"Theme"), L"system");
    EXPECT_EQ(Stored(L"FirstLaunch"), L"absent");
    // Written in this order: width, height, the two switches, the key.
    const std::string bytes = test::ReadBytes(ini);
    const std::u16string text(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2);
    size_t last = 0;
    for (const char16_t* key : {u"WindowWidth", u"WindowHeight", u"PriHotKeyEnabled",
                                u"SecHotKeyEnabled", u"SecHotKeyValue"}) {
        const size_t at = text.find(key);
        ASSERT_NE(at, std::u16string::npos);
        EXPECT_GT(at, last);
        last = at;
    }
}

TEST_F(SettingsDialogWin, ValuesOutOfRangeAreShownAndStoredWithinIt) {
    test::WriteBytes(ini,
                     "[Main]\r\nWindowWidth=1200\r\nWindowHeight=50\r\nPriHotKeyEnabled=2\r\n"
                     "SecHotKeyEnabled=0\r\nSecHotKeyValue=0x1C04B\r\nHideFromCapture=0\r\n"
                     "ForgetHistoryAfter=525601\r\nHistorySize=100001\r\nHistoryShown=0\r\n"
                     "Theme=DARK\r\n");
    Fields shown;
    LRESULT theme = -1;
    DialogDriver driver([&](HWND dialog) {
        shown = Read(dialog);
        theme = ::SendDlgItemMessageW(dialog, IDC_CO_THEME, CB_GETCURSEL, 0, 0);
        Press(dialog, IDOK);
    });
    EXPECT_TRUE(TFormSettings(nullptr).Execute());
    EXPECT_EQ(shown.width, L"800");
    EXPECT_EQ(shown.height, L"200");
    EXPECT_FALSE(shown.primary);
    EXPECT_FALSE(shown.secondary);
    EXPECT_EQ(shown.hotKey, MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT));
    EXPECT_FALSE(shown.hide);
    EXPECT_EQ(shown.forget, L"525600");
    EXPECT_EQ(shown.historySize, L"100000");
    EXPECT_EQ(shown.historyShown, L"1");
    EXPECT_EQ(Stored(L"HistorySize"), L"100000");
    EXPECT_EQ(Stored(L"HistoryShown"), L"1");
    EXPECT_EQ(Stored(L"WindowWidth"), L"800");
    EXPECT_EQ(Stored(L"WindowHeight"), L"200");
    EXPECT_EQ(Stored(L"PriHotKeyEnabled"), L"0");
    EXPECT_EQ(Stored(L"SecHotKeyEnabled"), L"0");
    EXPECT_EQ(Stored(L"SecHotKeyValue"), L"49227");
    EXPECT_EQ(Stored(L"HideFromCapture"), L"0");
    EXPECT_EQ(Stored(L"ForgetHistoryAfter"), L"525600");
    EXPECT_EQ(theme, 2);
    EXPECT_EQ(Stored(L"Theme"), L"dark");
}

TEST_F(SettingsDialogWin, EditedFieldsAreStoredAsTheUserLeftThem) {
    DialogDriver driver([&](HWND dialog) {
        ::SetDlgItemTextW(dialog, IDC_ED_WIDTH, L"5000");  // beyond the range
        ::SetDlgItemTextW(dialog, IDC_ED_HEIGHT, L"640");
        ::CheckDlgButton(dialog, IDC_CB_PRIMARY, BST_UNCHECKED);
        ::SendDlgItemMessageW(dialog, IDC_SECONDARY_HOTKEY, HKM_SETHOTKEY,
                              MAKEWORD(VK_F5, HOTKEYF_SHIFT | HOTKEYF_EXT), 0);
        ::CheckDlgButton(dialog, IDC_CB_HIDE_FROM_CAPTURE, BST_UNCHECKED);
        ::CheckDlgButton(dialog, IDC_CB_ENCRYPT, BST_CHECKED);  // off by default when portable
        ::SetDlgItemTextW(dialog, IDC_ED_FORGET, L"1440");
        // More shown than kept: held to the size.
        ::SetDlgItemTextW(dialog, IDC_ED_HISTORY_SIZE, L"1000");
        ::SetDlgItemTextW(dialog, IDC_ED_HISTORY_SHOWN, L"1001");
        ::SendDlgItemMessageW(dialog, IDC_CO_THEME, CB_SETCURSEL, 1, 0);
        Press(dialog, IDOK);
    });
    EXPECT_TRUE(TFormSettings(nullptr, {}, {}, DataFolderKind::Portable).Execute());
    EXPECT_EQ(Stored(L"EncryptData"), L"1");
    EXPECT_EQ(Stored(L"Theme"), L"light");
    EXPECT_EQ(Stored(L"HistorySize"), L"1000");
    EXPECT_EQ(Stored(L"HistoryShown"), L"1000");
    EXPECT_EQ(Stored(L"HideFromCapture"), L"0");
    EXPECT_EQ(Stored(L"ForgetHistoryAfter"), L"1440");
    EXPECT_EQ(Stored(L"WindowWidth"), L"800");
    EXPECT_EQ(Stored(L"WindowHeight"), L"640");
    EXPECT_EQ(Stored(L"PriHotKeyEnabled"), L"0");
    EXPECT_EQ(Stored(L"SecHotKeyEnabled"), L"1");
    EXPECT_EQ(Stored(L"SecHotKeyValue"), std::to_wstring(0x2000 | VK_F5));
}

TEST_F(SettingsDialogWin, EveryWayOutButOkLeavesTheFileAsItWas) {
    const std::string before =
        "[Main]\r\nWindowWidth=300\r\nPositionX=5\r\nSecHotKeyValue=49238\r\n";
    // Cancel (and Esc, which the dialog turns into it), and the close button.
    for (const bool closeButton : {false, true}) {
        test::WriteBytes(ini, before);
        DialogDriver driver([&](HWND dialog) {
            ::SetDlgItemTextW(dialog, IDC_ED_WIDTH, L"640");
            ::SetDlgItemTextW(dialog, IDC_ED_HEIGHT, L"700");
            ::CheckDlgButton(dialog, IDC_CB_PRIMARY, BST_UNCHECKED);
            ::CheckDlgButton(dialog, IDC_CB_SECONDARY, BST_UNCHECKED);
            ::SendDlgItemMessageW(dialog, IDC_SECONDARY_HOTKEY, HKM_SETHOTKEY,
                                  MAKEWORD('Q', HOTKEYF_SHIFT), 0);
            if (closeButton) {
                ::SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            } else {
                Press(dialog, IDCANCEL);
            }
        });
        EXPECT_FALSE(TFormSettings(nullptr).Execute());
        EXPECT_TRUE(driver.Ran());
        EXPECT_FALSE(driver.TimedOut()) << closeButton;
        EXPECT_EQ(test::ReadBytes(ini), before) << closeButton;
    }
}

// Answers each question box the dialog shows with `button`, from a thread timer, and keeps its
// text.
struct Answerer {
    int button = IDNO;
    int asked = 0;
    std::wstring text;

    static inline Answerer* current = nullptr;
    explicit Answerer(int answer) : button(answer) {
        current = this;
        timer_ = ::SetTimer(nullptr, 0, 30, &Answerer::Tick);
    }
    Answerer(const Answerer&) = delete;
    Answerer& operator=(const Answerer&) = delete;
    ~Answerer() {
        ::KillTimer(nullptr, timer_);
        current = nullptr;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND box = ::FindWindowW(L"#32770", L"Snipora");
        if (box == nullptr || !::IsWindowVisible(box)) {
            return;
        }
        ++current->asked;
        current->text = ItemText(box, 0xFFFF);
        ::SendMessageW(box, WM_COMMAND, MAKEWPARAM(current->button, BN_CLICKED), 0);
    }
    UINT_PTR timer_ = 0;
};

// A size below the number of entries asks on OK; "No" keeps the dialog open on the size field
// and stores nothing, "Yes" stores the size. A size at the number of entries asks nothing.
TEST_F(SettingsDialogWin, ASizeBelowTheEntriesAsksAndNoKeepsTheDialogOpen) {
    test::WriteBytes(ini, "[Main]\r\nHistorySize=100\r\nHistoryShown=50\r\n");
    struct Step {
        const wchar_t* size;
        int button;
        bool open;  // the dialog stays open after OK
        int asked;
        std::wstring question;
    };
    // Each run opens the dialog once and takes its steps in order, with 30 entries there.
    const auto run = [&](const std::vector<Step>& steps) {
        DialogDriver driver([&](HWND dialog) {
            for (const Step& step : steps) {
                Answerer answerer(step.button);
                ::SetDlgItemTextW(dialog, IDC_ED_HISTORY_SIZE, step.size);
                Press(dialog, IDOK);
                EXPECT_EQ(answerer.asked, step.asked) << step.size;
                EXPECT_EQ(answerer.text, step.question) << step.size;
                EXPECT_EQ(::IsWindowVisible(dialog) != FALSE, step.open) << step.size;
                if (step.open) {
                    EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog, IDC_ED_HISTORY_SIZE)) << step.size;
                }
            }
        });
        EXPECT_TRUE(TFormSettings(nullptr, [] { return size_t{30}; }).Execute());
        EXPECT_FALSE(driver.TimedOut());
    };
    run({{L"30", IDYES, false, 0, L""}});
    EXPECT_EQ(Stored(L"HistorySize"), L"30");
    EXPECT_EQ(Stored(L"HistoryShown"), L"30");
    run({{L"29", IDNO, true, 1, L"This removes the oldest history entry. Continue?"},
         {L"1", IDNO, true, 1, L"This removes the 29 oldest history entries. Continue?"},
         {L"1", IDYES, false, 1, L"This removes the 29 oldest history entries. Continue?"}});
    EXPECT_EQ(Stored(L"HistorySize"), L"1");
    EXPECT_EQ(Stored(L"HistoryShown"), L"1");
}

// Typing into the field: a key alone, or with Shift+Ctrl+Alt, becomes the key with Ctrl+Alt.
TEST_F(SettingsDialogWin, TheHotKeyFieldPutsCtrlAltInPlaceOfNoneAndAllThree) {
    struct Case {
        std::vector<BYTE> held;
        WORD expected;
    };
    const std::vector<Case> cases = {
        {{}, MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT)},
        {{VK_SHIFT, VK_CONTROL, VK_MENU}, MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT)},
        {{VK_SHIFT}, MAKEWORD('K', HOTKEYF_SHIFT)},
        {{VK_CONTROL, VK_SHIFT}, MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT)},
    };
    for (const Case& c : cases) {
        WORD typed = 0;
        DialogDriver driver([&](HWND dialog) {
            HWND field = ::GetDlgItem(dialog, IDC_SECONDARY_HOTKEY);
            BYTE keys[256] = {};
            BYTE saved[256] = {};
            ::GetKeyboardState(saved);
            for (BYTE key : c.held) {
                keys[key] = 0x80;
            }
            ::SetKeyboardState(keys);
            for (BYTE key : c.held) {
                ::SendMessageW(field, WM_KEYDOWN, key, 1);
            }
            ::SendMessageW(field, WM_KEYDOWN, 'K', 1);
            ::SendMessageW(field, WM_KEYUP, 'K', 0xC0000001);
            ::SetKeyboardState(saved);
            typed = static_cast<WORD>(::SendMessageW(field, HKM_GETHOTKEY, 0, 0));
            Press(dialog, IDOK);
        });
        EXPECT_TRUE(TFormSettings(nullptr).Execute());
        EXPECT_EQ(typed, c.expected) << c.held.size();
    }
}

// The note under the hot key follows the key as it is chosen: the stored one at the opening,
// then each one typed.
TEST_F(SettingsDialogWin, TheHotKeysNoteFollowsTheKeyAsItIsChosen) {
    std::vector<uint16_t> asked;
    const auto note = [&](uint16_t shortcut) {
        asked.push_back(shortcut);
        return L"note " + std::to_wstring(shortcut);
    };
    std::wstring atOpening, afterTyping;
    WORD typed = 0;
    DialogDriver driver([&](HWND dialog) {
        atOpening = test::ItemText(dialog, IDC_LABEL_HOTKEY_NOTE);
        HWND field = ::GetDlgItem(dialog, IDC_SECONDARY_HOTKEY);
        ::SendMessageW(field, WM_KEYDOWN, 'K', 1);
        ::SendMessageW(field, WM_KEYUP, 'K', 0xC0000001);
        typed = static_cast<WORD>(::SendMessageW(field, HKM_GETHOTKEY, 0, 0));
        afterTyping = test::ItemText(dialog, IDC_LABEL_HOTKEY_NOTE);
        Press(dialog, IDCANCEL);
    });
    EXPECT_FALSE(TFormSettings(nullptr, {}, note).Execute());
    const uint16_t stored = ShortcutFromHotKey(HotKeyFromShortcut(keys::kDefaultSecHotKeyValue));
    EXPECT_EQ(atOpening, L"note " + std::to_wstring(stored));
    EXPECT_EQ(afterTyping, L"note " + std::to_wstring(ShortcutFromHotKey(typed)));
    EXPECT_NE(stored, ShortcutFromHotKey(typed));
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front(), stored);
}

TEST_F(SettingsDialogWin, AFileThatCannotBeWrittenFailsTheOkToTheCaller) {
    FreeSettingsStorage();
    const std::filesystem::path missing = dir / L"no such folder" / L"snipora.ini";
    CreateSettingsStorage(std::u16string(win::Utf16(missing.native())), true);
    DialogDriver driver([&](HWND dialog) { Press(dialog, IDOK); });
    EXPECT_THROW(TFormSettings(nullptr).Execute(), AppError);
}

}  // namespace
}  // namespace snipora::settings
