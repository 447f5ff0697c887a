// The popup's keyboard hook: how long it holds each key, from its entry to its return, over
// 1,000 keys sent with SendInput while it routes them. The system drops a hook that answers
// after about 300 ms to 1 s, and every key typed on the machine waits for it meanwhile.
// Baseline, in the same run: the same keys through a hook that only passes them on.
//   bench_hook [keys]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/PopupInputWin.h"
#include "win/UniqueHandle.h"

using snipora::PopupInput;

namespace {

std::vector<LONGLONG> g_plain;

LONGLONG Now() {
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

LRESULT CALLBACK PlainHook(int code, WPARAM wParam, LPARAM lParam) {
    const LONGLONG start = Now();
    const LRESULT result = ::CallNextHookEx(nullptr, code, wParam, lParam);
    g_plain.push_back(Now() - start);
    return result;
}

void Pump(DWORD ms) {
    const DWORD end = ::GetTickCount() + ms;
    MSG message;
    while (::GetTickCount() < end) {
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        }
        ::Sleep(1);
    }
}

// Presses and releases A `count` times, pumping now and then so that the hooks keep up.
void SendKeys(int count) {
    for (int i = 0; i < count; ++i) {
        INPUT keys[2] = {};
        for (int k = 0; k < 2; ++k) {
            keys[k].type = INPUT_KEYBOARD;
            keys[k].ki.wVk = 'A';
            keys[k].ki.wScan = static_cast<WORD>(::MapVirtualKeyW('A', MAPVK_VK_TO_VSC));
            keys[k].ki.dwFlags = k == 1 ? KEYEVENTF_KEYUP : 0;
        }
        ::SendInput(2, keys, sizeof(INPUT));
        if (i % 50 == 49) {
            Pump(5);
        }
    }
    Pump(300);
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const snipora::win::UniqueWindow window(
        ::CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                          ::GetModuleHandleW(nullptr), nullptr));
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    const double us = 1e6 / static_cast<double>(frequency.QuadPart);

    // The baseline: a hook on this thread that does nothing.
    {
        const snipora::win::UniqueHook plain(
            ::SetWindowsHookExW(WH_KEYBOARD_LL, PlainHook, ::GetModuleHandleW(nullptr), 0));
        SendKeys(count);
    }
    std::sort(g_plain.begin(), g_plain.end());
    const double plainMedian = g_plain.empty() ? 0 : g_plain[g_plain.size() / 2] * us;

    PopupInput input(window.Get());
    const RECT popup{0, 0, 10, 10};
    input.Start(popup, ::GetKeyboardLayout(0));
    Pump(200);
    SendKeys(count);
    const PopupInput::Times times = input.HookTimes();
    input.Stop();
    Pump(100);

    std::printf("keys through the popup's hook: %zu (baseline %zu)\n", times.keys, g_plain.size());
    std::printf(
        "median %.1f us (aim: at most 50), 99th percentile %.1f us, longest %.1f us "
        "(aim: at most 5000), key %zu of them\n",
        times.medianUs, times.p99Us, times.maxUs, times.firstSlowest + 1);
    std::printf("median against a hook that only passes keys on: %.2f\n",
                plainMedian > 0 ? times.medianUs / plainMedian : 0.0);
    return times.keys > 0 ? 0 : 1;
}
