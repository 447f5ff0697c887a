#include "win/Process.h"

#include <gtest/gtest.h>

#include "win/UniqueHandle.h"

namespace snipora::win {
namespace {

// A program this one starts runs with its rights: its window in front is no reason for the
// popup to take the focus. (One started as administrator is, which only Windows can show.)
TEST(Process, AProgramStartedByThisOneRunsAtItsIntegrityLevel) {
    const uint32_t own = OwnIntegrity();
    EXPECT_GE(own, 0x1000u);
    EXPECT_EQ(ProcessIntegrity(::GetCurrentProcessId(), 0), own);

    wchar_t command[] = L"cmd.exe /c ping -n 3 127.0.0.1";
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                                 nullptr, nullptr, &start, &child));
    const UniqueKernelHandle process(child.hProcess), thread(child.hThread);
    EXPECT_EQ(ProcessIntegrity(child.dwProcessId, 0), own);
    ::TerminateProcess(child.hProcess, 0);
    // A process that is gone gives what the caller chose, not "more rights".
    ::WaitForSingleObject(child.hProcess, 5000);
    EXPECT_EQ(ProcessIntegrity(0xFFFFFFF0u, 7), 7u);
}

}  // namespace
}  // namespace snipora::win
