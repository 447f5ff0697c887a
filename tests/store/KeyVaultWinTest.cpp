#include "store/KeyVaultWin.h"

#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <string>

#include "store/DataBase.h"
#include "store/Journal.h"
#include "store/RecordBytes.h"
#include "store/SealedFiles.h"
#include "support/FakeClipboard.h"
#include "support/TempDir.h"
#include "win/UniqueHandle.h"

namespace snipora {
namespace {

// A key's blob as DPAPI makes it for the current user, with the program's entropy or none.
std::string Protect(const std::string& key, bool programEntropy) {
    static const char kEntropy[] = "Snipora history key";
    DATA_BLOB in{static_cast<DWORD>(key.size()),
                 reinterpret_cast<BYTE*>(const_cast<char*>(key.data()))};
    DATA_BLOB entropy{sizeof kEntropy - 1, reinterpret_cast<BYTE*>(const_cast<char*>(kEntropy))};
    DATA_BLOB out{};
    EXPECT_TRUE(::CryptProtectData(&in, L"test", programEntropy ? &entropy : nullptr, nullptr,
                                   nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out));
    win::UniqueLocal owner(out.pbData);
    return std::string(reinterpret_cast<const char*>(out.pbData), out.cbData);
}

std::string Hex(const char* bytes, size_t size) {
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        char two[3];
        std::snprintf(two, sizeof two, "%02x", static_cast<unsigned char>(bytes[i]));
        out += two;
    }
    return out;
}

// AES-256-GCM's published vectors for a zero key and nonce: no text, then 16 zero bytes.
TEST(KeyVaultWin, AKeyOpensFromItsBlobAndSealsAsAes256Gcm) {
    std::string problem;
    const auto cipher = PlatformKeyVault().OpenKey(Protect(std::string(32, '\0'), true), problem);
    ASSERT_TRUE(cipher) << problem;
    const uint8_t nonce[12] = {};
    char sealed[32];
    cipher->Seal(nonce, "", nullptr, 0, sealed);
    EXPECT_EQ(Hex(sealed, 16), "530f8afbc74536b9a963b4f1c4cb738b");
    const char zeros[16] = {};
    cipher->Seal(nonce, "", zeros, 16, sealed);
    EXPECT_EQ(Hex(sealed, 32), "cea7403d4d606b6e074ec5d3baf39d18d0d1c8a799996bf0265b98b5d48ab919");
    char plain[16];
    EXPECT_TRUE(cipher->Open(nonce, "", sealed, 32, plain));
    sealed[31] ^= 1;
    EXPECT_FALSE(cipher->Open(nonce, "", sealed, 32, plain));
    // A blob of the same account without the program's entropy is refused.
    EXPECT_FALSE(PlatformKeyVault().OpenKey(Protect(std::string(32, '\0'), false), problem));
}

bool AnyFileHolds(const std::filesystem::path& folder, const std::u16string& text) {
    const std::string utf16(reinterpret_cast<const char*>(text.data()), 2 * text.size());
    const std::string utf8(text.begin(), text.end());  // the text is ASCII
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string bytes = test::ReadBytes(entry.path());
        if (bytes.find(utf16) != std::string::npos || bytes.find(utf8) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(KeyVaultWin, NoFileHoldsACopiedTextAndAnotherKeysFileIsKeptAside) {
    test::TempDir dir;
    const FilePath data(dir / L"data.dat");
    const std::u16string secret = u"unique 7f3a9c0e copied secret";
    test::FakeClipboard clipboard;
    {
        SealingFileSystem files(PlatformFileSystem(), PlatformKeyVault());
        files.SetSealing(true);
        CDataBase db(clipboard, files);
        db.SetWindow(&clipboard);
        CJournal journal(files);
        journal.Load(db, data);
        clipboard.Put(secret);
        db.CaptureClipboard();
        ASSERT_TRUE(journal.Append(db, data));
        EXPECT_TRUE(std::filesystem::exists(dir / L"data.dat.journal"));
        EXPECT_FALSE(AnyFileHolds(dir.Path(), secret));
        journal.Fold(db, data);
        EXPECT_FALSE(AnyFileHolds(dir.Path(), secret));
    }
    const std::string sealed = test::ReadBytes(dir / L"data.dat");
    {
        SealingFileSystem files(PlatformFileSystem(), PlatformKeyVault());
        CDataBase db(clipboard, files);
        EXPECT_TRUE(db.LoadFromFile(data));
        ASSERT_EQ(db.Items().size(), 1u);
        EXPECT_EQ(db.Items().front()->Text, secret);
    }
    // The same file with the blob of another key of this account in its header, then with a
    // byte of its own blob changed (which Wine's DPAPI may not notice: the header's check does).
    const uint32_t blobBytes = GetBytes<uint32_t>(sealed.data() + 17);
    const std::string other = Protect(std::string(32, 'k'), false);
    std::string foreign = sealed.substr(0, 17);
    PutBytes(foreign, static_cast<uint32_t>(other.size()));
    foreign += other + sealed.substr(21 + blobBytes);
    std::string damaged = sealed;
    damaged[21 + blobBytes / 2] ^= 1;
    for (const auto& [locked, kept] :
         {std::pair{foreign, L"data.dat.locked"}, std::pair{damaged, L"data.dat.locked-2"}}) {
        test::WriteBytes(dir / L"data.dat", locked);
        SealingFileSystem files(PlatformFileSystem(), PlatformKeyVault());
        files.SetSealing(true);
        CDataBase db(clipboard, files);
        CJournal journal(files);
        EXPECT_FALSE(journal.Load(db, data));
        EXPECT_TRUE(db.Items().empty());
        EXPECT_TRUE(db.LastDamage().locked);
        EXPECT_EQ(test::ReadBytes(dir / kept), locked);
        journal.Fold(db, data);
        EXPECT_EQ(test::ReadBytes(dir / kept), locked);
        EXPECT_NE(test::ReadBytes(dir / L"data.dat"), locked);
    }
}

}  // namespace
}  // namespace snipora
