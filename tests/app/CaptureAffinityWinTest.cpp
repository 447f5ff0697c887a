#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/CaptureAffinityWin.h"
#include "log/Logger.h"
#include "support/LogLines.h"

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

// The affinity the window reports after an accepted call, which may be less than the one asked
// for; the one asked for when the window reports none.
DWORD g_reported = 0;
BOOL g_reports = FALSE;

BOOL WINAPI ReportStandIn(HWND, DWORD* affinity) {
    *affinity = g_reported;
    return g_reports;
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
        CaptureAffinity affinity(StandIn, ReportStandIn);
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
    // One line for the refusal, however often it was asked: an error line, which the log file
    // keeps with LogDetails=0.
    const std::string text = log.str();
    EXPECT_EQ(test::ErrorLineCount(text), 1);
    const size_t first = text.find("[CaptureAffinity]");
    EXPECT_NE(first, std::string::npos);
    EXPECT_EQ(text.find("[CaptureAffinity]", first + 1), std::string::npos);
    AttachLogOutput(nullptr);
}

TEST(CaptureAffinityWinTest, GivesWhatTheWindowReportsAfterAnAcceptedCall) {
    std::ostringstream log;
    AttachLogOutput(&log);
    g_granted = {kAffinityNone, kAffinityMonitor, kAffinityExcludeCapture};
    CaptureAffinity affinity(StandIn, ReportStandIn);
    g_reports = TRUE;
    // Accepted, and applied as "shown black", as Windows 10 before 2004 does.
    g_reported = kAffinityMonitor;
    g_calls.clear();
    EXPECT_EQ(affinity.Apply(nullptr, true), kAffinityMonitor);
    EXPECT_EQ(g_calls, std::vector<DWORD>{kAffinityExcludeCapture});
    EXPECT_NE(log.str().find("Asked for display affinity 17, the window has 1"), std::string::npos)
        << log.str();
    g_reported = kAffinityExcludeCapture;
    EXPECT_EQ(affinity.Apply(nullptr, true), kAffinityExcludeCapture);
    // No report: the affinity asked for.
    g_reports = FALSE;
    g_reported = kAffinityNone;
    EXPECT_EQ(affinity.Apply(nullptr, true), kAffinityExcludeCapture);
    AttachLogOutput(nullptr);
}

}  // namespace
}  // namespace snipora
