#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "common/Error.h"
#include "win/BaseWindow.h"
#include "win/Dpi.h"
#include "win/Gdi.h"
#include "win/UniqueHandle.h"

namespace snipora {
namespace {

std::vector<std::string> g_reported;

void Record(HWND, const char* text) {
    g_reported.emplace_back(text);
}

constexpr UINT WM_THROW_APP = WM_APP + 1;
constexpr UINT WM_THROW_FOREIGN = WM_APP + 2;
constexpr UINT WM_ANSWER = WM_APP + 3;

class ThrowingWindow final : public win::BaseWindow {
public:
    bool Make() {
        return Create(L"SniporaThrowingWindow", 0, WS_POPUP, L"test", 0, 0, 10, 10, nullptr);
    }
    int handled = 0;
    bool destroyed = false;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_THROW_APP:
                throw AppError("Cannot write file \"C:\\x\\data.dat\". Disk full.");
            case WM_THROW_FOREIGN:
                throw 42;
            case WM_ANSWER:
                ++handled;
                return 7;
            default:
                return BaseWindow::HandleMessage(message, wParam, lParam);
        }
    }
    void OnDestroyed() override { destroyed = true; }
};

class FirewallTest : public ::testing::Test {
protected:
    FirewallTest() : previous_(win::SetErrorReporter(Record)) { g_reported.clear(); }
    ~FirewallTest() override { win::SetErrorReporter(previous_); }

private:
    win::ErrorReporter previous_;
};

TEST_F(FirewallTest, AnExceptionEndsTheHandlerItsTextIsShownAndMessagesGoOn) {
    ThrowingWindow window;
    ASSERT_TRUE(window.Make());
    EXPECT_EQ(::SendMessageW(window.Handle(), WM_THROW_APP, 0, 0), 0);
    EXPECT_EQ(::SendMessageW(window.Handle(), WM_THROW_FOREIGN, 0, 0), 0);
    ASSERT_EQ(g_reported.size(), 2u);
    EXPECT_EQ(g_reported[0], "Cannot write file \"C:\\x\\data.dat\". Disk full.");
    EXPECT_EQ(g_reported[1], "");  // a foreign exception carries no text

    // Posted through the message loop, the same holds and the loop goes on.
    ::PostMessageW(window.Handle(), WM_THROW_APP, 0, 0);
    ::PostMessageW(window.Handle(), WM_ANSWER, 0, 0);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&msg);
    }
    EXPECT_EQ(g_reported.size(), 3u);
    EXPECT_EQ(window.handled, 1);
    EXPECT_EQ(::SendMessageW(window.Handle(), WM_ANSWER, 0, 0), 7);
}

TEST_F(FirewallTest, TheObjectHearsOfItsWindowsEnd) {
    ThrowingWindow window;
    ASSERT_TRUE(window.Make());
    HWND handle = window.Handle();
    ::DestroyWindow(handle);
    EXPECT_TRUE(window.destroyed);
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_FALSE(::IsWindow(handle));
}

// The plumbing the windows share: scale, fonts selected for a scope, handles owned once.
TEST(Plumbing, DesignPixelsAndPointsRoundToTheNearestScreenPixel) {
    struct Case {
        int reading, dpi, scaled39, points8;
    };
    for (const Case c : {Case{96, 96, 39, 11}, Case{120, 120, 49, 13}, Case{144, 144, 59, 16},
                         Case{0, 96, 39, 11}, Case{-1, 96, 39, 11}}) {
        const win::Dpi dpi(c.reading);
        EXPECT_EQ(dpi.Value(), c.dpi) << c.reading;
        EXPECT_EQ(dpi.Scale(39), c.scaled39) << c.reading;
        EXPECT_EQ(dpi.FromPoints(8), c.points8) << c.reading;
    }
}

TEST(Plumbing, ASelectionEndsWithItsScopeAndANamedObjectWithItsOwner) {
    const win::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    const win::UniqueFont font = win::MakeFont(-12, FW_BOLD);
    ASSERT_TRUE(font);
    const HGDIOBJ before = ::GetCurrentObject(dc.Get(), OBJ_FONT);
    {
        const win::ScopedSelect selected(dc.Get(), font.Get());
        EXPECT_TRUE(selected);
        EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_FONT), font.Get());
    }
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_FONT), before);

    // Null, not INVALID_HANDLE_VALUE, is a kernel handle's empty value; the mutex lives exactly
    // as long as its one owner holds it.
    EXPECT_FALSE(win::UniqueKernelHandle(nullptr));  // what a failed CreateMutexW returns
    const wchar_t* name = L"Local\\SniporaPlumbingTest";
    win::UniqueKernelHandle first(::CreateMutexW(nullptr, FALSE, name));
    ASSERT_TRUE(first);
    {
        const win::UniqueKernelHandle again(::CreateMutexW(nullptr, FALSE, name));
        EXPECT_EQ(::GetLastError(), DWORD{ERROR_ALREADY_EXISTS});
    }
    EXPECT_TRUE(first.Reset());
    ::SetLastError(0);
    const win::UniqueKernelHandle fresh(::CreateMutexW(nullptr, FALSE, name));
    EXPECT_TRUE(fresh);
    EXPECT_NE(::GetLastError(), DWORD{ERROR_ALREADY_EXISTS});
}

}  // namespace
}  // namespace snipora
