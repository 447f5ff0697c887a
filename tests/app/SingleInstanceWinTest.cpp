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
    // Under Wine, the drive that maps the whole Unix file system reaches it as well.
    wchar_t prefix[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH) > 0 &&
        _wcsnicmp(folder.c_str(), L"C:\\", 3) == 0) {
        std::wstring unix = std::wstring(L"Z:") + prefix + L"\\drive_c\\" + folder.substr(3);
        std::replace(unix.begin(), unix.end(), L'/', L'\\');
        ASSERT_NE(::GetFileAttributesW(unix.c_str()), INVALID_FILE_ATTRIBUTES) << Utf8(unix);
        EXPECT_EQ(DigestOf(unix), digest) << Utf8(unix);
    }
    // Another folder is another; one that does not exist is known by its spelling.
    EXPECT_NE(DigestOf((temp / L"Data Folder2").wstring()), digest);
    EXPECT_EQ(DigestOf((temp / L"missing").wstring()), DigestOf((temp / L"MISSING\\").wstring()));
}

}  // namespace
}  // namespace snipora
