#include "app/ClipboardViewerFormWin.h"

#include <windowsx.h>

#include <string>
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
#include "view/ThemeWin.h"
#include "win/DarkMode.h"
#include "win/Text.h"

namespace snipora {
namespace {

constexpr UINT_PTR kTickTimer = 1;       // the 10 ms tick
constexpr UINT_PTR kCloseTimer = 4;      // the end of a close that left a balloon to read
constexpr UINT_PTR kPasteReadTimer = 5;  // a paste of several texts waits for its reading
constexpr int kPasteNextHotKeyId = 2;
constexpr UINT kBalloonLingerMs = 3000;
constexpr int kHotKeyId = 1;
constexpr int kDesignWidth = Bar::kDesignWidth;
constexpr int kDesignHeight = Bar::kDesignHeight;
constexpr UINT kTickMs = 10;
constexpr UINT kStartUpMessage = WM_APP + 2;

// The tree's place at 96 dots per inch, in the window's design size.
constexpr int kTreeLeft = 1, kTreeTop = 28;
constexpr int kTreeRightGap = kDesignWidth - (1 + 218);
constexpr int kTreeBottomGap = kDesignHeight - (28 + 322);
constexpr BYTE kAlpha = 200;

// The window itself, or one that it owns: its dialogs and message boxes.
bool IsOwnWindow(HWND form, HWND window) {
    return window != nullptr && (window == form || ::GetWindow(window, GW_OWNER) == form);
}

// How long each step of applying the settings kept the window's thread from its messages, for
// the log: a copy made meanwhile is read only once the thread is free, and by then the clipboard
// may hold a later one.
class StepClock {
public:
    StepClock() {
        ::QueryPerformanceFrequency(&frequency_);
        ::QueryPerformanceCounter(&start_);
        last_ = start_;
    }
    void Mark(const char* step) {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        steps_ += std::string(" ") + step + " " + Ms(last_, now);
        last_ = now;
    }
    void Log(const char* what) const {
        LogInfo(
            (std::string("[Form] ") + what + " in " + Ms(start_, last_) + " ms:" + steps_).c_str());
    }

private:
    std::string Ms(LARGE_INTEGER from, LARGE_INTEGER to) const {
        return std::to_string((to.QuadPart - from.QuadPart) * 1000 / frequency_.QuadPart);
    }

    LARGE_INTEGER frequency_{}, start_{}, last_{};
    std::string steps_;
};

}  // namespace

bool ApplicationWindow::Create() {
    return BaseWindow::Create(L"SniporaApplication", 0, WS_POPUP, L"Snipora", 0, 0, 0, 0, nullptr);
}

TClipboardViewerForm::TClipboardViewerForm() : popup_(*this) {}

// One order whether or not the close ran, and however far construction got: out of the chain,
// the lists out of the tree while the tree exists, then the window while its members exist.
TClipboardViewerForm::~TClipboardViewerForm() {
    recorder_.reset();
    if (Handle() != nullptr) {
        tearingDown_ = true;  // an error on the way out is still shown: no quit message
        hotKey_.reset();
        multi_.reset();
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
    hotKey_.emplace(Handle(), kHotKeyId);
    multi_.emplace(Handle(), kPasteNextHotKeyId, kPasteReadTimer,
                   static_cast<IMultiPasteHost&>(*this));
    bar_.emplace(Handle(), kIdLabel, kIdButton, dpi_);
    tree_.emplace(Handle(), kIdTree, kIdFilter, dpi_, bar_->Font(),
                  static_cast<IHistoryTreeEvents&>(*this));
    focus_.emplace(Handle(), popup_, *tree_);
    preview_.emplace(Handle());
    // On a monitor of another scale than the system's, the window's own.
    SetDpi(win::Dpi::OfWindow(Handle()));

    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    trayIcon_.emplace(Handle(), ProgramIcon(),
                      L"Snipora " + std::wstring(win::Wide(kProgramVersion)));
    recorder_.emplace(Handle(), *trayIcon_, [this] { UpdateBarText(); });

    // The settings, in the INI file named after the program, and the log file beside it.
    // A folder that cannot be had is named with its reason: the history that starts empty and
    // the first-start dialog would otherwise come without a word.
    settings::FolderFallback fallback;
    const std::u16string settingsFolder = settings::GetSettingsFolder(&fallback);
    logFile_.emplace(settingsFolder);
    if (!fallback.wanted.empty()) {
        const std::u16string text = settings::FallbackText(fallback, settingsFolder);
        LogError("[DataLocations] " + Utf16ToUtf8(text));
        trayIcon_->ShowBalloon(L"Snipora", std::wstring(win::Wide(text)));
    }
    auto& settings = settings::CreateSettingsStorage(
        settings::SettingsFilePath(settingsFolder, settings::GetProgramPath()), true);

    // Size, triggers and the home position.
    RECT workArea{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    ApplySettings();
    const int width = WindowRect().Width();
    // A hand-written place far off every screen (up to the ends of the number range) is held
    // where the sums below stay in range; the bar is then brought on screen.
    constexpr int kFarthest = 1 << 20;
    const int top =
        settings::Clamp(settings.GetPositionY(settings::kDefaultPositionY), -kFarthest, kFarthest);
    int left =
        settings::Clamp(settings.GetPositionX(settings::DefaultPositionX(workArea.right, width)),
                        -kFarthest, kFarthest);
    if (left + width > workArea.right) {
        left = workArea.right - width;
    }
    MoveWindowTo(left, top);

    // The collapsed bar, with its button in sight.
    popup_.SetExpanded(false);
    KeepBarOnScreen();

    ::SetTimer(Handle(), kTickTimer, kTickMs, nullptr);
}

void TClipboardViewerForm::ApplySettings() {
    StepClock clock;
    auto& settings = settings::GetSettingsStorage();
    // Held to what the settings dialog offers: a hand-edited size could hide the bar or spread
    // it over the whole screen.
    const int width = settings::Clamp(settings.GetWindowWidth(settings::kDefaultWindowWidth),
                                      settings::kMinWindowWidth, settings::kMaxWindowWidth);
    const int height = settings::Clamp(settings.GetWindowHeight(settings::kPopupWindowHeight),
                                       settings::kMinWindowHeight, settings::kMaxWindowHeight);
    const std::u16string excluded = settings.GetMainString(keys::kExcludePrograms, u"");
    SetExcludedPrograms(excluded);
    recorder_->SetExcludedPrograms(excluded);
    focus_->SetTakesFocus(settings.GetMainInt(keys::kPopupTakesFocus, 0) == 1);
    logFile_->SetDetails(settings.GetMainInt(keys::kLogDetails, keys::kDefaultLogDetails) == 1);
    const int hotKey = settings.GetMainInt(keys::SecHotKeyValue, keys::kDefaultSecHotKeyValue);
    const int primary = settings.GetMainInt(keys::PriHotKeyEnabled, keys::kDefaultHotKeyEnabled);
    TriggerKeys keys = MakeTriggerKeys(primary, hotKey, [&settings] {
        return settings.GetMainInt(keys::SecHotKeyEnabled, keys::kDefaultHotKeyEnabled);
    });
    multi_->SetNextKey(settings.GetMainInt(keys::kPasteNextHotKey, keys::kDefaultPasteNextHotKey));
    clock.Mark("read");
    RegisterHotKey(keys);
    clock.Mark("hotkey");
    designWidth_ = width;
    designHeight_ = height;
    popup_.ApplySettings(dpi_.Scale(width), dpi_.Scale(height), std::move(keys));
    clock.Mark("popup");
    recorder_->ApplySettings();
    clock.Mark("lists");
    captureAffinity_.Apply(
        Handle(), settings.GetMainInt(keys::kHideFromCapture, keys::kDefaultHideFromCapture) == 1);
    clock.Mark("capture");
    themeChoice_ = settings::ParseThemeChoice(settings.GetMainString(keys::kTheme, u"system"));
    ApplyTheme();
    clock.Mark("theme");
    clock.Log("Settings applied");
}

void TClipboardViewerForm::SettingsAccepted() {
    ApplySettings();
    StepClock clock;
    KeepBarOnScreen();
    clock.Mark("place");
    recorder_->TrimHistory();
    clock.Mark("trim");
    clock.Log("Settings accepted");
}

// Every colour of the bar, the popup, its rows and the filter field from one palette; the
// system's own parts (scroll bars, menus, dialogs' title bars) dark with it where they can be.
void TClipboardViewerForm::ApplyTheme() {
    palette_ = CurrentPalette(themeChoice_);
    win::SetDarkMode(palette_.darkControls);
    bar_->SetPalette(palette_);
    tree_->SetPalette(palette_);
    SetTranslucent(popup_.Translucent());
    ::RedrawWindow(Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TClipboardViewerForm::SetDpi(win::Dpi dpi) {
    if (dpi == dpi_) {
        return;
    }
    dpi_ = dpi;
    // The controls take the new fonts before the old one goes.
    const win::UniqueFont oldFont = bar_->SetDpi(dpi_);
    tree_->SetDpi(dpi_, bar_->Font());
    if (designWidth_ > 0) {
        popup_.Resize(dpi_.Scale(designWidth_), dpi_.Scale(designHeight_));
    }
    const Rect r = WindowRect();
    OnSize(r.Width(), r.Height());
}

// The system's rectangle keeps the window's place on the new monitor; the scale comes first, so
// that the controls are laid out once at the size the window takes. A window that took the new
// scale before it moved (the popup opening at the pointer) already has its size and place.
void TClipboardViewerForm::OnDpiChanged(int dpi, const RECT& suggested) {
    const int sizedFor = dpi_.Value();
    const Rect now = WindowRect();
    const WindowBox current{now.left, now.top, now.Width(), now.Height()};
    SetDpi(win::Dpi(dpi));
    const WindowBox box =
        BoxAfterDpiChange(current,
                          {suggested.left, suggested.top, suggested.right - suggested.left,
                           suggested.bottom - suggested.top},
                          sizedFor, dpi);
    if (box != current) {
        ::SetWindowPos(Handle(), nullptr, box.left, box.top, box.width, box.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// The system keeps the hot key from every other program and reports it with WM_HOTKEY, so that
// it never reaches the window in front as well. Taken by another program, it is said once; the
// mouse gesture and the button still open the popup. A hot key of modifiers alone cannot be
// registered and is watched by the tick as before.
void TClipboardViewerForm::RegisterHotKey(const TriggerKeys& keys) {
    hotKey_->Unregister();
    const bool systemKey = keys.secondaryEnabled && keys.systemKey != 0;
    popup_.SetHotKeyWatched(!systemKey);
    if (!systemKey || hotKey_->Register(keys.systemModifiers, keys.systemKey)) {
        CheckHotKeyClash(keys);
        return;
    }
    const std::wstring name = HotKeyName(keys);
    LogError("[Form] The hot key " + Utf16ToUtf8(win::Utf16(name)) + " is used by another program");
    if (!hotKeyTakenReported_ && trayIcon_) {
        hotKeyTakenReported_ = true;
        trayIcon_->ShowBalloon(L"Snipora",
                               L"Another program uses " + name +
                                   L". Open Snipora with Ctrl+click or its button, or choose "
                                   L"another key in the settings.");
    }
}

// A registered hot key that the layout types a character with takes that character from every
// program. Checked at the start, at each change of the hot key, and about once a second for a
// change of the layout in front (the layout's change is told only to the window that has the
// focus, which is seldom this one).
void TClipboardViewerForm::CheckHotKeyClash(const TriggerKeys& keys) {
    if (!hotKey_->Registered() || !trayIcon_) {
        return;
    }
    const HKL layout = FrontLayout();
    const std::u16string notice = hotKeyClash_.Check(
        reinterpret_cast<uintptr_t>(layout), keys.systemKey, keys.systemModifiers,
        win::Utf16(HotKeyName(keys)), [layout](uint8_t key, bool shift, bool control, bool alt) {
            return LayoutTypes(layout, key, shift, control, alt);
        });
    if (!notice.empty()) {
        LogError("[Form] " + Utf16ToUtf8(notice));
        trayIcon_->ShowBalloon(L"Snipora", std::wstring(win::Wide(notice)));
    }
}

// The tray's icon, at the size the notification area shows.
HICON TClipboardViewerForm::ProgramIcon() {
    if (!programIcon_) {
        programIcon_ = LoadProgramIcon(::GetSystemMetrics(SM_CXSMICON));
    }
    return programIcon_ ? programIcon_.Get() : ::LoadIconW(nullptr, IDI_APPLICATION);
}

void TClipboardViewerForm::StartUp() {
    if (started_) {
        return;
    }
    started_ = true;
    recorder_->Start(*tree_, application_.Handle());
    tree_->UnfoldHistory();
    focus_->Started();
    trayMenu_.FirstLaunchStep();
    trayMenu_.UpdateStep();
}

// A close while a dialog or a message box of this program is open ends that first, as its
// Cancel would, and comes again once it has gone.
void TClipboardViewerForm::RequestClose() {
    if (closed_) {
        return;
    }
    if (HWND open = win::FindOpenDialog()) {
        closeRequested_ = true;
        ::EndDialog(open, IDCANCEL);
        ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
        return;
    }
    if (trayMenu_.ModalOpen()) {
        closeRequested_ = true;  // the command's end asks again
        return;
    }
    FormClose();
}

void TClipboardViewerForm::FormClose() {
    multi_->StopQueue();  // the user's clipboard comes back
    recorder_->Close();  // on an error the window stays open and goes on recording
    closed_ = true;
    ::KillTimer(Handle(), kTickTimer);
    hotKey_->Unregister();
    const Rect rect = WindowRect();
    const bool stored = recorder_->StorePosition(rect.left, rect.top, true);
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
    recorder_->EndSession();
    const Rect rect = WindowRect();
    recorder_->StorePosition(rect.left, rect.top, false);
    logFile_->Flush();
}

void TClipboardViewerForm::OnDestroyed() {
    trayIcon_.reset();
    if (!tearingDown_) {
        ::PostQuitMessage(0);
    }
}

LRESULT TClipboardViewerForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (focus_) {
        if (const auto result = focus_->HandleMessage(message, wParam, lParam)) {
            return *result;
        }
    }
    if (multi_) {
        if (const auto result = multi_->HandleMessage(message, wParam, lParam)) {
            return *result;
        }
    }
    switch (message) {
        case kStartUpMessage:
            StartUp();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !started_) {
                ::PostMessageW(Handle(), kStartUpMessage, 0, 0);
            }
            // A question of this window's own (Clear's) leaves the popup open beneath it. The
            // popup that took no focus is closed by the tick, when another window comes in front;
            // the foreground the entry menu took goes back without closing it.
            if (LOWORD(wParam) == WA_INACTIVE && focus_->HasFocus() &&
                !IsOwnWindow(Handle(), reinterpret_cast<HWND>(lParam))) {
                popup_.Deactivated();
            }
            break;
        case WM_SETFOCUS:
            // Clicked into, or brought to the front: the keys go to the tree.
            if (popup_.Expanded()) {
                tree_->Focus();
            }
            return 0;
        case WM_HOTKEY:
            if (wParam == kHotKeyId && !pasting_ && !editing_) {
                popup_.HotKeyPressed();
            }
            return 0;
        case WM_DRAWCLIPBOARD:
            recorder_->OnDrawClipboard(wParam, lParam);
            return 0;
        case Recorder::kClipboardReadMessage:
            recorder_->OnClipboardRead();
            return 0;
        case WM_CHANGECBCHAIN:
            recorder_->ChainChanged(wParam, lParam);
            return 0;
        case WM_NCHITTEST:
            return bar_->HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        case WM_LBUTTONUP: {
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::ClientToScreen(Handle(), &at);
            OnBarClick(at);
            return 0;
        }
        case WM_NOTIFY:
        case WM_COMMAND:
        case WM_CTLCOLOREDIT:
            if (tree_) {
                if (const auto result = tree_->ParentMessage(message, wParam, lParam)) {
                    return *result;
                }
            }
            if (message == WM_COMMAND) {
                OnCommand(LOWORD(wParam), HIWORD(wParam));
                return 0;
            }
            break;
        case WM_TIMER:
            if (wParam == kTickTimer) {
                // The paste runs the queue while the keys of the click that chose the entry may
                // still be down: that click must not summon the popup again.
                if (!pasting_ && !editing_) {
                    popup_.Tick();
                    focus_->CloseOnForegroundChange();
                    focus_->WatchHook();
                    if (popup_.Expanded()) {
                        WatchHover();
                    }
                }
                if (--ticksToLayoutCheck_ <= 0) {
                    ticksToLayoutCheck_ = 1000 / kTickMs;
                    CheckHotKeyClash(popup_.Keys());
                }
                recorder_->Tick();
            } else if (wParam == kCloseTimer) {
                ::DestroyWindow(Handle());
            } else {
                recorder_->OnTimer(wParam);
            }
            return 0;
        case WM_SIZE:
            OnSize(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_PAINT:
            bar_->Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_CTLCOLORSTATIC:
            return bar_->LabelColours(reinterpret_cast<HDC>(wParam));
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
        case kBringToFrontMessage:
            BringToFront();
            return 0;
        case WM_CLOSE:
            RequestClose();
            return 0;
        case WM_QUERYENDSESSION:
            recorder_->SaveQuietly();
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

// A stored place, a wider bar or a monitor that went may leave the button out of sight: the bar
// then moves onto the work area of the monitor nearest to the button. A place on a monitor left
// of or above the main one stays as it is. The popup at the pointer is placed on its own.
void TClipboardViewerForm::KeepBarOnScreen() {
    if (popup_.AtCursor()) {
        return;
    }
    const RECT button = bar_->ButtonOnScreen();
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

void TClipboardViewerForm::RunSwitch(Switch command) {
    switch (command) {
        case Switch::Pause:
        case Switch::Resume:
        case Switch::Toggle:
            SetPaused(command == Switch::Pause ||
                      (command == Switch::Toggle && !recorder_->Paused()));
            break;
        case Switch::Exit:
            // The close saves the lists, so they are loaded first when it comes that early.
            // Posted: the start that handed the switch on is not kept waiting for the save.
            StartUp();
            ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
            break;
        case Switch::None:
        case Switch::Unknown:
            break;
    }
}

// Only the switches that a later start hands on are taken; any other data is ignored.
LRESULT TClipboardViewerForm::OnCopyData(const COPYDATASTRUCT& data) {
    const auto command = SwitchFromPayload(data.dwData, data.lpData, data.cbData);
    if (command) {
        RunSwitch(*command);
    }
    return command ? TRUE : FALSE;
}

void TClipboardViewerForm::OnCommand(WORD id, WORD code) {
    switch (id) {
        case kIdButton:
            if (code == BN_CLICKED) {
                popup_.SetExpanded(bar_->ButtonDown());
            }
            break;
        case kIdMoveToClipboard:
        case kIdMoveToNotes:
        case kIdDeleteItem:
        case kIdClearText:
        case kIdUndo:
        case kIdEdit:
            commands_.Run(id, tree_->Selected());
            break;
        default:
            trayMenu_.Command(id);
            break;
    }
}

void TClipboardViewerForm::OnSize(int width, int height) {
    if (!tree_) {
        return;  // while the window is made
    }
    const RECT label = bar_->Layout(width);
    tree_->Place({dpi_.Scale(kTreeLeft), dpi_.Scale(kTreeTop), width - dpi_.Scale(kTreeRightGap),
                  height - dpi_.Scale(kTreeBottomGap)},
                 label);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TClipboardViewerForm::OnTrayMessage(LPARAM lParam) {
    if (LOWORD(lParam) == WM_RBUTTONUP || LOWORD(lParam) == WM_CONTEXTMENU) {
        trayMenu_.Show();
    }
}

void TClipboardViewerForm::BringToFront() {
    ::ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(Handle());
}

// High contrast is never see-through.
void TClipboardViewerForm::SetTranslucent(bool translucent) {
    ::SetLayeredWindowAttributes(Handle(), 0, translucent && palette_.translucent ? kAlpha : 255,
                                 LWA_ALPHA);
}

void TClipboardViewerForm::ShowTree(bool show) {
    if (!show) {
        preview_->Hide();
    }
    tree_->Show(show);  // a popup that closes forgets its search
    if (show) {
        focus_->Opened();
    } else {
        focus_->Closed();
    }
}

// Its own question in front (Clear's) keeps the popup open.
bool TClipboardViewerForm::IsActive() {
    return focus_->KeysTaken() || IsOwnWindow(Handle(), ::GetForegroundWindow());
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

// The entry menu has every key while it is open, and goes with the popup.
void TClipboardViewerForm::MenuAsked(POINT screen) {
    focus_->MenuOpens();
    struct Closing {
        PopupFocus& focus;
        ~Closing() { focus.MenuClosed(); }
    } closing{*focus_};
    commands_.ShowMenu(tree_->Selected(), screen);
}

// With this program's own window in front (its bar, right after the start), there is nothing
// to paste into: a chosen entry waits on the clipboard.
void TClipboardViewerForm::RememberTarget() {
    target_ = CurrentPasteTarget();
    if (IsOwnProcessWindow(target_.window)) {
        target_ = {};
    }
}

void TClipboardViewerForm::TakeFocus() {
    focus_->TakeKeys();
    tree_->SelectNewest();
}

}  // namespace snipora
