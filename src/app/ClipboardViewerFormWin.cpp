#include "app/ClipboardViewerFormWin.h"

#include <commctrl.h>
#include <windowsx.h>

#include <utility>

#include "common/Error.h"
#include "common/ProgramVersion.h"
#include "common/Utf.h"
#include "log/Logger.h"
#include "settings/DataLocationsWin.h"
#include "settings/DialogValues.h"
#include "settings/Keys.h"
#include "settings/SettingsStorageWin.h"
#include "store/ClipboardWin.h"
#include "store/DisplayText.h"
#include "view/ItemDrawingWin.h"
#include "view/ThemeWin.h"
#include "win/DarkMode.h"
#include "win/Gdi.h"
#include "win/Text.h"

namespace snipora {
namespace {

constexpr UINT_PTR kTickTimer = 1;   // the 10 ms tick
constexpr UINT_PTR kSaveTimer = 2;   // the save that follows changes of the lists
constexpr UINT_PTR kCloseTimer = 4;  // the end of a close that left a balloon to read
constexpr UINT kBalloonLingerMs = 3000;
constexpr int kHotKeyId = 1;
constexpr UINT kTickMs = 10;
constexpr UINT WM_APP_STARTUP = WM_APP + 2;

// Layout at 96 dots per inch, in the window's design size of 220 x 351.
constexpr int kDesignWidth = 220;
constexpr int kDesignHeight = 351;
constexpr int kLabelLeft = 4, kLabelTop = 1, kLabelHeight = 27;
constexpr int kButtonTop = 1, kButtonWidth = 20, kButtonHeight = 27;
constexpr int kButtonRightGap = kDesignWidth - 199;  // anchored to the right edge
constexpr int kLabelRightGap = kDesignWidth - (4 + 193);
constexpr int kTreeLeft = 1, kTreeTop = 28;
constexpr int kTreeRightGap = kDesignWidth - (1 + 218);
constexpr int kTreeBottomGap = kDesignHeight - (28 + 322);
constexpr BYTE kAlpha = 200;

Rect ToRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

BOOL CALLBACK FindEnabledDialog(HWND window, LPARAM found) {
    wchar_t name[8] = {};
    ::GetClassNameW(window, name, 8);
    if (std::wstring_view(name) == L"#32770" && ::IsWindowVisible(window) &&
        ::IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// The window itself, or one that it owns: its dialogs and message boxes.
bool IsOwnWindow(HWND form, HWND window) {
    return window != nullptr && (window == form || ::GetWindow(window, GW_OWNER) == form);
}

// Any window of this program: the bar, its menus, dialogs and message boxes.
bool IsOwnProcessWindow(HWND window) {
    DWORD process = 0;
    return window != nullptr && ::GetWindowThreadProcessId(window, &process) != 0 &&
           process == ::GetCurrentProcessId();
}

// The dialog or message box of this thread that takes the input now: the innermost of those
// open, as each one disables its owner.
HWND FindOpenDialog() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindEnabledDialog,
                        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The history's size and the number of its entries shown, from the settings.
void ApplyHistoryLengths(CClipboardHandler& handler) {
    auto& settings = settings::GetSettingsStorage();
    const settings::HistoryLengths lengths = settings::HoldHistoryLengths(
        settings.GetMainInt(keys::HistorySize, keys::DefaultHistorySize),
        settings.GetMainInt(keys::HistoryShown, keys::DefaultHistoryShown));
    handler.SetHistorySize(static_cast<size_t>(lengths.Size));
    handler.SetHistoryShown(static_cast<size_t>(lengths.Shown));
}

}  // namespace

bool ApplicationWindow::Create() {
    return BaseWindow::Create(L"SniporaApplication", 0, WS_POPUP, L"Snipora", 0, 0, 0, 0, nullptr);
}

TClipboardViewerForm::TClipboardViewerForm() : popup_(*this) {}

// One order whether or not the close ran, and however far construction got: out of the chain,
// the lists out of the tree while the tree exists, then the window while its members exist.
TClipboardViewerForm::~TClipboardViewerForm() {
    if (chain_) {
        chain_->Leave();
    }
    if (saver_) {
        saver_->Forget();
    }
    if (container_ != nullptr) {
        container_->DestroyHandler();
    }
    handler_ = nullptr;
    if (Handle() != nullptr) {
        tearingDown_ = true;  // an error on the way out is still shown: no quit message
        ::UnregisterHotKey(Handle(), kHotKeyId);
        ::DestroyWindow(Handle());
    }
}

void TClipboardViewerForm::Create() {
    if (!application_.Create()) {
        throw AppError("Cannot create the application window.");
    }
    dpi_ = win::Dpi::OfScreen();
    // The window and its controls.
    if (!BaseWindow::Create(kFormClassName, WS_EX_TOPMOST | WS_EX_LAYERED,
                            WS_POPUP | WS_CLIPCHILDREN, L"Snipora", 0, 0, dpi_.Scale(kDesignWidth),
                            dpi_.Scale(kDesignHeight), application_.Handle(), ProgramIcon())) {
        throw AppError("Cannot create the main window.");
    }
    ::SetLayeredWindowAttributes(Handle(), 0, kAlpha, LWA_ALPHA);
    popup_.SetInitialTranslucent(true);
    input_.emplace(Handle());
    CreateControls();
    // On a monitor of another scale than the system's, the window's own.
    SetDpi(win::Dpi::OfWindow(Handle()));

    // The update question and the tray icon's hint.
    updateQuestion_ = L"Check for New Version? (Internet connection required)";
    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    trayIcon_.emplace(Handle(), ProgramIcon(),
                      L"Snipora " + std::wstring(win::Wide(kProgramVersion)));
    saver_.emplace(Handle(), kSaveTimer, *trayIcon_);
    chain_.emplace(Handle());

    // The settings, in the INI file named after the program, and the log file beside it.
    const std::u16string settingsFolder = GetSettingsFolder();
    logFile_.emplace(settingsFolder);
    auto& settings =
        settings::CreateSettingsStorage(SettingsFilePath(settingsFolder, GetProgramPath()), true);

    // Size, triggers and the home position.
    RECT workArea{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    ApplySettings();
    const int width = WindowRect().Width();
    const int top = settings.GetPositionY(settings::DefaultPositionY);
    int left = settings.GetPositionX(settings::DefaultPositionX(workArea.right, width));
    if (left + width > workArea.right) {
        left = workArea.right - width;
    }
    MoveWindowTo(left, top);

    // The collapsed bar, with its button in sight.
    popup_.SetExpanded(false);
    KeepBarOnScreen();

    // Drawing: double buffering, the scratch bitmap, the skin.
    TreeView_SetExtendedStyle(tree_, TVS_EX_DOUBLEBUFFER, TVS_EX_DOUBLEBUFFER);
    CreateDrawing();

    ::SetTimer(Handle(), kTickTimer, kTickMs, nullptr);
}

void TClipboardViewerForm::CreateControls() {
    font_ = win::MakeFont(-dpi_.Scale(11));
    treeFont_ = win::MakeFont(-dpi_.Scale(31));
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);

    label_ = ::CreateWindowExW(
        0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, 0, 0,
        0, Handle(), reinterpret_cast<HMENU>(kIdLabel), instance, nullptr);
    HICON glyph = OpenClipboardGlyph();
    button_ = ::CreateWindowExW(0, L"BUTTON", L"\u25BC",
                                WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX | BS_PUSHLIKE | BS_FLAT |
                                    (glyph != nullptr ? BS_ICON : 0),
                                0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(kIdButton), instance,
                                nullptr);
    ::SendMessageW(button_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(glyph));
    if (glyph != nullptr && button_ != nullptr) {
        // Not shown beside the glyph: the name that a screen reader gives the button.
        ::SetWindowTextW(button_, L"Open clipboard");
    }
    tree_ = ::CreateWindowExW(
        0, WC_TREEVIEWW, L"",
        WS_CHILD | WS_TABSTOP | TVS_NOTOOLTIPS | TVS_SHOWSELALWAYS | TVS_NOHSCROLL, 0, 0, 0, 0,
        Handle(), reinterpret_cast<HMENU>(kIdTree), instance, nullptr);
    if (label_ == nullptr || button_ == nullptr || tree_ == nullptr) {
        throw AppError("Cannot create the window's controls.");
    }
    ::SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    ::SendMessageW(button_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    ::SendMessageW(tree_, WM_SETFONT, reinterpret_cast<WPARAM>(treeFont_.Get()), FALSE);
    AddHint(button_, L"Open clipboard");
    TreeView_SetIndent(tree_, dpi_.Scale(42));
    treeView_ = std::make_unique<Win32TreeView>(tree_, true);
    itemsTree_ = std::make_unique<ItemsTree>(tree_, static_cast<IItemsTreeEvents&>(*this));
    CreateItemMenu();
    CreateFilterField();

    mainMenu_.Reset(::CreatePopupMenu());
    ::AppendMenuW(mainMenu_.Get(), MF_STRING, kIdSettings, L"Settings");
    ::AppendMenuW(mainMenu_.Get(), MF_STRING, kIdCheckForUpdates, L"Check for updates");
    ::AppendMenuW(mainMenu_.Get(), MF_STRING, kIdAbout, L"About");
    ::AppendMenuW(mainMenu_.Get(), MF_STRING, kIdStartWithWindows, L"Start with Windows");
    ::AppendMenuW(mainMenu_.Get(), MF_STRING, kIdPauseRecording, L"Pause recording");
    ::AppendMenuW(mainMenu_.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(mainMenu_.Get(), MF_STRING, kIdExit, L"Exit");
}

// A tool tip over a control. The tip window belongs to the form and goes with it.
void TClipboardViewerForm::AddHint(HWND control, const wchar_t* text) {
    HWND tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 Handle(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (tip == nullptr) {
        return;
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    hint_ = tip;
}

void TClipboardViewerForm::ApplySettings() {
    auto& settings = settings::GetSettingsStorage();
    // Held to what the settings dialog offers: a hand-edited size could hide the bar or spread
    // it over the whole screen.
    const int width = settings::Clamp(settings.GetWindowWidth(settings::DefaultWindowWidth),
                                      settings::MinWindowWidth, settings::MaxWindowWidth);
    const int height = settings::Clamp(settings.GetWindowHeight(settings::PopupWindowHeight),
                                       settings::MinWindowHeight, settings::MaxWindowHeight);
    SetExcludedPrograms(settings.GetMainString(keys::ExcludePrograms, u""));
    keepDuplicates_ = settings.GetMainInt(keys::KeepDuplicates, keys::DefaultKeepDuplicates) == 1;
    popupTakesFocus_ = settings.GetMainInt(keys::PopupTakesFocus, 0) == 1;
    if (handler_ != nullptr) {
        handler_->SetKeepDuplicates(keepDuplicates_);
    }
    logFile_->SetDetails(settings.GetMainInt(keys::LogDetails, keys::DefaultLogDetails) == 1);
    const int hotKey = settings.GetMainInt(keys::SecHotKeyValue, keys::DefaultSecHotKeyValue);
    const int primary = settings.GetMainInt(keys::PriHotKeyEnabled, keys::DefaultHotKeyEnabled);
    TriggerKeys keys = MakeTriggerKeys(primary, hotKey, [&settings] {
        return settings.GetMainInt(keys::SecHotKeyEnabled, keys::DefaultHotKeyEnabled);
    });
    RegisterHotKey(keys);
    designWidth_ = width;
    designHeight_ = height;
    popup_.ApplySettings(dpi_.Scale(width), dpi_.Scale(height), std::move(keys));
    if (handler_ != nullptr) {
        ApplyHistoryLengths(*handler_);
        handler_->RefreshTree();
    }
    ApplyPrivacySettings();
    themeChoice_ = settings::ParseThemeChoice(settings.GetMainString(keys::Theme, u"system"));
    ApplyTheme();
}

// Every colour of the bar, the popup, its rows and the filter field from one palette; the
// system's own parts (scroll bars, menus, dialogs' title bars) dark with it where they can be.
void TClipboardViewerForm::ApplyTheme() {
    palette_ = CurrentPalette(themeChoice_);
    framePen_.Reset(::CreatePen(PS_SOLID, 1, ToColorRef(palette_.frame)));
    barBrush_.Reset(::CreateSolidBrush(ToColorRef(palette_.barBackground)));
    filterBrush_.Reset(::CreateSolidBrush(ToColorRef(palette_.filterBackground)));
    win::SetDarkMode(palette_.darkControls);
    win::ApplyDarkScrollBars(tree_, palette_.darkControls);
    TreeView_SetBkColor(tree_, ToColorRef(palette_.rowBackground));
    TreeView_SetTextColor(tree_, ToColorRef(palette_.rowText));
    if (drawing_ != nullptr) {
        drawing_->SetPalette(palette_);
    }
    // High contrast: never see-through.
    ::SetLayeredWindowAttributes(
        Handle(), 0, palette_.translucent && popup_.Translucent() ? kAlpha : 255, LWA_ALPHA);
    ::RedrawWindow(Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TClipboardViewerForm::SetDpi(win::Dpi dpi) {
    if (dpi == dpi_ && font_) {
        return;
    }
    dpi_ = dpi;
    // The controls take the new fonts and glyph before the old ones go.
    win::UniqueFont font = win::MakeFont(-dpi_.Scale(11));
    win::UniqueFont treeFont = win::MakeFont(-dpi_.Scale(31));
    for (HWND control : {label_, button_, filterField_}) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    }
    ::SendMessageW(tree_, WM_SETFONT, reinterpret_cast<WPARAM>(treeFont.Get()), TRUE);
    font_ = std::move(font);
    treeFont_ = std::move(treeFont);
    TreeView_SetIndent(tree_, dpi_.Scale(42));
    if (buttonGlyph_) {
        UniqueIcon glyph = LoadOpenClipboardGlyph(dpi_.Value());
        ::SendMessageW(button_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(glyph.Get()));
        buttonGlyph_ = std::move(glyph);
    }
    if (drawing_ != nullptr) {
        CreateDrawing();
    }
    if (designWidth_ > 0) {
        popup_.Resize(dpi_.Scale(designWidth_), dpi_.Scale(designHeight_));
    }
    const Rect r = WindowRect();
    OnSize(r.Width(), r.Height());
}

// The system's rectangle keeps the window's place on the new monitor; the scale comes first, so
// that the controls are laid out once at the size the window takes.
void TClipboardViewerForm::OnDpiChanged(int dpi, const RECT& suggested) {
    SetDpi(win::Dpi(dpi));
    ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void TClipboardViewerForm::MatchMonitorAt(Point point) {
    SetDpi(win::Dpi::AtPoint(POINT{point.x, point.y}));
}

// The system keeps the hot key from every other program and reports it with WM_HOTKEY, so that
// it never reaches the window in front as well. Taken by another program, it is said once; the
// mouse gesture and the button still open the popup. A hot key of modifiers alone cannot be
// registered and is watched by the tick as before.
void TClipboardViewerForm::RegisterHotKey(const TriggerKeys& keys) {
    ::UnregisterHotKey(Handle(), kHotKeyId);
    const bool systemKey = keys.secondaryEnabled && keys.systemKey != 0;
    popup_.SetHotKeyWatched(!systemKey);
    if (systemKey) {
        if (!::RegisterHotKey(Handle(), kHotKeyId, keys.systemModifiers, keys.systemKey)) {
            const std::wstring name = HotKeyName(keys);
            LogError("[Form] The hot key " + Utf16ToUtf8(win::Utf16(name)) +
                     " is used by another program");
            if (!hotKeyTakenReported_ && trayIcon_) {
                hotKeyTakenReported_ = true;
                trayIcon_->ShowBalloon(
                    L"Snipora", L"Another program uses " + name +
                                    L". Open Snipora with Ctrl+click or its button, or choose "
                                    L"another key in the settings.");
            }
        }
    }
}

std::wstring TClipboardViewerForm::HotKeyName(const TriggerKeys& keys) {
    std::wstring name;
    if (keys.systemModifiers & kHotKeyControl) {
        name += L"Ctrl+";
    }
    if (keys.systemModifiers & kHotKeyAlt) {
        name += L"Alt+";
    }
    if (keys.systemModifiers & kHotKeyShift) {
        name += L"Shift+";
    }
    wchar_t key[64] = {};
    const UINT scan = ::MapVirtualKeyW(keys.systemKey, MAPVK_VK_TO_VSC);
    if (scan != 0 && ::GetKeyNameTextW(static_cast<LONG>(scan << 16), key, 64) > 0) {
        return name + key;
    }
    return name + std::to_wstring(keys.systemKey);
}

void TClipboardViewerForm::StartUp() {
    if (started_) {
        return;
    }
    started_ = true;
    container_ = std::make_unique<CBaseContainer>(SystemClipboard(), PlatformFileSystem());
    handler_ = container_->CreateHandler(treeView_.get(), application_.Handle());
    handler_->SetFilter(&filter_);
    ApplyHistoryLengths(*handler_);
    handler_->SetKeepDuplicates(keepDuplicates_);
    saver_->Load(*handler_);
    handler_->AddCategories();
    handler_->RefreshTree();
    if (HTREEITEM first = TreeView_GetRoot(tree_)) {
        TreeView_Expand(tree_, first, TVE_EXPAND);
        // An empty history cannot be expanded: mark it so, and its first entries show at once.
        TreeView_SetItemState(tree_, first, TVIS_EXPANDED, TVIS_EXPANDED);
    }
    ForgetOldHistory();
    chain_->Join();
    // From now on a click on the bar or the popup leaves the window in front where it is.
    SetNoActivate(!popupTakesFocus_);
    FirstLaunchStep();
    UpdateStep();
}

// Changes reach the journal within a second, so that a crash or a kill loses little.
void TClipboardViewerForm::ScheduleSave() {
    saver_->Changed();
}

// A close while a dialog or a message box of this program is open ends that first, as its
// Cancel would, and comes again once it has gone.
void TClipboardViewerForm::RequestClose() {
    if (closed_) {
        return;
    }
    if (HWND open = FindOpenDialog()) {
        closeRequested_ = true;
        ::EndDialog(open, IDCANCEL);
        ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
        return;
    }
    if (modalOpen_) {
        closeRequested_ = true;  // the command's end asks again
        return;
    }
    FormClose();
}

void TClipboardViewerForm::FormClose() {
    chain_->Leave();
    try {
        saver_->SaveNow();
    } catch (...) {
        // The window stays open and goes on recording: back into the chain.
        chain_->Join();
        throw;
    }
    closed_ = true;
    ::KillTimer(Handle(), kTickTimer);
    ::UnregisterHotKey(Handle(), kHotKeyId);
    saver_->Forget();
    if (container_ != nullptr) {  // a close may come before the start-up has run
        container_->DestroyHandler();
    }
    handler_ = nullptr;
    const Rect rect = WindowRect();
    const bool stored = saver_->StorePosition(rect.left, rect.top, true);
    settings::FreeSettingsStorage();
    if (!stored) {
        // The balloon goes with the tray icon: the icon stays a moment, the window is gone from
        // sight, and nothing waits for the user.
        ::ShowWindow(Handle(), SW_HIDE);
        ::SetTimer(Handle(), kCloseTimer, kBalloonLingerMs, nullptr);
        return;
    }
    ::DestroyWindow(Handle());
}

// The session ends once this returns: the lists and the place are written at once, and nothing
// may wait for the user.
void TClipboardViewerForm::OnEndSession() {
    if (closed_) {
        return;
    }
    chain_->Leave();
    saver_->SaveQuietly();
    const Rect rect = WindowRect();
    saver_->StorePosition(rect.left, rect.top, false);
    logFile_->Flush();
}

void TClipboardViewerForm::OnDestroyed() {
    trayIcon_.reset();
    if (!tearingDown_) {
        ::PostQuitMessage(0);
    }
}

LRESULT TClipboardViewerForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_APP_STARTUP:
            StartUp();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !started_) {
                ::PostMessageW(Handle(), WM_APP_STARTUP, 0, 0);
            }
            // A question of this window's own (Clear's) leaves the popup open beneath it.
            if (LOWORD(wParam) == WA_INACTIVE &&
                !IsOwnWindow(Handle(), reinterpret_cast<HWND>(lParam))) {
                popup_.Deactivated();
            }
            break;
        case WM_MOUSEACTIVATE:
            // Clicked into, the popup has the keys; the window in front keeps its focus.
            if (started_ && !PopupTakesFocus()) {
                keysTaken_ = keysTaken_ || popup_.Expanded();
                return MA_NOACTIVATE;
            }
            break;
        case PopupInput::kKeyMessage:
            OnRoutedKey(static_cast<UINT>(wParam), lParam);
            return 0;
        case PopupInput::kCloseMessage:
            popup_.Deactivated();
            return 0;
        case PopupInput::kOutsideClickMessage:
            OnOutsideClick(lParam);
            return 0;
        case PopupInput::kWheelMessage:
            if (popup_.Expanded()) {
                ::SendMessageW(tree_, WM_MOUSEWHEEL,
                               MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(wParam))),
                               lParam);
            }
            return 0;
        case WM_SETFOCUS:
            // Clicked into, or brought to the front: the keys go to the tree.
            if (popup_.Expanded()) {
                ::SetFocus(tree_);
            }
            return 0;
        case WM_HOTKEY:
            if (wParam == kHotKeyId && !pasting_) {
                popup_.HotKeyPressed();
            }
            return 0;
        case WM_DRAWCLIPBOARD:
            OnDrawClipboard(wParam, lParam);
            return 0;
        case WM_CHANGECBCHAIN:
            chain_->ChainChanged(wParam, lParam);
            return 0;
        case WM_NCHITTEST:
            return OnNcHitTest(lParam);
        case WM_NOTIFY:
            if (itemsTree_) {
                if (const auto result = itemsTree_->Notify(*reinterpret_cast<NMHDR*>(lParam))) {
                    return *result;
                }
            }
            break;
        case WM_TIMER:
            if (wParam == kTickTimer) {
                // The paste runs the queue while the keys of the click that chose the entry may
                // still be down: that click must not summon the popup again.
                if (!pasting_) {
                    popup_.Tick();
                    CloseOnForegroundChange();
                }
                if (chain_->Tick()) {
                    CaptureClipboard();
                    chain_->Notified();
                }
            } else if (wParam == kSaveTimer) {
                saver_->AutoSave();
            } else if (wParam == kCloseTimer) {
                ::DestroyWindow(Handle());
            } else if (wParam == kForgetTimer) {
                ForgetOldHistory();
            }
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_SIZE:
            OnSize(LOWORD(lParam), HIWORD(lParam));
            [[fallthrough]];
        case WM_MOVE:
            // Dragged or resized while open: a click outside is judged by where it is now.
            if (input_ && input_->Routing()) {
                RECT area{};
                ::GetWindowRect(Handle(), &area);
                input_->SetArea(area);
            }
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(reinterpret_cast<HDC>(wParam));
        case WM_CTLCOLOREDIT:
            return OnCtlColorEdit(reinterpret_cast<HDC>(wParam));
        case WM_SETTINGCHANGE:
            // The app mode ("ImmersiveColorSet") or high contrast changed.
            if (wParam == SPI_SETHIGHCONTRAST ||
                (lParam != 0 && ::lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam),
                                            L"ImmersiveColorSet") == 0)) {
                ApplyTheme();
            }
            break;
        case WM_SYSCOLORCHANGE:
            ApplyTheme();
            break;
        case WM_DPICHANGED:
            if (lParam != 0) {
                OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            }
            return 0;
        case TrayIcon::kCallbackMessage:
            OnTrayMessage(lParam);
            return 0;
        case WM_DISPLAYCHANGE:
            KeepBarOnScreen();
            break;
        case WM_COPYDATA:
            return lParam != 0 ? OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam))
                               : FALSE;
        case WM_APP_BRING_TO_FRONT:
            BringToFront();
            return 0;
        case WM_CLOSE:
            RequestClose();
            return 0;
        case WM_QUERYENDSESSION:
            saver_->SaveQuietly();
            return TRUE;
        case WM_ENDSESSION:
            if (wParam) {
                OnEndSession();
            }
            return 0;
        default:
            if (message == taskbarCreated_ && taskbarCreated_ != 0 && trayIcon_) {
                trayIcon_->Add();
                return 0;
            }
            break;
    }
    return BaseWindow::HandleMessage(message, wParam, lParam);
}

void TClipboardViewerForm::OnDrawClipboard(WPARAM wParam, LPARAM lParam) {
    chain_->Notified();
    CaptureClipboard();
    chain_->PassOn(wParam, lParam);
}

void TClipboardViewerForm::CaptureClipboard() {
    if (handler_ != nullptr && !paused_) {
        handler_->CaptureClipboard();
        ::SetWindowTextW(label_, win::Wide(MakeBarText(handler_->LastCaptured())));
        handler_->RefreshTree();
        ScheduleSave();
    }
}

// A stored place, a wider bar or a monitor that went may leave the button out of sight: the bar
// then moves onto the work area of the monitor nearest to the button. A place on a monitor left
// of or above the main one stays as it is. The popup at the pointer is placed on its own.
void TClipboardViewerForm::KeepBarOnScreen() {
    if (popup_.AtCursor()) {
        return;
    }
    RECT button{};
    ::GetWindowRect(button_, &button);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromRect(&button, MONITOR_DEFAULTTONEAREST), &info)) {
        return;
    }
    const Rect bar = WindowRect();
    const Point corner = KeepButtonOnWorkArea(bar, ToRect(button), ToRect(info.rcWork));
    if (corner.x != bar.left || corner.y != bar.top) {
        MoveWindowTo(corner.x, corner.y);
    }
}

// The strip over the label drags the window.
LRESULT TClipboardViewerForm::OnNcHitTest(LPARAM lParam) {
    RECT window{};
    RECT button{};
    ::GetWindowRect(Handle(), &window);
    ::GetWindowRect(button_, &button);
    const int x = GET_X_LPARAM(lParam) - window.left;
    const int y = GET_Y_LPARAM(lParam) - window.top;
    const int buttonLeft = button.left - window.left;
    const int buttonHeight = button.bottom - button.top;
    return x < buttonLeft && y < buttonHeight ? HTCAPTION : HTCLIENT;
}

void TClipboardViewerForm::OnCommand(WORD id, WORD code) {
    switch (id) {
        case kIdButton:
            if (code == BN_CLICKED) {
                popup_.SetExpanded(::SendMessageW(button_, BM_GETCHECK, 0, 0) == BST_CHECKED);
            }
            break;
        case kIdSettings:
            Settings1Click();
            break;
        case kIdCheckForUpdates:
            Checkforupdates1Click();
            break;
        case kIdAbout:
            About1Click();
            break;
        case kIdExit:
            Exit1Click();
            break;
        case kIdFilter:
            if (code == EN_CHANGE) {
                ApplyFilter();
            }
            break;
        case kIdStartWithWindows:
            StartWithWindowsClick();
            break;
        case kIdPauseRecording:
            SetPaused(!paused_);
            break;
        case kIdMoveToClipboard:
        case kIdMoveToNotes:
        case kIdDeleteItem:
        case kIdClearText:
        case kIdUndo:
            commands_.Run(id, SelectedRecord());
            break;
        default:
            break;
    }
}

void TClipboardViewerForm::OnSize(int width, int height) {
    const int labelWidth = width - dpi_.Scale(kLabelLeft) - dpi_.Scale(kLabelRightGap);
    for (HWND field : {label_, filterField_}) {
        ::MoveWindow(field, dpi_.Scale(kLabelLeft), dpi_.Scale(kLabelTop), labelWidth,
                     dpi_.Scale(kLabelHeight), TRUE);
    }
    ::MoveWindow(button_, width - dpi_.Scale(kButtonRightGap), dpi_.Scale(kButtonTop),
                 dpi_.Scale(kButtonWidth), dpi_.Scale(kButtonHeight), TRUE);
    ::MoveWindow(tree_, dpi_.Scale(kTreeLeft), dpi_.Scale(kTreeTop),
                 width - dpi_.Scale(kTreeLeft) - dpi_.Scale(kTreeRightGap),
                 height - dpi_.Scale(kTreeTop) - dpi_.Scale(kTreeBottomGap), TRUE);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

// The frame around the window, filled in the bar's colour.
void TClipboardViewerForm::OnPaint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(Handle(), &paint);
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const win::ScopedSelect pen(dc, framePen_.Get());
    const win::ScopedSelect brush(dc, barBrush_.Get());
    ::Rectangle(dc, client.left, client.top, client.right, client.bottom);
    ::EndPaint(Handle(), &paint);
}

LRESULT TClipboardViewerForm::OnCtlColorStatic(HDC dc) {
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ToColorRef(palette_.barText));
    return reinterpret_cast<LRESULT>(barBrush_.Get());
}

// The filter field.
LRESULT TClipboardViewerForm::OnCtlColorEdit(HDC dc) {
    ::SetTextColor(dc, ToColorRef(palette_.filterText));
    ::SetBkColor(dc, ToColorRef(palette_.filterBackground));
    return reinterpret_cast<LRESULT>(filterBrush_.Get());
}

void TClipboardViewerForm::OnTrayMessage(LPARAM lParam) {
    if (LOWORD(lParam) == WM_RBUTTONUP || LOWORD(lParam) == WM_CONTEXTMENU) {
        ShowMainMenu();
    }
}

void TClipboardViewerForm::ShowMainMenu() {
    POINT at{};
    ::GetCursorPos(&at);
    ::SetForegroundWindow(Handle());
    ::CheckMenuItem(mainMenu_.Get(), kIdStartWithWindows,
                    MF_BYCOMMAND | (StartsWithWindows() ? MF_CHECKED : MF_UNCHECKED));
    ::CheckMenuItem(mainMenu_.Get(), kIdPauseRecording,
                    MF_BYCOMMAND | (paused_ ? MF_CHECKED : MF_UNCHECKED));
    const UINT id = ::TrackPopupMenu(mainMenu_.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y,
                                     0, Handle(), nullptr);
    ::PostMessageW(Handle(), WM_NULL, 0, 0);
    if (id != 0) {
        OnCommand(static_cast<WORD>(id), 0);
    }
}

void TClipboardViewerForm::BringToFront() {
    ::ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(Handle());
}

Rect TClipboardViewerForm::WindowRect() {
    RECT r{};
    ::GetWindowRect(Handle(), &r);
    return ToRect(r);
}

void TClipboardViewerForm::MoveWindowTo(int left, int top) {
    ::SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TClipboardViewerForm::SetWindowWidth(int width) {
    const Rect r = WindowRect();
    ::SetWindowPos(Handle(), nullptr, 0, 0, width, r.Height(),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TClipboardViewerForm::SetWindowHeight(int height) {
    const Rect r = WindowRect();
    ::SetWindowPos(Handle(), nullptr, 0, 0, r.Width(), height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The label from its scaled top, then the frame's bottom line: at 144 dpi the label's top is two
// pixels, and a height counted with one left the label over that line.
int TClipboardViewerForm::CollapsedHeight() {
    return dpi_.Scale(kLabelTop) + dpi_.Scale(kLabelHeight) + 1;
}

void TClipboardViewerForm::SetTranslucent(bool translucent) {
    ::SetLayeredWindowAttributes(Handle(), 0, translucent && palette_.translucent ? kAlpha : 255,
                                 LWA_ALPHA);
}

void TClipboardViewerForm::ShowTree(bool show) {
    ::ShowWindow(tree_, show ? SW_SHOW : SW_HIDE);
    // A popup that closes forgets its search.
    if (!show) {
        SetFilterText(u"");
        StopRouting();
    } else {
        StartRouting();
    }
}

bool TClipboardViewerForm::PopupTakesFocus() const {
    BOOL screenReader = FALSE;
    ::SystemParametersInfoW(SPI_GETSCREENREADER, 0, &screenReader, 0);
    return popupTakesFocus_ || screenReader;
}

void TClipboardViewerForm::SetNoActivate(bool noActivate) {
    const LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
    const LONG_PTR wanted = noActivate ? style | WS_EX_NOACTIVATE : style & ~WS_EX_NOACTIVATE;
    if (wanted != style) {
        ::SetWindowLongPtrW(Handle(), GWL_EXSTYLE, wanted);
    }
}

// The popup opens: from now until it closes, the keys are routed to it and a click outside it
// closes it, while the window in front keeps its focus. A screen reader announces only a window
// that has the focus: with one running, the popup takes the focus as it always did.
void TClipboardViewerForm::StartRouting() {
    keysTaken_ = false;
    focusMode_ = PopupTakesFocus();
    SetNoActivate(!focusMode_);
    if (focusMode_ || !input_) {
        return;
    }
    frontAtOpen_ = ::GetForegroundWindow();
    RECT popup{};
    ::GetWindowRect(Handle(), &popup);
    const DWORD thread = ::GetWindowThreadProcessId(frontAtOpen_, nullptr);
    input_->Start(popup, ::GetKeyboardLayout(thread));
}

void TClipboardViewerForm::StopRouting() {
    if (input_) {
        input_->Stop();
    }
    keysTaken_ = false;
}

// A key the hook took, handed to the tree (or the search field, once clicked into) as if it had
// come from the keyboard, with the modifiers that were held.
void TClipboardViewerForm::OnRoutedKey(UINT virtualKey, LPARAM info) {
    if (!popup_.Expanded()) {
        return;
    }
    keysTaken_ = true;
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    state[VK_SHIFT] = (info & PopupInput::kShift) != 0 ? 0x80 : 0;
    state[VK_CONTROL] = (info & PopupInput::kControl) != 0 ? 0x80 : 0;
    state[VK_MENU] = (info & PopupInput::kAlt) != 0 ? 0x80 : 0;
    ::SetKeyboardState(state);
    HWND to =
        ::GetFocus() == filterField_ && ::IsWindowVisible(filterField_) ? filterField_ : tree_;
    ::SendMessageW(to, WM_KEYDOWN, virtualKey, 1);
    const auto typed = static_cast<wchar_t>(info & 0xFFFF);
    if (typed != 0 && popup_.Expanded()) {
        ::SendMessageW(to, WM_CHAR, typed, 1);
    }
}

// A click elsewhere closes the popup and still reaches its window; a click on a menu or dialog
// of this program's does not.
void TClipboardViewerForm::OnOutsideClick(LPARAM point) {
    const POINT at{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    if (!IsOwnProcessWindow(::WindowFromPoint(at))) {
        popup_.Deactivated();
    }
}

// Another window brought to the front (Alt+Tab, a click the hook did not see) closes the popup.
// A window in front that closed leaves none in front for a moment: the popup stays, and a choice
// then pastes nothing. A menu or a question of this program's in front gets its keys as usual.
void TClipboardViewerForm::CloseOnForegroundChange() {
    if (!popup_.Expanded() || !input_ || !input_->Routing()) {
        return;
    }
    HWND front = ::GetForegroundWindow();
    const bool ours = IsOwnProcessWindow(front);
    input_->PassKeys(ours);
    if (front != nullptr && front != frontAtOpen_ && !ours) {
        popup_.Deactivated();
    }
}

// The button is down while the popup is open; its tip would then cover the popup's header.
void TClipboardViewerForm::SetButtonDown(bool down) {
    ::SendMessageW(button_, BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0);
    if (hint_ != nullptr) {
        ::SendMessageW(hint_, TTM_ACTIVATE, down ? FALSE : TRUE, 0);
    }
}

// Its own question in front (Clear's) keeps the popup open.
bool TClipboardViewerForm::IsActive() {
    return keysTaken_ || IsOwnWindow(Handle(), ::GetForegroundWindow());
}

Point TClipboardViewerForm::CursorPos() {
    POINT p{};
    ::GetCursorPos(&p);
    return {p.x, p.y};
}

// Asking for the pointer's position is the dearest call of the tick under some systems (a round
// trip to the display server). The tick's own message carries the position when it was taken
// from the queue, which the system keeps current wherever it sees the pointer move; an exact
// reading every twentieth tick (200 ms) catches moves that it did not see.
Point TClipboardViewerForm::PointerAtTick() {
    if (++ticks_ % 20 == 0) {
        return CursorPos();
    }
    const DWORD pos = ::GetMessagePos();
    return {GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
}

bool TClipboardViewerForm::IsKeyDown(uint8_t virtualKey) {
    return ::GetKeyState(virtualKey) < 0;
}

void TClipboardViewerForm::RememberTarget() {
    target_ = CurrentPasteTarget();
}

// The system may refuse the foreground to a program that does not have the keyboard; joined
// to the input of the one that has it for a moment, this one may take it.
// Without the focus, the keys reach the popup through the hook.
void TClipboardViewerForm::TakeFocus() {
    keysTaken_ = true;
    if (focusMode_) {
        if (!::SetForegroundWindow(Handle()) || ::GetForegroundWindow() != Handle()) {
            const DWORD self = ::GetCurrentThreadId();
            const DWORD front = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
            if (front != 0 && front != self && ::AttachThreadInput(self, front, TRUE)) {
                ::SetForegroundWindow(Handle());
                ::AttachThreadInput(self, front, FALSE);
            }
        }
        ::SetFocus(tree_);
    }
    HTREEITEM history = TreeView_GetRoot(tree_);
    HTREEITEM newest = history != nullptr ? TreeView_GetChild(tree_, history) : nullptr;
    if (HTREEITEM first = newest != nullptr ? newest : history) {
        TreeView_SelectItem(tree_, first);
    }
}

void TClipboardViewerForm::ReturnToTarget() {
    ReturnTo(target_);
}

Rect TClipboardViewerForm::WorkAreaAt(Point point) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR monitor = ::MonitorFromPoint({point.x, point.y}, MONITOR_DEFAULTTONEAREST);
    if (monitor != nullptr && ::GetMonitorInfoW(monitor, &info)) {
        return ToRect(info.rcWork);
    }
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return ToRect(area);
}

}  // namespace snipora
