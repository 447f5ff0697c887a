// Carrying out a paste into another program: focus return, the choice of method and the input.
#include "app/PasteWin.h"

#include <array>
#include <optional>
#include <string>

#include "app/PasteRule.h"
#include "app/PopupInputWin.h"
#include "common/Names.h"
#include "common/Utf.h"
#include "log/Logger.h"
#include "settings/SettingsStorage.h"
#include "win/Process.h"
#include "win/Text.h"
#include "win/UniqueHandle.h"

namespace snipora {
namespace {

constexpr DWORD kForegroundWaitMs = 500;
constexpr DWORD kModifierWaitMs = 2000;
constexpr DWORD kPollMs = 10;

// The elevation of a process's token; nullopt when the token cannot be read.
std::optional<bool> IsElevated(HANDLE process) {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &raw)) {
        return std::nullopt;
    }
    win::UniqueKernelHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!::GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size)) {
        return std::nullopt;
    }
    return elevation.TokenIsElevated != 0;
}

// Input from this program reaches a process with higher rights not at all. One that cannot even
// be opened for a query is taken to have them.
bool OutOfReach(HANDLE targetProcess) {
    if (IsElevated(::GetCurrentProcess()).value_or(false)) {
        return false;
    }
    return targetProcess == nullptr || IsElevated(targetProcess).value_or(true);
}

// The [Paste] line for the target's program, or Auto.
PasteMethod ConfiguredMethod(HANDLE targetProcess, settings::CSettingsStorage* settings) {
    if (settings == nullptr || !settings->UsesIni() || targetProcess == nullptr) {
        return PasteMethod::Auto;  // the registry mode has no sections
    }
    const std::wstring path = win::ProcessImagePath(targetProcess);
    if (path.empty()) {
        return PasteMethod::Auto;
    }
    const std::u16string image = std::u16string(win::Utf16(path));
    const std::u16string_view program = FileNameOf(image);
    const std::u16string value = settings->GetString(kPasteSection, program, u"");
    if (value.empty()) {
        return PasteMethod::Auto;
    }
    if (const auto method = ParsePasteMethod(value)) {
        return *method;
    }
    LogError("[Paste] Unknown method \"" + Utf16ToUtf8(value) + "\" for " + Utf16ToUtf8(program) +
             "; the automatic choice is used.");
    return PasteMethod::Auto;
}

void RunPendingMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

bool IsInFront(HWND target) {
    HWND front = ::GetForegroundWindow();
    return front != nullptr && (front == target || ::GetAncestor(front, GA_ROOTOWNER) ==
                                                       ::GetAncestor(target, GA_ROOTOWNER));
}

// Calls `action` with this thread's input joined to `thread`'s, which lets it move the focus or
// the foreground there.
template <typename Action>
void WithInputOf(DWORD thread, Action action) {
    const DWORD self = ::GetCurrentThreadId();
    const bool attached = thread != 0 && thread != self && ::AttachThreadInput(self, thread, TRUE);
    action();
    if (attached) {
        ::AttachThreadInput(self, thread, FALSE);
    }
}

// The Alt+Tab style switch, then the foreground confirmed, retrying for a while.
bool BringToFront(HWND target) {
    // Still in front, as the popup never took the focus: nothing moves.
    if (IsInFront(target)) {
        return true;
    }
    ::SwitchToThisWindow(target, TRUE);
    // Let this program see its own deactivation before the target is asked for its focus.
    RunPendingMessages();
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (IsInFront(target)) {
            return true;
        }
        if (::GetTickCount() - start >= kForegroundWaitMs) {
            return false;
        }
        HWND front = ::GetForegroundWindow();
        WithInputOf(front != nullptr ? ::GetWindowThreadProcessId(front, nullptr) : 0, [&] {
            ::SetForegroundWindow(target);
            ::BringWindowToTop(target);
        });
        ::Sleep(kPollMs);
    }
}

HWND FocusOf(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// The control that had the focus when the popup was summoned gets it back if it moved.
HWND RestoreFocus(const PasteTarget& target, DWORD thread) {
    HWND focus = FocusOf(thread);
    if (target.focus != nullptr && focus != target.focus && ::IsWindow(target.focus) &&
        ::GetWindowThreadProcessId(target.focus, nullptr) == thread) {
        WithInputOf(thread, [&] { ::SetFocus(target.focus); });
        focus = FocusOf(thread);
    }
    return focus;
}

std::u16string ClassOf(HWND window) {
    std::array<wchar_t, 256> name{};
    if (window == nullptr ||
        ::GetClassNameW(window, name.data(), static_cast<int>(name.size())) == 0) {
        return {};
    }
    return std::u16string(win::Utf16(name.data()));
}

std::vector<INPUT> AsInput(const std::vector<KeyStroke>& strokes) {
    std::vector<INPUT> inputs(strokes.size());
    for (size_t i = 0; i < strokes.size(); ++i) {
        KEYBDINPUT& key = inputs[i].ki;
        inputs[i].type = INPUT_KEYBOARD;
        key.wVk = strokes[i].virtualKey;
        key.wScan = static_cast<WORD>(::MapVirtualKeyW(strokes[i].virtualKey, MAPVK_VK_TO_VSC));
        key.dwFlags = (strokes[i].up ? KEYEVENTF_KEYUP : 0) |
                      (strokes[i].extended ? KEYEVENTF_EXTENDEDKEY : 0);
        key.dwExtraInfo = PopupInput::kOwnInput;  // the popup's keyboard hook lets it pass
    }
    return inputs;
}

bool SendKeystrokes(PasteMethod method) {
    const std::vector<KeyStroke> strokes = PasteKeystrokes(method);
    std::vector<INPUT> inputs = AsInput(strokes);
    const UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent == inputs.size()) {
        return true;
    }
    std::vector<INPUT> releases = AsInput(ReleasesAfter(strokes, sent));
    if (!releases.empty()) {
        ::SendInput(static_cast<UINT>(releases.size()), releases.data(), sizeof(INPUT));
    }
    return false;
}

bool ModifiersReleased() {
    return WaitForModifiersUp([](uint8_t key) { return (::GetAsyncKeyState(key) & 0x8000) != 0; },
                              [] { return static_cast<uint32_t>(::GetTickCount()); },
                              [] { ::Sleep(kPollMs); }, kModifierWaitMs);
}

}  // namespace

PasteTarget CurrentPasteTarget() {
    PasteTarget target;
    target.window = ::GetForegroundWindow();
    if (target.window != nullptr) {
        target.focus = FocusOf(::GetWindowThreadProcessId(target.window, nullptr));
    }
    return target;
}

void ReturnTo(const PasteTarget& target) {
    if (target.window == nullptr || !::IsWindow(target.window)) {
        return;
    }
    BringToFront(target.window);
    RestoreFocus(target, ::GetWindowThreadProcessId(target.window, nullptr));
}

PasteOutcome PasteClipboardInto(const PasteTarget& target, settings::CSettingsStorage* settings) {
    if (target.window == nullptr || !::IsWindow(target.window)) {
        return PasteOutcome::TargetGone;
    }
    DWORD processId = 0;
    const DWORD thread = ::GetWindowThreadProcessId(target.window, &processId);
    win::UniqueKernelHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (OutOfReach(process.Get())) {
        return PasteOutcome::Elevated;
    }
    const PasteMethod configured = ConfiguredMethod(process.Get(), settings);
    const bool inFront = BringToFront(target.window);
    if (!::IsWindow(target.window)) {
        return PasteOutcome::TargetGone;
    }
    ::Sleep(kPollMs);
    HWND focus = RestoreFocus(target, thread);
    const PasteMethod method = ChoosePasteMethod(configured, ClassOf(focus));
    switch (method) {
        case PasteMethod::Message:
            return focus != nullptr && ::PostMessageW(focus, WM_PASTE, 0, 0)
                       ? PasteOutcome::Pasted
                       : PasteOutcome::NotPasted;
        case PasteMethod::CtrlV:
        case PasteMethod::ShiftInsert:
            if (!inFront) {
                return PasteOutcome::NotInFront;  // the keys would land in another window
            }
            if (!ModifiersReleased()) {
                LogInfo("[Paste] A modifier key stayed down; nothing was pasted.");
                return PasteOutcome::ModifiersHeld;
            }
            // The user may have switched windows while the keys were held.
            if (!IsInFront(target.window)) {
                return PasteOutcome::NotInFront;
            }
            return SendKeystrokes(method) ? PasteOutcome::Pasted : PasteOutcome::NotPasted;
        default:
            return PasteOutcome::NotPasted;
    }
}

}  // namespace snipora
