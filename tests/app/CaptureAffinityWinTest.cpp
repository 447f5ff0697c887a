#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/CaptureAffinityWin.h"
#include "log/Logger.h"

namespace snipora {
namespace {

// A stand-in for the system call: grants only the affinities in `granted`, records every call.
std::vector<DWORD> g_granted;
std::vector<DWORD> g_calls;

BOOL WINAPI StandIn(HWND, DWORD affinity) {
    g_calls.push_back(affinity);
    for (DWORD granted : g_granted) {
        if (granted == affinity) {
            return TRUE;
        }
    }
    return FALSE;
}

TEST(CaptureAffinityWinTest, FallsBackToMonitorOnlyThenLogsTheRefusalOnce) {
    std::ostringstream log;
    AttachLogOutput(&log);
    const struct {
        std::vector<DWORD> granted;
        DWORD result;
        std::vector<DWORD> calls;
    } cases[] = {
        {{kAffinityNone, kAffinityMonitor, kAffinityExcludeCapture},
         kAffinityExcludeCapture,
         {kAffinityExcludeCapture}},
        {{kAffinityNone, kAffinityMonitor},
         kAffinityMonitor,
         {kAffinityExcludeCapture, kAffinityMonitor}},
        // Refused, as by Wine and older systems.
        {{kAffinityNone}, kAffinityNone, {kAffinityExcludeCapture, kAffinityMonitor}},
    };
    for (const auto& c : cases) {
        CaptureAffinity affinity(StandIn);
        g_granted = c.granted;
        for (int time = 0; time < 2; ++time) {
            g_calls.clear();
            EXPECT_EQ(affinity.Apply(nullptr, true), c.result);
            EXPECT_EQ(g_calls, c.calls);
        }
        // Turned off in the settings: the window is seen again.
        g_calls.clear();
        EXPECT_EQ(affinity.Apply(nullptr, false), kAffinityNone);
        EXPECT_EQ(g_calls, std::vector<DWORD>{kAffinityNone});
    }
    // One line for the refusal, however often it was asked.
    const std::string text = log.str();
    const size_t first = text.find("[CaptureAffinity]");
    EXPECT_NE(first, std::string::npos);
    EXPECT_EQ(text.find("[CaptureAffinity]", first + 1), std::string::npos);
    AttachLogOutput(nullptr);
}

// The real call: whatever this system grants is what the window reports.
TEST(CaptureAffinityWinTest, TheSystemReportsWhatWasGranted) {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    CaptureAffinity affinity;
    const DWORD granted = affinity.Apply(window, true);
    DWORD reported = 99;
    ::GetWindowDisplayAffinity(window, &reported);
    EXPECT_EQ(reported, granted);
    ::DestroyWindow(window);
}

}  // namespace
}  // namespace snipora
