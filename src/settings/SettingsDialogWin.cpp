#include "settings/SettingsDialogWin.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "settings/DialogValues.h"
#include "settings/HotKeyCode.h"
#include "settings/Keys.h"
#include "settings/SettingsDialogIds.h"
#include "settings/SettingsStorageWin.h"
#include "win/BaseWindow.h"
#include "win/DialogLayout.h"
#include "win/Text.h"

namespace snipora::settings {
namespace {

constexpr int kClientWidth = 353;
constexpr int kClientHeight = 656;

// Controls inside a group box are given relative to the box.
constexpr int kSizeBoxLeft = 8, kSizeBoxTop = 8;
constexpr int kHistoryBoxLeft = 8, kHistoryBoxTop = 96;
constexpr int kKeysBoxLeft = 8, kKeysBoxTop = 200;
constexpr int kPrivacyBoxLeft = 8, kPrivacyBoxTop = 361;

constexpr std::array<win::ControlPlace, 32> kPlaces{{
    {IDC_GROUP_SIZE, kSizeBoxLeft, kSizeBoxTop, 337, 73},
    {IDC_LABEL_WIDTH, kSizeBoxLeft + 16, kSizeBoxTop + 32, 56, 16},
    {IDC_ED_WIDTH, kSizeBoxLeft + 80, kSizeBoxTop + 29, 57, 24},
    {IDC_UPDOWN_WIDTH, kSizeBoxLeft + 137, kSizeBoxTop + 29, 16, 24},
    {IDC_LABEL_HEIGHT, kSizeBoxLeft + 184, kSizeBoxTop + 32, 60, 16},
    {IDC_ED_HEIGHT, kSizeBoxLeft + 249, kSizeBoxTop + 29, 57, 24},
    {IDC_UPDOWN_HEIGHT, kSizeBoxLeft + 306, kSizeBoxTop + 29, 16, 24},
    {IDC_GROUP_HISTORY, kHistoryBoxLeft, kHistoryBoxTop, 337, 89},
    {IDC_LABEL_HISTORY_SIZE, kHistoryBoxLeft + 16, kHistoryBoxTop + 32, 200, 16},
    {IDC_ED_HISTORY_SIZE, kHistoryBoxLeft + 224, kHistoryBoxTop + 29, 83, 24},
    {IDC_UPDOWN_HISTORY_SIZE, kHistoryBoxLeft + 307, kHistoryBoxTop + 29, 16, 24},
    {IDC_LABEL_HISTORY_SHOWN, kHistoryBoxLeft + 16, kHistoryBoxTop + 60, 200, 16},
    {IDC_ED_HISTORY_SHOWN, kHistoryBoxLeft + 224, kHistoryBoxTop + 57, 83, 24},
    {IDC_UPDOWN_HISTORY_SHOWN, kHistoryBoxLeft + 307, kHistoryBoxTop + 57, 16, 24},
    {IDC_GROUP_HOTKEYS, kKeysBoxLeft, kKeysBoxTop, 337, 153},
    {IDC_CB_PRIMARY, kKeysBoxLeft + 16, kKeysBoxTop + 32, 307, 17},
    {IDC_CB_SECONDARY, kKeysBoxLeft + 16, kKeysBoxTop + 72, 98, 17},
    // Room for the longest names the field shows ("Ctrl + Alt + Shift + Scroll Lock").
    {IDC_SECONDARY_HOTKEY, kKeysBoxLeft + 120, kKeysBoxTop + 70, 203, 24},
    {IDC_LABEL_HOTKEY_NOTE, kKeysBoxLeft + 16, kKeysBoxTop + 96, 307, 16},
    {IDC_LABEL_PASTE_NEXT, kKeysBoxLeft + 16, kKeysBoxTop + 124, 98, 16},
    {IDC_PASTE_NEXT_HOTKEY, kKeysBoxLeft + 120, kKeysBoxTop + 120, 203, 24},
    {IDC_GROUP_PRIVACY, kPrivacyBoxLeft, kPrivacyBoxTop, 337, 220},
    {IDC_CB_HIDE_FROM_CAPTURE, kPrivacyBoxLeft + 16, kPrivacyBoxTop + 24, 307, 32},
    {IDC_LABEL_FORGET, kPrivacyBoxLeft + 16, kPrivacyBoxTop + 64, 307, 16},
    {IDC_ED_FORGET, kPrivacyBoxLeft + 16, kPrivacyBoxTop + 83, 70, 24},
    {IDC_LABEL_FORGET_UNIT, kPrivacyBoxLeft + 94, kPrivacyBoxTop + 86, 229, 16},
    {IDC_CB_ENCRYPT, kPrivacyBoxLeft + 16, kPrivacyBoxTop + 114, 307, 32},
    {IDC_LABEL_ENCRYPT_NOTE, kPrivacyBoxLeft + 34, kPrivacyBoxTop + 148, 289, 64},
    {IDC_LABEL_THEME, 24, 593, 88, 16},
    // The list's height is that of the list dropped down.
    {IDC_CO_THEME, 120, 589, 219, 120},
    {IDOK, 184, 623, 75, 25},
    {IDCANCEL, 264, 623, 75, 25},
}};

void SetUpDown(HWND dialog, int upDownId, int editId, int32_t min, int32_t max, int32_t value) {
    HWND upDown = ::GetDlgItem(dialog, upDownId);
    ::SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(::GetDlgItem(dialog, editId)), 0);
    ::SendMessageW(upDown, UDM_SETRANGE32, static_cast<WPARAM>(min), static_cast<LPARAM>(max));
    ::SendMessageW(upDown, UDM_SETPOS32, 0, static_cast<LPARAM>(value));
}

// The field's number as the user left it: typed text counts, held within the range.
int32_t ReadSizeField(HWND dialog, int upDownId, int editId, int32_t min, int32_t max) {
    wchar_t text[32] = {};
    ::GetDlgItemTextW(dialog, editId, text, 32);
    const auto position =
        static_cast<int32_t>(::SendMessageW(::GetDlgItem(dialog, upDownId), UDM_GETPOS32, 0, 0));
    return FieldValue(win::Utf16(text), position, min, max);
}

}  // namespace

bool TFormSettings::Execute() {
    auto& settings = GetSettingsStorage();
    width_ = Clamp(settings.GetWindowWidth(kDefaultWindowWidth), kMinWindowWidth, kMaxWindowWidth);
    height_ =
        Clamp(settings.GetWindowHeight(kDialogWindowHeight), kMinWindowHeight, kMaxWindowHeight);
    primaryEnabled_ = settings.GetMainInt(keys::PriHotKeyEnabled, keys::kDefaultHotKeyEnabled) == 1;
    secondaryEnabled_ =
        settings.GetMainInt(keys::SecHotKeyEnabled, keys::kDefaultHotKeyEnabled) == 1;
    shortcut_ = ShortcutFromHotKey(HotKeyFromShortcut(
        settings.GetMainInt(keys::SecHotKeyValue, keys::kDefaultSecHotKeyValue)));
    pasteNext_ = ShortcutFromHotKey(HotKeyFromShortcut(
        settings.GetMainInt(keys::kPasteNextHotKey, keys::kDefaultPasteNextHotKey)));
    hideFromCapture_ =
        settings.GetMainInt(keys::kHideFromCapture, keys::kDefaultHideFromCapture) == 1;
    forgetAfter_ =
        Clamp(settings.GetMainInt(keys::kForgetHistoryAfter, keys::kDefaultForgetHistoryAfter), 0,
              keys::kMaxForgetHistoryAfter);
    history_ =
        HoldHistoryLengths(settings.GetMainInt(keys::kHistorySize, keys::kDefaultHistorySize),
                           settings.GetMainInt(keys::kHistoryShown, keys::kDefaultHistoryShown));
    theme_ = ParseThemeChoice(settings.GetMainString(keys::kTheme, u"system"));
    encrypt_ = EncryptsData(settings.GetMainInt(keys::kEncryptData, keys::kEncryptDataByFolder),
                            folderKind_);
    encryptChosen_ = encrypt_;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_HOTKEY_CLASS | ICC_UPDOWN_CLASS};
    ::InitCommonControlsEx(&controls);
    const INT_PTR result = RunModal(owner_, L"TFORMSETTINGS");
    if (result != IDOK) {
        return false;
    }

    settings.SetWindowWidth(static_cast<int16_t>(width_));
    settings.SetWindowHeight(static_cast<int16_t>(height_));
    settings.SetMainInt(keys::PriHotKeyEnabled, primaryEnabled_ ? 1 : 0);
    settings.SetMainInt(keys::SecHotKeyEnabled, secondaryEnabled_ ? 1 : 0);
    settings.SetMainInt(keys::SecHotKeyValue, shortcut_);
    settings.SetMainInt(keys::kPasteNextHotKey, pasteNext_);
    settings.SetMainInt(keys::kHideFromCapture, hideFromCapture_ ? 1 : 0);
    settings.SetMainInt(keys::kForgetHistoryAfter, forgetAfter_);
    settings.SetMainInt(keys::kHistorySize, history_.Size);
    settings.SetMainInt(keys::kHistoryShown, history_.Shown);
    settings.SetMainString(keys::kTheme, ThemeChoiceName(theme_));
    if (encryptChosen_ != encrypt_) {
        settings.SetMainInt(keys::kEncryptData, encryptChosen_ ? 1 : 0);
    }
    return true;
}

void TFormSettings::OnInit() {
    win::LayOutDialog(Handle(), kClientWidth, kClientHeight, kPlaces);
    SetUpDown(Handle(), IDC_UPDOWN_WIDTH, IDC_ED_WIDTH, kMinWindowWidth, kMaxWindowWidth, width_);
    SetUpDown(Handle(), IDC_UPDOWN_HEIGHT, IDC_ED_HEIGHT, kMinWindowHeight, kMaxWindowHeight,
              height_);
    SetChecked(IDC_CB_PRIMARY, primaryEnabled_);
    SetChecked(IDC_CB_SECONDARY, secondaryEnabled_);
    // A key alone, or with all three modifiers, becomes the key with Ctrl+Alt.
    SendItemMessage(IDC_SECONDARY_HOTKEY, HKM_SETRULES, HKCOMB_NONE | HKCOMB_SCA,
                    MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    SendItemMessage(IDC_SECONDARY_HOTKEY, HKM_SETHOTKEY, HotKeyFromShortcut(shortcut_), 0);
    ShowHotKeyNote();
    SendItemMessage(IDC_PASTE_NEXT_HOTKEY, HKM_SETRULES, HKCOMB_NONE | HKCOMB_SCA,
                    MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_SHIFT, 0));
    SendItemMessage(IDC_PASTE_NEXT_HOTKEY, HKM_SETHOTKEY, HotKeyFromShortcut(pasteNext_), 0);
    SetChecked(IDC_CB_HIDE_FROM_CAPTURE, hideFromCapture_);
    SetChecked(IDC_CB_ENCRYPT, encrypt_);
    SendItemMessage(IDC_ED_FORGET, EM_SETLIMITTEXT, 6, 0);
    ::SetDlgItemInt(Handle(), IDC_ED_FORGET, static_cast<UINT>(forgetAfter_), FALSE);
    // Both history fields take up to the largest size; the number shown is held to the size
    // when OK is pressed, so the two can be typed in either order.
    SetUpDown(Handle(), IDC_UPDOWN_HISTORY_SIZE, IDC_ED_HISTORY_SIZE, 1, keys::kMaxHistorySize,
              history_.Size);
    SetUpDown(Handle(), IDC_UPDOWN_HISTORY_SHOWN, IDC_ED_HISTORY_SHOWN, 1, keys::kMaxHistorySize,
              history_.Shown);
    // In the order of ThemeChoice.
    for (const wchar_t* name : {L"Follow Windows", L"Light", L"Dark"}) {
        SendItemMessage(IDC_CO_THEME, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendItemMessage(IDC_CO_THEME, CB_SETCURSEL, static_cast<WPARAM>(theme_), 0);
}

bool TFormSettings::OnCommand(int id, int code) {
    if (id == IDC_SECONDARY_HOTKEY && code == EN_CHANGE) {
        ShowHotKeyNote();
        return true;
    }
    return false;
}

void TFormSettings::ShowHotKeyNote() {
    const auto shortcut = ShortcutFromHotKey(
        static_cast<uint16_t>(SendItemMessage(IDC_SECONDARY_HOTKEY, HKM_GETHOTKEY, 0, 0)));
    const std::wstring note = hotKeyNote_ ? hotKeyNote_(shortcut) : std::wstring();
    ::SetDlgItemTextW(Handle(), IDC_LABEL_HOTKEY_NOTE, note.c_str());
}

void TFormSettings::OnOk() {
    width_ =
        ReadSizeField(Handle(), IDC_UPDOWN_WIDTH, IDC_ED_WIDTH, kMinWindowWidth, kMaxWindowWidth);
    height_ = ReadSizeField(Handle(), IDC_UPDOWN_HEIGHT, IDC_ED_HEIGHT, kMinWindowHeight,
                            kMaxWindowHeight);
    primaryEnabled_ = IsChecked(IDC_CB_PRIMARY);
    secondaryEnabled_ = IsChecked(IDC_CB_SECONDARY);
    shortcut_ = ShortcutFromHotKey(
        static_cast<uint16_t>(SendItemMessage(IDC_SECONDARY_HOTKEY, HKM_GETHOTKEY, 0, 0)));
    pasteNext_ = ShortcutFromHotKey(
        static_cast<uint16_t>(SendItemMessage(IDC_PASTE_NEXT_HOTKEY, HKM_GETHOTKEY, 0, 0)));
    hideFromCapture_ = IsChecked(IDC_CB_HIDE_FROM_CAPTURE);
    encryptChosen_ = IsChecked(IDC_CB_ENCRYPT);
    wchar_t forget[32] = {};
    ::GetDlgItemTextW(Handle(), IDC_ED_FORGET, forget, 32);
    forgetAfter_ = FieldValue(win::Utf16(forget), forgetAfter_, 0, keys::kMaxForgetHistoryAfter);
    const int32_t size = ReadSizeField(Handle(), IDC_UPDOWN_HISTORY_SIZE, IDC_ED_HISTORY_SIZE, 1,
                                       keys::kMaxHistorySize);
    const int32_t shown = ReadSizeField(Handle(), IDC_UPDOWN_HISTORY_SHOWN, IDC_ED_HISTORY_SHOWN, 1,
                                        keys::kMaxHistorySize);
    const size_t count = historyCount_ ? historyCount_() : 0;
    if (count > static_cast<size_t>(size) && !ConfirmDrop(count - static_cast<size_t>(size))) {
        return;
    }
    history_ = HoldHistoryLengths(size, shown);
    const LRESULT theme = SendItemMessage(IDC_CO_THEME, CB_GETCURSEL, 0, 0);
    theme_ = theme == 1 ? ThemeChoice::Light : theme == 2 ? ThemeChoice::Dark : ThemeChoice::System;
    End(IDOK);
}

// A "No" leaves the dialog open on the size field, its text selected, so that the user can
// choose another size or Cancel; nothing is stored until the question is answered "Yes".
bool TFormSettings::ConfirmDrop(size_t dropped) {
    const std::wstring question =
        dropped == 1 ? std::wstring(L"This removes the oldest history entry. Continue?")
                     : L"This removes the " + std::to_wstring(dropped) +
                           L" oldest history entries. Continue?";
    if (::MessageBoxW(Handle(), question.c_str(), L"Snipora",
                      MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES) {
        return true;
    }
    HWND field = ::GetDlgItem(Handle(), IDC_ED_HISTORY_SIZE);
    ::SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    ::SendMessageW(field, EM_SETSEL, 0, -1);
    return false;
}

}  // namespace snipora::settings
