#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "store/ClipboardWin.h"
#include "store/DataBase.h"
#include "win/UniqueHandle.h"

namespace snipora {
namespace {

// A hidden window of its own for each test, to own the clipboard.
win::UniqueWindow MakeWindow() {
    return win::UniqueWindow(::CreateWindowExW(0, L"STATIC", L"clipboard test", 0, 0, 0, 0, 0,
                                               nullptr, nullptr, nullptr, nullptr));
}

// Places raw bytes in one format, the way another program would.
void PutRaw(HWND owner, UINT format, const void* bytes, size_t size) {
    ASSERT_TRUE(::OpenClipboard(owner));
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(::GlobalLock(block), bytes, size);
    ::GlobalUnlock(block);
    ASSERT_NE(::SetClipboardData(format, block), nullptr);
    ::CloseClipboard();
}

void PutUnicode(HWND owner, const std::u16string& units) {
    PutRaw(owner, CF_UNICODETEXT, units.c_str(), (units.size() + 1) * 2);
}

// Adds a format to what is on the clipboard without emptying it.
void AddRaw(HWND owner, UINT format, const void* bytes, size_t size) {
    ASSERT_TRUE(::OpenClipboard(owner));
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(::GlobalLock(block), bytes, size);
    ::GlobalUnlock(block);
    ASSERT_NE(::SetClipboardData(format, block), nullptr);
    ::CloseClipboard();
}

class ClipboardWinTest : public ::testing::Test {
protected:
    win::UniqueWindow window = MakeWindow();
    HWND hwnd = window.Get();
    Win32Clipboard clipboard;
};

TEST_F(ClipboardWinTest, ReadsUnicodeTextUpToItsFirstZeroUnit) {
    StoredText text;
    PutUnicode(hwnd, std::u16string(u"before\0after", 12));
    EXPECT_TRUE(clipboard.HasText());
    EXPECT_EQ(clipboard.ReadText(hwnd, text), ClipboardRead::Text);
    EXPECT_EQ(text, u"before");

    PutUnicode(hwnd, u"");
    EXPECT_EQ(clipboard.ReadText(hwnd, text), ClipboardRead::Text);
    EXPECT_EQ(text, u"");

    PutUnicode(hwnd, u"Gr\u00fc\u00dfe \u4e2d\u6587 \U0001F600");
    EXPECT_EQ(clipboard.ReadText(hwnd, text), ClipboardRead::Text);
    EXPECT_EQ(text, u"Gr\u00fc\u00dfe \u4e2d\u6587 \U0001F600");
}

TEST_F(ClipboardWinTest, ABlockWithoutTerminatorIsReadNoFurtherThanItsEnd) {
    const char16_t units[] = {u'a', u'b', u'c', u'd'};
    PutRaw(hwnd, CF_UNICODETEXT, units, sizeof units);
    StoredText text;
    EXPECT_EQ(clipboard.ReadText(hwnd, text), ClipboardRead::Text);
    // The system may terminate the text itself; either way nothing past the block is read.
    EXPECT_LE(text.size(), 4u);
    EXPECT_EQ(std::u16string_view(u"abcd").substr(0, text.size()), text);
}

TEST_F(ClipboardWinTest, SeveralMegabytesAreTakenWhole) {
    std::u16string big(6 * 1024 * 1024, u'x');
    for (size_t i = 0; i < big.size(); i += 4099) {
        big[i] = char16_t(u'A' + i % 26);
    }
    PutUnicode(hwnd, big);
    StoredText text;
    EXPECT_EQ(clipboard.ReadText(hwnd, text), ClipboardRead::Text);
    EXPECT_EQ(std::u16string_view(text), big);
}

TEST_F(ClipboardWinTest, WritePlacesOnlyUnicodeTextOwnedByTheWindow) {
    ASSERT_TRUE(clipboard.WriteText(hwnd, u"written \u00e9"));
    EXPECT_EQ(::GetClipboardOwner(), hwnd);
    ASSERT_TRUE(::OpenClipboard(hwnd));
    std::vector<UINT> formats;
    for (UINT f = ::EnumClipboardFormats(0); f != 0; f = ::EnumClipboardFormats(f)) {
        formats.push_back(f);
    }
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(::GlobalSize(data) >= 20, true);
    EXPECT_EQ(std::u16string(static_cast<const char16_t*>(::GlobalLock(data))), u"written \u00e9");
    ::GlobalUnlock(data);
    ::CloseClipboard();
    ASSERT_FALSE(formats.empty());
    EXPECT_EQ(formats.front(), static_cast<UINT>(CF_UNICODETEXT));
    // Anything else is what the system derives from the Unicode text by itself.
    for (UINT f : formats) {
        EXPECT_TRUE(f == CF_UNICODETEXT || f == CF_TEXT || f == CF_OEMTEXT || f == CF_LOCALE)
            << "format " << f;
    }

    ASSERT_TRUE(clipboard.WriteText(hwnd, u""));
    StoredText text;
    text = u"stale";
    EXPECT_EQ(clipboard.ReadText(hwnd, text), ClipboardRead::Text);
    EXPECT_EQ(text, u"");
}

TEST_F(ClipboardWinTest, NoTextMeansNothingToRead) {
    const DWORD number = 42;
    PutRaw(hwnd, ::RegisterClipboardFormatW(L"Snipora test format"), &number, sizeof number);
    EXPECT_FALSE(clipboard.HasText());
    StoredText text;
    text = u"kept";
    EXPECT_EQ(clipboard.ReadText(hwnd, text), ClipboardRead::NoData);
    EXPECT_EQ(text, u"kept");
}

// Another thread of this process stands in for a program that keeps the clipboard open.
class Holder {
public:
    explicit Holder(std::chrono::milliseconds hold) {
        thread_ = std::thread([this, hold] {
            auto window = MakeWindow();
            if (::OpenClipboard(window.Get())) {
                opened_ = true;
                std::this_thread::sleep_for(hold);
                ::CloseClipboard();
            } else {
                opened_ = true;  // let the test go on; it will fail on its own terms
            }
        });
        while (!opened_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ~Holder() { thread_.join(); }

private:
    std::atomic<bool> opened_{false};
    std::thread thread_;
};

TEST_F(ClipboardWinTest, ABrieflyHeldClipboardIsWaitedFor) {
    PutUnicode(hwnd, u"copied while busy");
    StoredText text;
    {
        Holder holder(std::chrono::milliseconds(40));
        EXPECT_EQ(clipboard.ReadText(hwnd, text), ClipboardRead::Text);
    }
    EXPECT_EQ(text, u"copied while busy");
    {
        Holder holder(std::chrono::milliseconds(40));
        EXPECT_TRUE(clipboard.WriteText(hwnd, u"written while busy"));
    }
    EXPECT_EQ(clipboard.ReadText(hwnd, text), ClipboardRead::Text);
    EXPECT_EQ(text, u"written while busy");
}

TEST_F(ClipboardWinTest, AClipboardHeldLongIsGivenUpSoon) {
    PutUnicode(hwnd, u"unchanged");
    StoredText text;
    text = u"before";
    Holder holder(std::chrono::milliseconds(800));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(clipboard.ReadText(hwnd, text), ClipboardRead::OpenFailed);
    EXPECT_FALSE(clipboard.WriteText(hwnd, u"lost"));
    const auto spent = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(text, u"before");
    EXPECT_LT(spent, std::chrono::milliseconds(700)) << "two bounded waits of about 100 ms";
}

TEST_F(ClipboardWinTest, ContentMarkedPrivateIsNotRecorded) {
    CDataBase db(clipboard, PlatformFileSystem());
    db.SetWindow(hwnd);
    PutUnicode(hwnd, u"public");
    db.CaptureClipboard();
    ASSERT_EQ(db.Items().size(), 1u);

    const DWORD zero = 0;
    const DWORD one = 1;
    const struct {
        const wchar_t* format;
        const DWORD* value;
        bool recorded;
    } cases[] = {
        {L"ExcludeClipboardContentFromMonitorProcessing", &zero, false},
        {L"Clipboard Viewer Ignore", &zero, false},
        {L"CanIncludeInClipboardHistory", &zero, false},
        {L"CanIncludeInClipboardHistory", &one, true},
        // About the cloud only: Snipora keeps everything on the machine.
        {L"CanUploadToCloudClipboard", &zero, true},
    };
    std::u16string last = u"public";
    for (const auto& c : cases) {
        // A text of its own each time: an equal one would only move its entry to the top.
        const std::u16string text = u"secret " + std::u16string(1, u'a' + (&c - cases));
        PutUnicode(hwnd, text);
        AddRaw(hwnd, ::RegisterClipboardFormatW(c.format), c.value, sizeof(DWORD));
        const size_t before = db.Items().size();
        db.CaptureClipboard();
        EXPECT_EQ(db.Items().size(), before + (c.recorded ? 1 : 0)) << c.value[0];
        last = c.recorded ? text : last;
        EXPECT_EQ(db.LastCaptured(), last);
    }
}

TEST_F(ClipboardWinTest, ChoosingAnEntryRoundTripsThroughTheSystem) {
    CDataBase db(clipboard, PlatformFileSystem());
    db.SetWindow(hwnd);
    PutUnicode(hwnd, u"first");
    db.CaptureClipboard();
    PutUnicode(hwnd, u"second");
    db.CaptureClipboard();
    const uint32_t first = db.Items().back()->Id;
    EXPECT_TRUE(db.MoveToClipboard(first));
    db.CaptureClipboard();  // the notification a viewer window would get
    ASSERT_EQ(db.Items().size(), 2u);
    EXPECT_EQ(db.Items().front()->Text, u"first");
    EXPECT_EQ(::GetClipboardOwner(), hwnd);
}

}  // namespace
}  // namespace snipora
