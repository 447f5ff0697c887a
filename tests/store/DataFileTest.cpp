#include <gtest/gtest.h>

#include "common/Error.h"
#include "common/Utf.h"
#include "store/BufferedFile.h"
#include "store/DataBase.h"
#include "support/FakeClipboard.h"
#include "support/Records.h"
#include "support/TempDir.h"

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

namespace snipora {
namespace {

using test::ReadBytes;
using test::Record;
using test::WriteBytes;

class DataFileTest : public ::testing::Test {
protected:
    DataFileTest() : db(clipboard, PlatformFileSystem()) { db.SetWindow(&window); }

    void Add(int32_t category, double time, const std::u16string& text) {
        clipboard.Put(text);
        db.CaptureClipboard();
        auto& item = const_cast<CTextItem&>(*db.Items().front());
        item.CaptureTime = time;
        if (category != 0) {
            db.MoveToCategory(item.Id, category);
        }
    }
    std::string ErrorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const AppError& e) {
            return e.what();
        }
        return "";
    }

    int window = 0;
    test::FakeClipboard clipboard;
    CDataBase db;
    test::TempDir dir;
    std::filesystem::path data = dir / "data.dat";
};

TEST_F(DataFileTest, EmptyDatabaseGivesAnEmptyFile) {
    EXPECT_TRUE(db.SaveToFile(data));
    EXPECT_EQ(std::filesystem::file_size(data), 0u);
    Add(0, 1.0, u"gone on load");
    Add(0, 2.0, u"deleted before the load");
    ASSERT_TRUE(db.DeleteItem(db.Items().front()->Id));
    EXPECT_TRUE(db.LoadFromFile(data));
    EXPECT_TRUE(db.Items().empty());
    EXPECT_EQ(db.HistoryCount(), 0u);
    // A load leaves nothing to undo.
    EXPECT_FALSE(db.CanUndo());
    EXPECT_EQ(db.Undo(), 0u);
    EXPECT_TRUE(db.Items().empty());
}

TEST_F(DataFileTest, WorkedExampleBytes) {
    Add(1, 39814.5, u"abc");
    db.SaveToFile(data);
    EXPECT_EQ(ReadBytes(data), Record(1, 39814.5, u"abc"));
    EXPECT_EQ(ReadBytes(data).size(), 22u);
}

TEST_F(DataFileTest, RoundTripKeepsOrderCategoriesTimesAndTexts) {
    Add(0, 40000.25, u"history one");
    Add(1, 40001.5, u"a note \u00fc\u4e2d\U0001F600");
    Add(0, 40002.75, std::u16string(3 * 1024 * 1024, u'L'));
    Add(0, 40003.0, u"");
    // Oldest first in the file.
    const std::string bytes = ReadBytes((db.SaveToFile(data), data));
    EXPECT_EQ(bytes.substr(0, Record(0, 40000.25, u"history one").size()),
              Record(0, 40000.25, u"history one"));

    test::FakeClipboard otherClipboard;
    CDataBase loaded(otherClipboard, PlatformFileSystem());
    EXPECT_TRUE(loaded.LoadFromFile(data));
    ASSERT_EQ(loaded.Items().size(), db.Items().size());
    auto a = db.Items().begin();
    uint32_t expectedId = FirstItemId + 3;  // identifiers rise from the first record to the last
    for (const auto& item : loaded.Items()) {
        EXPECT_EQ(item->Text, (*a)->Text);
        EXPECT_EQ(item->Category, (*a)->Category);
        EXPECT_EQ(item->CaptureTime, (*a)->CaptureTime);
        EXPECT_EQ(item->Length, item->Text.size());
        EXPECT_EQ(item->Id, expectedId--);
        ++a;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "data.dat.tmp"));
}

// About 650 KB of records from 16 bytes to 200 KB, so that records end exactly at, straddle
// and pass over the write buffer's end: the file holds every byte, in order.
TEST_F(DataFileTest, ASaveLargerThanTheWriteBufferKeepsEveryByte) {
    std::string expected;
    for (int i = 0; expected.size() < 650 * 1024; ++i) {
        const size_t units = i == 40 ? 100 * 1024 : static_cast<size_t>(i * 397 % 4099);
        const std::u16string text(units, static_cast<char16_t>(u'A' + i % 50));
        Add(1, 1000.0 + i, text);  // notes: the history would keep only its newest
        expected += Record(1, 1000.0 + i, text);
    }
    ASSERT_TRUE(db.SaveToFile(data));
    const std::string saved = ReadBytes(data);
    ASSERT_EQ(saved.size(), expected.size());
    EXPECT_TRUE(saved == expected);
}

TEST_F(DataFileTest, LoadTakesRecordsAsStored) {
    // Records of 16 to 30 bytes, over more than a read block, so that some are cut by its edge.
    const size_t count = 60000;
    std::string bytes;
    for (size_t i = 0; i < count; ++i) {
        bytes += Record(0, 100.0 + i, std::u16string(i % 8, static_cast<char16_t>(u'a' + i % 26)));
    }
    // A text longer than a read block that stops at a zero unit in a later part of it: the rest
    // is passed over and the next record still found.
    std::u16string stopped(600000, u'z');
    stopped[70000] = u'\0';
    bytes += Record(3, 6.0, stopped);
    // A short one stops at a zero unit too.
    bytes += Record(2, 5.0, std::u16string(u"odd category\0passed over", 25));
    WriteBytes(data, bytes);
    EXPECT_TRUE(db.LoadFromFile(data));
    ASSERT_EQ(db.Items().size(), count + 2);
    EXPECT_EQ(db.Items().front()->Category, 2);
    EXPECT_EQ(db.Items().front()->Text, u"odd category");
    EXPECT_EQ(db.Items().front()->Length, 25u);
    const CTextItem& cut = **std::next(db.Items().begin());
    EXPECT_EQ(std::u16string_view(cut.Text), std::u16string(70000, u'z'));
    EXPECT_EQ(cut.Length, 600000u);
    size_t i = count;
    for (auto it = std::next(db.Items().begin(), 2); it != db.Items().end(); ++it) {
        --i;
        const std::u16string text(i % 8, static_cast<char16_t>(u'a' + i % 26));
        ASSERT_EQ(std::u16string_view((*it)->Text), text) << i;
        ASSERT_EQ((*it)->CaptureTime, 100.0 + i);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "data.dat.damaged"));
}

TEST_F(DataFileTest, MissingFileEmptiesTheListAndReturnsFalse) {
    Add(0, 1.0, u"present");
    Add(0, 2.0, u"deleted");
    ASSERT_EQ(db.ClearCategory(kHistoryCategory), 2u);
    EXPECT_FALSE(db.LoadFromFile(dir / "none.dat"));
    EXPECT_TRUE(db.Items().empty());
    EXPECT_EQ(db.Undo(), 0u);
    // A folder of that name is no file either.
    std::filesystem::create_directory(dir / "folder.dat");
    EXPECT_FALSE(db.LoadFromFile(dir / "folder.dat"));
}

TEST_F(DataFileTest, DamagedTailIsDroppedAndTheFileKept) {
    const std::string good = Record(0, 1.0, u"one") + Record(1, 2.0, u"two");
    const std::string damaged = good + Record(0, 3.0, u"three").substr(0, 17);
    WriteBytes(data, damaged);
    WriteBytes(dir / "data.dat.damaged", "an older copy");
    EXPECT_TRUE(db.LoadFromFile(data));
    ASSERT_EQ(db.Items().size(), 2u);
    EXPECT_EQ(db.Items().front()->Text, u"two");
    // An earlier copy is never written over while a name is free.
    EXPECT_EQ(ReadBytes(dir / "data.dat.damaged"), "an older copy");
    EXPECT_EQ(ReadBytes(dir / "data.dat.damaged-2"), damaged);
    EXPECT_TRUE(db.LastDamage().found);
    EXPECT_EQ(db.LastDamage().keptAs, FilePath(dir / "data.dat.damaged-2"));
    EXPECT_EQ(ReadBytes(data), damaged);  // loading never writes the data file
    db.SaveToFile(data);
    EXPECT_EQ(ReadBytes(data), good);
    EXPECT_TRUE(db.LoadFromFile(data));
    EXPECT_FALSE(db.LastDamage().found);

    // A count that runs past the end of the file, up to the largest one; 0x80000003 units are
    // 6 bytes, just the three characters there, if the count's doubling wraps at 32 bits.
    for (uint32_t count : {4u, 0x7FFFFFFFu, 0x80000003u, 0xFFFFFFFFu}) {
        std::string bytes = good + Record(0, 3.0, u"xyz");
        std::memcpy(&bytes[good.size() + 12], &count, 4);
        WriteBytes(data, bytes);
        EXPECT_TRUE(db.LoadFromFile(data));
        EXPECT_EQ(db.Items().size(), 2u) << count;
        EXPECT_EQ(ReadBytes(db.LastDamage().keptAs.native()), bytes);
    }

    // One byte past whole records that fill the first read of 1 MB exactly.
    std::string full;
    while (full.size() < 1024 * 1024) {
        full += Record(0, 4.0, std::u16string(24, u'f'));
    }
    ASSERT_EQ(full.size(), 1024u * 1024);
    WriteBytes(data, full + "!");
    EXPECT_TRUE(db.LoadFromFile(data));
    EXPECT_EQ(db.Items().size(), 16384u);
    EXPECT_TRUE(db.LastDamage().found);
}

// Ten copies at most: the names fill up to "-10", then the oldest copy gives way, whichever
// name it has.
TEST_F(DataFileTest, DamagedCopiesFillTenNamesThenReplaceTheOldest) {
    const auto name = [this](int n) {
        std::string file = "data.dat.damaged";
        if (n > 1) {
            file += '-';
            file += std::to_string(n);
        }
        return dir / file;
    };
    const auto start = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    EXPECT_TRUE(DamagedCopies(PlatformFileSystem(), data).empty());
    for (int n = 1; n <= kDamagedCopies; ++n) {
        const std::string bytes = Record(0, 1.0, u"one") + std::string(n, 'x');
        WriteBytes(data, bytes);
        EXPECT_TRUE(db.LoadFromFile(data));
        ASSERT_EQ(db.LastDamage().keptAs, FilePath(name(n))) << n;
        EXPECT_EQ(ReadBytes(name(n)), bytes);
        // Apart in time by a minute each, the fourth the oldest of all.
        std::filesystem::last_write_time(name(n), start + std::chrono::minutes(n == 4 ? 0 : n));
    }
    EXPECT_FALSE(std::filesystem::exists(name(kDamagedCopies + 1)));
    const std::string newest = Record(0, 1.0, u"one") + "newest";
    WriteBytes(data, newest);
    EXPECT_TRUE(db.LoadFromFile(data));
    EXPECT_EQ(db.LastDamage().keptAs, FilePath(name(4)));
    EXPECT_EQ(ReadBytes(name(4)), newest);
    EXPECT_EQ(ReadBytes(name(1)), Record(0, 1.0, u"one") + "x");
    EXPECT_FALSE(std::filesystem::exists(name(kDamagedCopies + 1)));

    // Those there now, in the order of their names; one past the tenth is none of them.
    std::filesystem::remove(name(2));
    std::filesystem::remove(name(7));
    WriteBytes(name(kDamagedCopies + 1), "");
    const std::vector<FilePath> copies = DamagedCopies(PlatformFileSystem(), data);
    ASSERT_EQ(copies.size(), 8u);
    EXPECT_EQ(copies.front(), FilePath(name(1)));
    EXPECT_EQ(copies[1], FilePath(name(3)));
    EXPECT_EQ(copies[4], FilePath(name(6)));
    EXPECT_EQ(copies[5], FilePath(name(8)));
    EXPECT_EQ(copies.back(), FilePath(name(kDamagedCopies)));
}

// A disk that fails after `good` bytes of the file, or with no `error`, finds the file ending
// there.
class FailingDisk final : public IFileSystem {
public:
    FailingDisk(std::string bytes, size_t good, std::string error = "Input/output error")
        : bytes_(std::move(bytes)), good_(good), error_(std::move(error)) {}
    bool FileExists(const FilePath&) override { return true; }
    int64_t LastWriteTime(const FilePath&) override { return 1; }
    std::unique_ptr<IReadFile> OpenForReading(const FilePath& path) override {
        return std::make_unique<File>(path, bytes_, good_, error_);
    }
    std::unique_ptr<IReplacementFile> CreateReplacement(const FilePath& path) override {
        return PlatformFileSystem().CreateReplacement(path);
    }
    std::unique_ptr<IAppendFile> CreateAppendable(const FilePath& path) override {
        return PlatformFileSystem().CreateAppendable(path);
    }
    void RemoveFile(const FilePath& path) override { PlatformFileSystem().RemoveFile(path); }

private:
    struct File final : BufferedReadFile {
        File(const FilePath& path, const std::string& bytes, size_t good, const std::string& error)
            : BufferedReadFile(path, bytes.size()), bytes_(bytes), good_(good), error_(error) {}
        size_t ReadRaw(void* buffer, size_t count, std::string& error) override {
            const size_t n = std::min(count, good_ - position_);
            if (n == 0) {
                error = error_;
            }
            std::memcpy(buffer, bytes_.data() + position_, n);
            position_ += n;
            return n;
        }
        const std::string& bytes_;
        size_t good_;
        const std::string& error_;
        size_t position_ = 0;
    };
    std::string bytes_;
    size_t good_;
    std::string error_;
};

// Unlike a short tail, a read that fails part way is no damage to repair: the load fails as an
// unopenable file does, with nothing loaded and no copy made.
TEST_F(DataFileTest, AReadErrorPartWayFailsTheLoad) {
    const std::string bytes = Record(0, 1.0, u"one") + Record(0, 2.0, u"two");
    FailingDisk disk(bytes, 20);
    CDataBase failing(clipboard, disk);
    const std::string error = ErrorOf([&] { failing.LoadFromFile(data); });
    EXPECT_EQ(error, "Cannot read file \"" + PathToUtf8(data) + "\". Input/output error");
    EXPECT_TRUE(failing.Items().empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "data.dat.damaged"));

    // A file that turns out shorter than its size said, part way into a text longer than the
    // read buffer, only has a damaged tail.
    const std::string longer =
        Record(0, 1.0, u"one") + Record(0, 2.0, std::u16string(1 << 17, u'x'));
    FailingDisk shorter(longer, 200000, "");
    CDataBase cut(clipboard, shorter);
    EXPECT_TRUE(cut.LoadFromFile(data));
    ASSERT_EQ(cut.Items().size(), 1u);
    EXPECT_EQ(cut.Items().front()->Text, u"one");
}

TEST_F(DataFileTest, SaveFailuresRaiseAndKeepThePreviousFile) {
    Add(0, 1.0, u"text");
    const auto missing = dir / "no such folder" / "data.dat";
    const std::string created = ErrorOf([&] { db.SaveToFile(missing); });
    EXPECT_EQ(created.rfind("Cannot create file \"", 0), 0u) << created;
    EXPECT_NE(created.find("data.dat\". "), std::string::npos) << created;
    EXPECT_GT(created.size(), created.find("\". ") + 3) << "the system's text follows";

    // The replacement cannot take the place of a folder: the new file is removed again.
    const auto folder = dir / "taken.dat";
    std::filesystem::create_directory(folder);
    std::filesystem::create_directory(folder / "inside");
    const std::string written = ErrorOf([&] { db.SaveToFile(folder); });
    EXPECT_EQ(written.rfind("Cannot write file \"", 0), 0u) << written;
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_FALSE(std::filesystem::exists(dir / "taken.dat.tmp"));
}

#ifndef _WIN32
// A disk that fills up half way through the save: the error names the file and data.dat is
// left exactly as it was.
TEST_F(DataFileTest, FullDiskLeavesTheOldFile) {
    WriteBytes(data, Record(0, 1.0, u"precious"));
    Add(0, 2.0, std::u16string(512 * 1024, u'x'));
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    const std::string error = ErrorOf([&] { db.SaveToFile(data); });
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(error.rfind("Cannot write file \"", 0), 0u) << error;
    EXPECT_EQ(ReadBytes(data), Record(0, 1.0, u"precious"));
    EXPECT_FALSE(std::filesystem::exists(dir / "data.dat.tmp"));
}
#endif

}  // namespace
}  // namespace snipora
