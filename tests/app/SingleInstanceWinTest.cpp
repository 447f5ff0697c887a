#include "app/SingleInstanceWin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>

#include "common/Utf.h"
#include "support/TempDir.h"
#include "win/Text.h"

namespace snipora {
namespace {

std::u16string U16(const std::wstring& text) {
    return std::u16string(win::Utf16(text));
}

std::string Utf8(const std::wstring& text) {
    return Utf16ToUtf8(win::Utf16(text));
}

uint64_t DigestOf(const std::wstring& folder) {
    return IdentityDigest(FolderIdentity(ReadFolderFacts(U16(folder))));
}

TEST(SingleInstanceWin, EveryWayToTheSameFolderFindsTheCopyThere) {
    test::TempDir temp;
    const std::wstring folder = (temp / L"Data Folder").wstring();
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((temp / L"Data Folder2").wstring().c_str(), nullptr));
    const FolderFacts facts = ReadFolderFacts(U16(folder));
    EXPECT_FALSE(facts.finalPath.empty());
    EXPECT_EQ(FolderIdentity(facts).substr(0, 3), u"id:") << "known by its file id";
    const uint64_t digest = DigestOf(folder);

    std::wstring upper = folder;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::towupper);
    std::wstring slashes = folder + L"/";
    std::replace(slashes.begin(), slashes.end(), L'\\', L'/');
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_GT(::GetShortPathNameW(folder.c_str(), shortName, MAX_PATH), 0u);
    for (const std::wstring& spelled :
         {upper, folder + L"\\", slashes, std::wstring(shortName), L"\\\\?\\" + folder}) {
        EXPECT_EQ(DigestOf(spelled), digest) << Utf8(spelled);
    }
    // A drive letter for the folder's parent, as SUBST makes; where the system reaches the folder
    // through it.
    wchar_t drive[] = L"Q:";
    while (drive[0] > L'K' &&
           ::GetDriveTypeW((std::wstring(drive) + L"\\").c_str()) != DRIVE_NO_ROOT_DIR) {
        --drive[0];
    }
    const std::wstring throughDrive = std::wstring(drive) + L"\\Data Folder";
    if (::DefineDosDeviceW(0, drive, temp.Path().wstring().c_str())) {
        if (::GetFileAttributesW(throughDrive.c_str()) != INVALID_FILE_ATTRIBUTES) {
            EXPECT_EQ(DigestOf(throughDrive), digest);
        }
        ::DefineDosDeviceW(DDD_REMOVE_DEFINITION, drive, nullptr);
    }
    // Under Wine, the drive that maps the whole Unix file system reaches it as well.
    wchar_t prefix[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH) > 0 &&
        _wcsnicmp(folder.c_str(), L"C:\\", 3) == 0) {
        std::wstring unix = std::wstring(L"Z:") + prefix + L"\\drive_c\\" + folder.substr(3);
        std::replace(unix.begin(), unix.end(), L'/', L'\\');
        ASSERT_NE(::GetFileAttributesW(unix.c_str()), INVALID_FILE_ATTRIBUTES) << Utf8(unix);
        EXPECT_EQ(DigestOf(unix), digest) << Utf8(unix);
    }
    // Another folder, and one that does not exist, are others.
    EXPECT_NE(DigestOf((temp / L"Data Folder2").wstring()), digest);
    EXPECT_NE(DigestOf((temp / L"missing").wstring()), digest);
    EXPECT_EQ(DigestOf((temp / L"missing").wstring()), DigestOf((temp / L"MISSING\\").wstring()));
}

}  // namespace
}  // namespace snipora

namespace snipora {
namespace {

constexpr wchar_t kClass[] = L"SniporaSingleInstanceTest";
constexpr UINT kBringToFront = WM_APP + 3;

HWND MakeWindow() {
    WNDCLASSW type{};
    type.lpfnWndProc = ::DefWindowProcW;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.lpszClassName = kClass;
    ::RegisterClassW(&type);
    return ::CreateWindowExW(0, kClass, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             type.hInstance, nullptr);
}

TEST(SingleInstanceWin, ASecondStartFindsTheCopyOnItsFolderAndNoOther) {
    test::TempDir temp;
    const std::wstring one = (temp / L"one").wstring(), two = (temp / L"two").wstring();
    ASSERT_TRUE(::CreateDirectoryW(one.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(two.c_str(), nullptr));
    SingleInstance first(U16(one));
    ASSERT_EQ(first.Outcome(), MutexOutcome::Created);
    SingleInstance onTwo(U16(two));
    EXPECT_FALSE(onTwo.AnotherIsRunning());
    // Another spelling of the first folder.
    SingleInstance again(U16(one + L"\\"));
    EXPECT_EQ(again.Outcome(), MutexOutcome::AlreadyExists);

    // Two copies' windows of the same class: each start reaches the copy on its folder, the
    // window found first or not.
    const HWND firstWindow = MakeWindow(), secondWindow = MakeWindow();
    ASSERT_TRUE(firstWindow != nullptr && secondWindow != nullptr);
    EXPECT_EQ(again.FindRunningWindow(kClass), nullptr) << "nothing marked yet";
    first.MarkWindow(firstWindow, kBringToFront);
    onTwo.MarkWindow(secondWindow, kBringToFront);
    EXPECT_EQ(again.FindRunningWindow(kClass), firstWindow);
    EXPECT_EQ(SingleInstance(U16(two)).FindRunningWindow(kClass), secondWindow);
    ::DestroyWindow(firstWindow);
    EXPECT_EQ(again.FindRunningWindow(kClass), nullptr);
    ::DestroyWindow(secondWindow);
}

}  // namespace
}  // namespace snipora
