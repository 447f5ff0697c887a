#include "app/PopupInputWin.h"

#include <algorithm>
#include <vector>

namespace snipora {
namespace {

// The hook thread's messages.
constexpr UINT kInstall = WM_APP + 1;
constexpr UINT kRemove = WM_APP + 2;
constexpr UINT kReinstall = WM_APP + 3;  // the old hooks go first: the system may have dropped one

// Asks ToUnicodeEx to leave the keyboard's state alone, so that a dead key the window in front
// is waiting on is not used up here (Windows 10 version 1607 and later).
constexpr UINT kKeepKeyboardState = 0x4;

// The hooks have no data of their own; they run on the thread that installed them, which knows
// its object.
thread_local PopupInput* t_input = nullptr;

bool Down(int key) {
    return (::GetAsyncKeyState(key) & 0x8000) != 0;
}

// The character of a key that types one of its own in every layout, or 0 when the layout must
// be asked; -1 for a key that types nothing.
int FixedCharacter(DWORD vk) {
    switch (vk) {
        case VK_BACK:
            return L'\b';
        case VK_RETURN:
            return L'\r';
        case VK_ESCAPE:
            return 0x1B;
        default:
            break;
    }
    if ((vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_DELETE || vk == VK_APPS ||
        (vk >= VK_F1 && vk <= VK_F24)) {
        return -1;
    }
    return 0;
}

LONGLONG Now() {
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

}  // namespace

bool IsOwnProcessWindow(HWND window) {
    DWORD process = 0;
    return window != nullptr && ::GetWindowThreadProcessId(window, &process) != 0 &&
           process == ::GetCurrentProcessId();
}

PopupInput::PopupInput(HWND window)
    : window_(window),
      ready_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      installed_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    frequency_ = std::max<LONGLONG>(frequency.QuadPart, 1);
    thread_.Reset(::CreateThread(nullptr, 0, ThreadMain, this, 0, &threadId_));
    // The hooks answer before the system gives up on them, also on a busy machine.
    if (thread_) {
        ::SetThreadPriority(thread_.Get(), THREAD_PRIORITY_TIME_CRITICAL);
    }
    // Its queue exists once it is ready; a message posted before would be lost.
    if (thread_ && ready_) {
        ::WaitForSingleObject(ready_.Get(), 5000);
    }
}

PopupInput::~PopupInput() {
    if (thread_) {
        ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        ::WaitForSingleObject(thread_.Get(), 5000);
    }
}

// The hooks are set before the popup counts on them: the hook thread does nothing else, and
// answers at once.
bool PopupInput::Start(const RECT& popup, HKL layout) {
    SetArea(popup);
    layout_ = layout;
    timed_ = 0;
    passKeys_ = false;
    routing_ = true;
    watch_.Start(::GetTickCount());
    if (!InstallAndWait(kInstall)) {
        Stop();
        return false;
    }
    return true;
}

bool PopupInput::Reinstall() {
    if (!Routing() || !InstallAndWait(kReinstall)) {
        Stop();
        return false;
    }
    return true;
}

bool PopupInput::InstallAndWait(UINT message) {
    return thread_ && installed_ && ::PostThreadMessageW(threadId_, message, 0, 0) &&
           ::WaitForSingleObject(installed_.Get(), 1000) == WAIT_OBJECT_0 && hooked_;
}

void PopupInput::SetArea(const RECT& popup) {
    left_ = popup.left;
    top_ = popup.top;
    right_ = popup.right;
    bottom_ = popup.bottom;
}

void PopupInput::Stop() {
    routing_ = false;
    ::PostThreadMessageW(threadId_, kRemove, 0, 0);
}

DWORD WINAPI PopupInput::ThreadMain(void* self) {
    auto* input = static_cast<PopupInput*>(self);
    t_input = input;
    MSG message;
    ::PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // makes the queue
    ::SetEvent(input->ready_.Get());
    // The hooks are called from this loop: it must never wait on anything else.
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == kInstall || message.message == kReinstall) {
            if (message.message == kReinstall) {
                input->Remove();
            }
            input->hooked_ = input->Install();
            ::SetEvent(input->installed_.Get());
        } else if (message.message == kRemove) {
            // A key taken still held: its release is the popup's too.
            input->removing_ = input->router_.Owes() && !input->Routing();
            if (!input->removing_) {
                input->Remove();
            }
        }
    }
    input->Remove();
    t_input = nullptr;
    return 0;
}

bool PopupInput::Install() {
    removing_ = false;
    router_.Start([](uint8_t vk) { return Down(vk); }, (::GetKeyState(VK_CAPITAL) & 1) != 0);
    // The first question about a layout loads its tables: asked here, not on the first key.
    const BYTE state[256] = {};
    wchar_t typed[4] = {};
    ::ToUnicodeEx('A', ::MapVirtualKeyW('A', MAPVK_VK_TO_VSC), state, typed, 4, kKeepKeyboardState,
                  layout_.load());
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    if (!keyboardHook_) {
        keyboardHook_.Reset(::SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardProc, module, 0));
    }
    if (!mouseHook_) {
        mouseHook_.Reset(::SetWindowsHookExW(WH_MOUSE_LL, MouseProc, module, 0));
    }
    return keyboardHook_ && mouseHook_;
}

void PopupInput::Remove() {
    keyboardHook_.Reset();
    mouseHook_.Reset();
}

// What the key types in the layout of the window in front, with the modifiers held.
LayoutCharacter PopupInput::Typed(const KBDLLHOOKSTRUCT& info, const HeldModifiers& held) const {
    if (info.vkCode == VK_PACKET) {
        return {static_cast<char16_t>(info.scanCode)};  // a character sent as such
    }
    if (const int fixed = FixedCharacter(info.vkCode); fixed != 0) {
        return {fixed > 0 ? static_cast<char16_t>(fixed) : char16_t{0}};
    }
    BYTE state[256] = {};
    state[VK_SHIFT] = held.Shift() ? 0x80 : 0;
    state[VK_CONTROL] = held.Control() ? 0x80 : 0;
    state[VK_MENU] = held.Alt() ? 0x80 : 0;
    state[VK_CAPITAL] = held.CapsLock() ? 1 : 0;
    wchar_t typed[4] = {};
    const int count = ::ToUnicodeEx(info.vkCode, info.scanCode, state, typed, 4, kKeepKeyboardState,
                                    layout_.load());
    return {count == 1 ? static_cast<char16_t>(typed[0]) : char16_t{0}, count < 0};
}

// Every key reaches the rule while the hooks are set, whoever gets it: the modifiers stay true.
LRESULT CALLBACK PopupInput::KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    PopupInput* self = t_input;
    if (code != HC_ACTION || self == nullptr) {
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    const LONGLONG start = Now();
    self->watch_.Seen(::GetTickCount());
    const auto& info = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    const bool up = (info.flags & LLKHF_UP) != 0;
    const bool ours = (info.flags & LLKHF_INJECTED) != 0 && info.dwExtraInfo == kOwnInput;
    // A menu or a question of this program's in front gets its keys, however it came there.
    const bool toPopup = self->Routing() && !self->passKeys_.load(std::memory_order_relaxed) &&
                         !IsOwnProcessWindow(::GetForegroundWindow());
    const KeyMeaning meaning = self->router_.Route(
        static_cast<uint8_t>(info.vkCode), up, ours, toPopup,
        [&](uint8_t, const HeldModifiers& held) { return self->Typed(info, held); });
    LRESULT result = 0;
    switch (meaning.route) {
        case KeyRoute::Swallow:
            if (meaning.command != PopupCommand::None) {
                const LPARAM typed = static_cast<LPARAM>(meaning.character) |
                                     (static_cast<LPARAM>(meaning.command) << 16);
                ::PostMessageW(self->window_, kKeyMessage, info.vkCode, typed);
            }
            result = 1;
            break;
        case KeyRoute::PassOnAndClose:
            ::PostMessageW(self->window_, kCloseMessage, 0, 0);
            result = ::CallNextHookEx(nullptr, code, wParam, lParam);
            break;
        case KeyRoute::PassOn:
            result = ::CallNextHookEx(nullptr, code, wParam, lParam);
            break;
    }
    if (self->removing_ && !self->router_.Owes()) {
        self->removing_ = false;
        ::PostThreadMessageW(self->threadId_, kRemove, 0, 0);
    }
    self->Record(Now() - start);
    return result;
}

LRESULT CALLBACK PopupInput::MouseProc(int code, WPARAM wParam, LPARAM lParam) {
    PopupInput* self = t_input;
    if (code == HC_ACTION && self != nullptr) {
        self->watch_.Seen(::GetTickCount());
    }
    if (code != HC_ACTION || self == nullptr || !self->Routing() || wParam == WM_MOUSEMOVE) {
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    const bool inside = info.pt.x >= self->left_ && info.pt.x < self->right_ &&
                        info.pt.y >= self->top_ && info.pt.y < self->bottom_;
    const LPARAM point = MAKELPARAM(static_cast<WORD>(info.pt.x), static_cast<WORD>(info.pt.y));
    if (wParam == WM_MOUSEWHEEL && inside) {
        // The wheel goes to the window with the focus, which the popup never has.
        ::PostMessageW(self->window_, kWheelMessage,
                       static_cast<WPARAM>(static_cast<short>(HIWORD(info.mouseData))), point);
        return 1;
    }
    if (!inside && (wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN ||
                    wParam == WM_MBUTTONDOWN || wParam == WM_XBUTTONDOWN)) {
        ::PostMessageW(self->window_, kOutsideClickMessage, 0, point);
    }
    // A click goes on to the window it was aimed at.
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void PopupInput::Record(LONGLONG ticks) {
    const size_t at = timed_.load(std::memory_order_relaxed);
    times_[at % times_.size()] = static_cast<uint32_t>(std::min<LONGLONG>(ticks, UINT32_MAX));
    timed_.store(at + 1, std::memory_order_release);
}

PopupInput::Times PopupInput::HookTimes() const {
    const size_t count = std::min(timed_.load(std::memory_order_acquire), times_.size());
    Times times;
    times.keys = count;
    if (count == 0) {
        return times;
    }
    std::vector<uint32_t> sorted(times_.begin(), times_.begin() + static_cast<ptrdiff_t>(count));
    times.firstSlowest =
        static_cast<size_t>(std::max_element(sorted.begin(), sorted.end()) - sorted.begin());
    std::sort(sorted.begin(), sorted.end());
    const double us = 1e6 / static_cast<double>(frequency_);
    times.medianUs = sorted[count / 2] * us;
    times.p99Us = sorted[count * 99 / 100] * us;
    times.maxUs = sorted.back() * us;
    return times;
}

}  // namespace snipora
