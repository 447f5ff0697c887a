#include "store/SealedFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/DataBase.h"
#include "store/Journal.h"
#include "support/FakeCipher.h"
#include "support/FakeClipboard.h"
#include "support/MemoryFileSystem.h"
#include "support/MemoryStreams.h"

namespace snipora {
namespace {

// Magic, kind, salt, blob size, the fake vault's 25-byte blob and the header's check.
constexpr size_t kHeader = 8 + 1 + 8 + 4 + 25 + 16;
constexpr size_t kPerRecord = 4 + 16;

FilePath Path(const char* name) {
    return std::filesystem::path(name);
}

std::string& OnDisk(test::MemoryFileSystem& disk, const char* name) {
    return disk.files[Path(name).native()];
}

std::string Bytes(size_t size) {
    std::string bytes(size, '\0');
    uint32_t x = 12345;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    return bytes;
}

struct ReadBack {
    bool locked = false;
    std::string plain;
    std::string fault;
};

ReadBack Read(IFileSystem& files, const FilePath& path) {
    ReadBack back;
    try {
        auto file = files.OpenForReading(path);
        std::string chunk(1000, '\0');
        while (const size_t n = file->Read(chunk.data(), chunk.size())) {
            back.plain.append(chunk, 0, n);
        }
        back.fault = file->Fault();
    } catch (const LockedFileError&) {
        back.locked = true;
    }
    return back;
}

bool AnyFileHolds(const test::MemoryFileSystem& disk, std::u16string_view text) {
    const std::string units(reinterpret_cast<const char*>(text.data()), 2 * text.size());
    for (const auto& [path, bytes] : disk.files) {
        if (bytes.find(units) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(SealedFiles, EverySizeRoundTripsAtTwentyBytesARecord) {
    test::MemoryFileSystem disk;
    test::FakeKeyVault vault;
    SealingFileSystem files(disk, vault);
    files.SetSealing(true);
    const size_t r = kSealedRecordBytes;
    for (const size_t size :
         {size_t{0}, size_t{1}, r - 1, r, r + 1, 3 * r + 5, size_t{5 * 1024 * 1024 + 3}}) {
        SCOPED_TRACE(size);
        const std::string plain = Bytes(size);
        auto whole = files.CreateReplacement(Path("whole"));
        whole->Write(plain.data(), plain.size());
        whole->Commit();
        // A whole file ends with its last record, an empty one when there is nothing else.
        EXPECT_EQ(OnDisk(disk, "whole").size(),
                  kHeader + kPerRecord * std::max<size_t>(1, (size + r - 1) / r) + size);
        auto appended = files.CreateAppendable(Path("appended"));
        appended->Write(plain.data(), plain.size() / 2);
        appended->Flush();
        appended->Write(plain.data() + plain.size() / 2, plain.size() - plain.size() / 2);
        appended->Flush();
        for (const char* name : {"whole", "appended"}) {
            const ReadBack back = Read(files, Path(name));
            EXPECT_FALSE(back.locked);
            EXPECT_TRUE(back.plain == plain) << name;
            EXPECT_EQ(back.fault, "") << name;
        }
    }
    // Only the first file read or written asks the vault: the run keeps one key.
    EXPECT_EQ(vault.opened, 0);
}

TEST(SealedFiles, EveryChangedByteTearAndMovedRecordIsCaught) {
    test::MemoryFileSystem disk;
    test::FakeKeyVault vault;
    SealingFileSystem files(disk, vault, 8);
    files.SetSealing(true);
    const std::string plain = "0123456789abcdefghij";  // records of 8, 8 and 4 bytes
    for (const char* name : {"one", "two"}) {
        auto file = files.CreateReplacement(Path(name));
        file->Write(plain.data(), plain.size());
        file->Commit();
    }
    const std::string sealed = OnDisk(disk, "one");
    const size_t records[] = {kHeader, kHeader + 28, kHeader + 56, kHeader + 80};
    ASSERT_EQ(sealed.size(), records[3]);
    // The plain bytes of the records that end at or before `end`.
    const auto before = [&](size_t end) {
        const size_t whole = (records[1] <= end) + (records[2] <= end) + (records[3] <= end);
        return plain.substr(0, whole == 3 ? 20 : 8 * whole);
    };
    for (size_t at = 0; at < sealed.size(); ++at) {
        for (const char mask : {'\x01', '\x80'}) {
            SCOPED_TRACE(testing::Message() << "byte " << at << " mask " << int(mask));
            OnDisk(disk, "one") = sealed;
            OnDisk(disk, "one")[at] ^= mask;
            const ReadBack back = Read(files, Path("one"));
            if (at < kHeader) {
                EXPECT_TRUE(back.locked);
            } else {
                EXPECT_EQ(back.plain, before(at));  // the records before the changed one
                EXPECT_NE(back.fault, "");
            }
        }
    }
    for (size_t size = sizeof kSealedMagic; size <= sealed.size(); ++size) {
        SCOPED_TRACE(testing::Message() << "torn at " << size);
        OnDisk(disk, "one") = sealed.substr(0, size);
        const ReadBack back = Read(files, Path("one"));
        if (size < kHeader) {
            EXPECT_TRUE(back.locked);
            continue;
        }
        // A tear at a record's end is caught too: the last record is missing.
        EXPECT_EQ(back.plain, before(size));
        EXPECT_EQ(back.fault.empty(), size == records[3]);
    }
    // Records swapped within the file, one taken from another file of the same key, bytes after
    // the last.
    const std::string& other = OnDisk(disk, "two");
    const auto part = [](const std::string& s, size_t from, size_t to) {
        return s.substr(from, to - from);
    };
    const std::string swapped = part(sealed, 0, records[0]) + part(sealed, records[1], records[2]) +
                                part(sealed, records[0], records[1]) +
                                part(sealed, records[2], records[3]);
    const std::string spliced = part(sealed, 0, records[1]) + part(other, records[1], records[2]) +
                                part(sealed, records[2], records[3]);
    const std::string extended = sealed + part(sealed, records[2], records[3]);
    for (const auto& [bytes, expected] :
         {std::pair{swapped, std::string()}, std::pair{spliced, plain.substr(0, 8)},
          std::pair{extended, plain}}) {
        OnDisk(disk, "one") = bytes;
        const ReadBack back = Read(files, Path("one"));
        EXPECT_EQ(back.plain, expected);
        EXPECT_NE(back.fault, "");
    }
}

// Two entries in a plain data file and one in a plain journal, as an earlier version left them.
void WritePlainLists(test::MemoryFileSystem& disk, test::FakeClipboard& clipboard) {
    CDataBase db(clipboard, disk);
    db.SetWindow(&clipboard);
    CJournal journal(disk);
    journal.Load(db, Path("data.dat"));
    for (const char16_t* text : {u"first plain", u"second plain"}) {
        clipboard.Put(text);
        db.CaptureClipboard();
    }
    journal.Fold(db, Path("data.dat"));
    clipboard.Put(u"journalled plain");
    db.CaptureClipboard();
    ASSERT_TRUE(journal.Append(db, Path("data.dat")));
}

std::vector<std::u16string> Texts(const CDataBase& db) {
    std::vector<std::u16string> texts;
    for (const auto& item : db.Items()) {
        texts.emplace_back(std::u16string_view(item->Text));
    }
    return texts;
}

TEST(SealedFiles, ListsMoveBetweenPlainAndSealedAtTheFold) {
    test::MemoryFileSystem disk;
    test::FakeClipboard clipboard;
    WritePlainLists(disk, clipboard);
    test::FakeKeyVault vault;
    {
        SealingFileSystem files(disk, vault);
        files.SetSealing(true);
        CDataBase db(clipboard, files);
        db.SetWindow(&clipboard);
        CJournal journal(files);
        EXPECT_TRUE(journal.Load(db, Path("data.dat")));
        journal.Fold(db, Path("data.dat"));
        EXPECT_EQ(OnDisk(disk, "data.dat").substr(0, 8), "SNPSEAL1");
        EXPECT_EQ(disk.files.count(Path("data.dat.journal").native()), 0u);
        clipboard.Put(u"sealed capture");
        db.CaptureClipboard();
        ASSERT_TRUE(journal.Append(db, Path("data.dat")));
        // A capture's append: the journal's header and record, one sealed record and the file's
        // header.
        EXPECT_EQ(OnDisk(disk, "data.dat.journal").size(), kHeader + kPerRecord + journal.Bytes());
        for (const char16_t* text :
             {u"first plain", u"second plain", u"journalled plain", u"sealed capture"}) {
            EXPECT_FALSE(AnyFileHolds(disk, text)) << std::string(text, text + 5);
        }
    }
    SealingFileSystem files(disk, vault);
    CDataBase db(clipboard, files);
    CJournal journal(files);
    EXPECT_TRUE(journal.Load(db, Path("data.dat")));
    EXPECT_EQ(Texts(db), (std::vector<std::u16string>{u"sealed capture", u"journalled plain",
                                                      u"second plain", u"first plain"}));
    EXPECT_EQ(vault.opened, 1);  // the journal is sealed with the data file's key
    // Sealing off: the next fold writes the plain format, byte for byte.
    journal.Fold(db, Path("data.dat"));
    test::MemoryWriteStream plain;
    db.WriteRecords(plain);
    EXPECT_EQ(OnDisk(disk, "data.dat"), plain.bytes);
}

TEST(SealedFiles, AFileThatCannotBeDecryptedIsKeptAsideAndNeverOverwritten) {
    test::MemoryFileSystem disk;
    test::FakeClipboard clipboard;
    test::FakeKeyVault mine(1), theirs(2);
    const auto write = [&](IKeyVault& vault) {
        SealingFileSystem files(disk, vault, 64);
        files.SetSealing(true);
        CDataBase db(clipboard, files);
        db.SetWindow(&clipboard);
        CJournal journal(files);
        journal.Load(db, Path("data.dat"));
        // Three entries of 32 bytes each: records of 64 and 32 plain bytes.
        for (const char16_t* text : {u"entry  1", u"entry  2", u"entry  3"}) {
            clipboard.Put(text);
            db.CaptureClipboard();
        }
        journal.Fold(db, Path("data.dat"));
        clipboard.Put(u"in the journal");
        db.CaptureClipboard();
        journal.Append(db, Path("data.dat"));
    };
    write(theirs);
    const std::string data = OnDisk(disk, "data.dat"), log = OnDisk(disk, "data.dat.journal");
    for (const char* kept : {"data.dat.locked", "data.dat.locked-2"}) {
        SealingFileSystem files(disk, mine);
        files.SetSealing(true);
        CDataBase db(clipboard, files);
        CJournal journal(files);
        EXPECT_TRUE(journal.Load(db, Path("data.dat")));
        EXPECT_TRUE(db.Items().empty());
        EXPECT_TRUE(db.LastDamage().locked);
        EXPECT_EQ(db.LastDamage().error, "The key belongs to another account.");
        EXPECT_EQ(db.LastDamage().keptAs, Path(kept));
        EXPECT_EQ(OnDisk(disk, kept), data);
        EXPECT_EQ(disk.files[(Path("data.dat.journal.") + (kept + 9)).native()], log);
        journal.Fold(db, Path("data.dat"));
        OnDisk(disk, "data.dat") = data;
        OnDisk(disk, "data.dat.journal") = log;
    }
    // Cut at the end of its first record, a file of this account loads the two entries there
    // and is kept as a damaged one.
    disk.files.erase(Path("data.dat").native());
    disk.files.erase(Path("data.dat.journal").native());
    write(mine);
    disk.files.erase(Path("data.dat.journal").native());
    const std::string whole = OnDisk(disk, "data.dat");
    OnDisk(disk, "data.dat") = whole.substr(0, kHeader + kPerRecord + 64);
    SealingFileSystem files(disk, mine, 64);
    CDataBase db(clipboard, files);
    EXPECT_TRUE(db.LoadFromFile(Path("data.dat")));
    EXPECT_EQ(Texts(db), (std::vector<std::u16string>{u"entry  2", u"entry  1"}));
    EXPECT_TRUE(db.LastDamage().found);
    EXPECT_FALSE(db.LastDamage().locked);
    EXPECT_EQ(OnDisk(disk, "data.dat.damaged"), OnDisk(disk, "data.dat"));
}

}  // namespace
}  // namespace snipora
