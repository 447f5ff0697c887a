#include "store/Journal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <tuple>
#include <vector>

#include "common/Error.h"
#include "store/DataBase.h"
#include "support/FakeClipboard.h"
#include "support/FakeClock.h"
#include "support/MemoryFileSystem.h"
#include "support/MemoryStreams.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace snipora {
namespace {

using test::ReadBytes;
using Entry = std::tuple<int32_t, double, std::u16string>;

// The platform's files, but appends fail while `appendsFail` is set.
class FlakyDisk final : public IFileSystem {
public:
    bool appendsFail = false;
    // What reached the journal's file, in order: 'W' for a write, 'F' for a flush.
    std::string appended;
    bool FileExists(const FilePath& path) override { return real.FileExists(path); }
    int64_t LastWriteTime(const FilePath& path) override { return real.LastWriteTime(path); }
    std::unique_ptr<IReadFile> OpenForReading(const FilePath& path) override {
        return real.OpenForReading(path);
    }
    std::unique_ptr<IReplacementFile> CreateReplacement(const FilePath& path) override {
        return real.CreateReplacement(path);
    }
    std::unique_ptr<IAppendFile> CreateAppendable(const FilePath& path) override {
        struct File final : IAppendFile {
            File(std::unique_ptr<IAppendFile> file, FlakyDisk& disk)
                : file_(std::move(file)), disk_(disk) {}
            void Write(const void* buffer, size_t count) override {
                // Half of it reaches the disk, as when the disk fills up.
                file_->Write(buffer, disk_.appendsFail ? count / 2 : count);
                disk_.appended += 'W';
                if (disk_.appendsFail) {
                    throw AppError("Cannot write file. The disk is full.");
                }
            }
            void Flush() override {
                file_->Flush();
                disk_.appended += 'F';
            }
            std::unique_ptr<IAppendFile> file_;
            FlakyDisk& disk_;
        };
        return std::make_unique<File>(real.CreateAppendable(path), *this);
    }
    void RemoveFile(const FilePath& path) override { real.RemoveFile(path); }

private:
    IFileSystem& real = PlatformFileSystem();
};

class JournalTest : public ::testing::Test {
protected:
    JournalTest() : db(clipboard, disk) {
        db.SetWindow(&window);
        journal.emplace(disk);
    }

    void Copy(const std::u16string& text) {
        clipboard.Put(text);
        db.CaptureClipboard();
    }
    uint32_t IdOf(const CDataBase& lists, std::u16string_view text) const {
        for (const auto& item : lists.Items()) {
            if (std::u16string_view(item->Text) == text) {
                return item->Id;
            }
        }
        return 0;
    }
    static std::vector<Entry> Entries(const CDataBase& lists) {
        std::vector<Entry> entries;
        for (const auto& item : lists.Items()) {
            entries.emplace_back(item->Category, item->CaptureTime, std::u16string(item->Text));
        }
        return entries;
    }
    // What a fresh start finds once the program has ended, its journal closed: the data file
    // with the journal replayed. The journal then starts anew, as after a load.
    std::vector<Entry> Restarted(bool expectJournal = true) {
        journal.emplace(disk);
        CDataBase fresh(clipboard, disk);
        CJournal again(disk);
        EXPECT_EQ(again.Load(fresh, data), expectJournal);
        if (expectJournal) {
            // Between the replay and its fold, records would be written against the wrong base.
            ListOperation add;
            add.Text = u"after the replay";
            EXPECT_TRUE(fresh.Apply(add));
            EXPECT_FALSE(again.Append(fresh, data));
            EXPECT_TRUE(fresh.DeleteItem(fresh.Items().front()->Id));
            again.Fold(fresh, data);
        }
        return Entries(fresh);
    }
    // Every byte of the data folder, to look for texts that must be gone.
    std::string Folder() const {
        std::string all;
        for (const auto& file : std::filesystem::directory_iterator(dir.Path())) {
            all += ReadBytes(file.path());
        }
        return all;
    }
    static std::string Bytes(std::u16string_view text) {
        return {reinterpret_cast<const char*>(text.data()), text.size() * 2};
    }

    int window = 0;
    test::FakeClipboard clipboard;
    FlakyDisk disk;
    CDataBase db;
    std::optional<CJournal> journal;
    test::TempDir dir;
    std::filesystem::path data = dir / "data.dat";
    std::filesystem::path journalFile = dir / "data.dat.journal";
};

// Captures, trims, moves to the notes and back, and a history entry chosen again: each is
// appended as it comes, and a start replays them onto the data file in the same order.
TEST_F(JournalTest, ReplayRebuildsTheListsAndTheStartFoldsThem) {
    clipboard.onChange = [this] { db.CaptureClipboard(); };
    db.SetHistorySize(3);
    Copy(u"base one");
    Copy(u"base two");
    journal->Fold(db, data);
    EXPECT_FALSE(std::filesystem::exists(journalFile));

    Copy(u"three");
    Copy(u"four");  // trims "base one"
    disk.appended.clear();
    ASSERT_TRUE(journal->Append(db, data));
    // The header, two captures and the trim that the second set off, in that order.
    EXPECT_EQ(journal->Bytes(), 28u + (28 + 10) + (28 + 8) + 28);
    EXPECT_EQ(disk.appended, "WF");  // each append ends with its flush
    ASSERT_TRUE(db.MoveToCategory(IdOf(db, u"base two"), kNotesCategory));
    ASSERT_TRUE(db.MoveToClipboard(IdOf(db, u"three")));
    ASSERT_TRUE(journal->Append(db, data));
    EXPECT_EQ(disk.appended, "WFWF");
    ASSERT_TRUE(journal->Append(db, data));  // nothing new: nothing written
    EXPECT_EQ(disk.appended, "WFWF");
    const uint64_t size = journal->Bytes();
    EXPECT_EQ(std::filesystem::file_size(journalFile), size);
    EXPECT_EQ(Entries(db).size(), 3u);

    const std::string dataBefore = ReadBytes(data);
    EXPECT_EQ(Restarted(), Entries(db));
    // A journal whose base is gone (the start folded it into a new data file and stopped before
    // removing it) is not replayed twice.
    EXPECT_NE(ReadBytes(data), dataBefore);
    EXPECT_FALSE(std::filesystem::exists(journalFile));
    test::WriteBytes(journalFile, std::string(size, 'x'));
    EXPECT_EQ(Restarted(), Entries(db));

    // A journal with no data file: the first run stopped before its first fold.
    std::filesystem::remove(data);
    CDataBase first(clipboard, disk);
    first.SetWindow(&window);
    EXPECT_FALSE(journal->Load(first, data));
    clipboard.Put(u"first copy");
    first.CaptureClipboard();
    ASSERT_TRUE(journal->Append(first, data));
    EXPECT_EQ(Restarted(), Entries(first));
    EXPECT_TRUE(std::filesystem::exists(data));
}

// The last record is cut inside its fixed part, inside its text, or fails its checksum: the
// records before it are replayed, it is dropped.
TEST_F(JournalTest, ATornOrDamagedTailIsDropped) {
    Copy(u"kept in the data file");
    journal->Fold(db, data);
    Copy(u"first");
    ASSERT_TRUE(journal->Append(db, data));
    const auto afterFirst = Entries(db);
    const uint64_t firstEnd = journal->Bytes();
    Copy(u"second");
    ASSERT_TRUE(journal->Append(db, data));
    const std::string whole = ReadBytes(journalFile);
    ASSERT_EQ(whole.size(), firstEnd + 28 + 12);

    CDataBase base(clipboard, disk);
    FileIdentity baseOf;
    base.LoadFromFile(data, &baseOf);
    EXPECT_EQ(baseOf.Bytes, std::filesystem::file_size(data));
    struct Case {
        std::string bytes;
        size_t records;
        uint64_t dropped;
        const char* problem;
    };
    std::string badChecksum = whole;
    badChecksum[whole.size() - 1] ^= 1;
    std::string badBase = whole;
    badBase[8] ^= 1;
    const std::string otherBase = JournalHeader({baseOf.Bytes, baseOf.Hash ^ 1}) + whole.substr(28);
    const std::vector<Case> cases = {
        {whole, 2, 0, ""},
        {whole.substr(0, firstEnd + 27), 1, 27, "the last record is cut short"},
        {whole.substr(0, whole.size() - 1), 1, 39, "the last record is cut short"},
        {badChecksum, 1, 40, "a record fails its checksum"},
        {whole.substr(0, 27), 0, 27, "its header is damaged"},
        {badBase, 0, whole.size(), "its header is damaged"},
        {otherBase, 0, whole.size(), "it belongs to another version of the data file"},
    };
    for (const Case& c : cases) {
        CDataBase lists(clipboard, disk);
        lists.LoadFromFile(data);
        test::MemoryReadStream in(c.bytes);
        const JournalReplay replay = ReplayJournal(in, lists, baseOf);
        EXPECT_EQ(replay.Records, c.records) << c.problem;
        EXPECT_EQ(replay.Dropped, c.dropped) << c.problem;
        EXPECT_EQ(replay.Problem, c.problem);
        EXPECT_EQ(replay.Belongs, c.records > 0);
        EXPECT_EQ(Entries(lists).size(), 1 + c.records) << c.problem;
    }
    journal.reset();  // the program ends
    test::WriteBytes(journalFile, badChecksum);
    EXPECT_EQ(Restarted(), afterFirst);
}

// The journal is folded into the data file when it would outgrow its limit, and whenever the
// caller folds after a delete: nothing of a deleted text is left in the folder.
TEST_F(JournalTest, FoldingRewritesTheDataFileAndRemovesTheJournal) {
    Copy(u"a secret");
    EXPECT_FALSE(journal->Append(db, data));  // before any load or fold: asks for a fold
    EXPECT_FALSE(std::filesystem::exists(journalFile));
    journal->Fold(db, data);
    Copy(u"another secret");
    ASSERT_TRUE(journal->Append(db, data));
    ASSERT_TRUE(db.DeleteItem(IdOf(db, u"a secret")));
    ASSERT_TRUE(db.DeleteItem(IdOf(db, u"another secret")));
    journal->Fold(db, data);
    EXPECT_EQ(Folder().find(Bytes(u"secret")), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(data), 0u);

    // 1 MB in all, header and record heads included, is the most for a small data file.
    const size_t units = (CJournal::kMinLimit - 28 - 28) / 2;
    Copy(std::u16string(units, u'x'));
    ASSERT_TRUE(journal->Append(db, data));
    EXPECT_EQ(journal->Bytes(), CJournal::kMinLimit);
    Copy(u"y");
    EXPECT_FALSE(journal->Append(db, data));
    journal->Fold(db, data);
    EXPECT_EQ(std::filesystem::file_size(data), 16 * 2 + 2 * (units + 1));
    EXPECT_FALSE(std::filesystem::exists(journalFile));
    // A data file of 8 MB allows a journal of a quarter of that.
    for (int i = 0; i < 8; ++i) {
        Copy(std::u16string(512 * 1024 - 8, char16_t(u'a' + i)));
    }
    journal->Fold(db, data);
    Copy(std::u16string(units + 100, u'z'));
    EXPECT_TRUE(journal->Append(db, data));
    // To the byte: a journal of 2 MB beside 8 MB, and beside 4 bytes less, one byte past.
    const auto appendsBeside = [this](size_t fewerUnits) {
        CDataBase lists(clipboard, disk);
        lists.SetWindow(&window);
        CJournal edge(disk);
        const auto path = dir / "edge.dat";
        lists.SetKeepDuplicates(true);
        for (size_t i = 0; i < 8; ++i) {
            clipboard.Put(std::u16string(512 * 1024 - 8 - (i == 0 ? fewerUnits : 0), u'e'));
            lists.CaptureClipboard();
        }
        edge.Fold(lists, path);
        EXPECT_EQ(std::filesystem::file_size(path), 8 * 1024 * 1024 - 2 * fewerUnits);
        clipboard.Put(std::u16string((2 * 1024 * 1024 - 28 - 28) / 2, u'z'));
        lists.CaptureClipboard();
        return edge.Append(lists, path);
    };
    EXPECT_TRUE(appendsBeside(0));
    EXPECT_FALSE(appendsBeside(2));

    // Another data folder: the fold writes there and removes the old folder's journal->
    EXPECT_TRUE(std::filesystem::exists(journalFile));
    const auto moved = dir / "moved.dat";
    Copy(u"after the move");
    EXPECT_FALSE(journal->Append(db, moved));
    journal->Fold(db, moved);
    EXPECT_FALSE(std::filesystem::exists(journalFile));
    EXPECT_TRUE(std::filesystem::exists(moved));
}

// A failed append may leave a torn record: nothing is appended after it until a fold.
TEST_F(JournalTest, AFailedAppendAsksForAFold) {
    journal->Fold(db, data);
    Copy(u"one");
    ASSERT_TRUE(journal->Append(db, data));
    disk.appendsFail = true;
    Copy(u"two");
    EXPECT_THROW(journal->Append(db, data), AppError);
    disk.appendsFail = false;
    Copy(u"three");
    EXPECT_FALSE(journal->Append(db, data));
    const auto onDisk = Restarted();
    ASSERT_EQ(onDisk.size(), 1u);
    EXPECT_EQ(std::get<2>(onDisk[0]), u"one");
    journal->Fold(db, data);
    Copy(u"four");
    EXPECT_TRUE(journal->Append(db, data));
    EXPECT_EQ(Restarted(), Entries(db));
}

// Every kind of operation is written as it was carried out, and a start carries out the same.
TEST_F(JournalTest, EveryOperationIsReplayedAsItWasDone) {
    test::FakeClock clock;
    db.SetClock(clock);
    db.SetHistorySize(4);
    journal->Fold(db, data);
    const auto appended = [this] {
        ASSERT_TRUE(journal->Append(db, data));
        EXPECT_EQ(Restarted(), Entries(db));
        journal->Fold(db, data);
    };
    for (const char16_t* text : {u"a", u"b", u"c", u"d", u"e"}) {  // "a" is trimmed
        clock.now += test::FakeClock::kMinute;
        Copy(text);
    }
    appended();
    ASSERT_TRUE(db.MoveToCategory(IdOf(db, u"b"), kNotesCategory));
    ASSERT_TRUE(db.MoveToCategory(IdOf(db, u"c"), kNotesCategory));
    ASSERT_TRUE(db.MoveWithinList(IdOf(db, u"c"), 1));
    clock.now += 10 * test::FakeClock::kMinute;
    Copy(u"d");  // moves up with a new time
    appended();
    // As in the data file, the new text ends at a zero unit.
    ASSERT_TRUE(db.ReplaceText(IdOf(db, u"e"), std::u16string(u"E\0cut", 5)));
    ASSERT_TRUE(db.DeleteItem(IdOf(db, u"d")));
    ASSERT_NE(db.Undo(), 0u);
    EXPECT_EQ(Entries(db), (std::vector<Entry>{{0, std::get<1>(Entries(db)[0]), u"d"},
                                               {1, std::get<1>(Entries(db)[1]), u"b"},
                                               {1, std::get<1>(Entries(db)[2]), u"c"},
                                               {0, std::get<1>(Entries(db)[3]), u"E"}}));
    appended();
    ASSERT_EQ(db.ClearCategory(kNotesCategory), 2u);
    ASSERT_NE(db.Undo(), 0u);
    clock.now += 30 * test::FakeClock::kMinute;
    EXPECT_EQ(db.ForgetHistory(31), 1u);  // "E", captured 40 minutes ago
    appended();
    // Several at once, as one record each; Undo's Restore brings both back.
    Copy(u"f");
    ASSERT_EQ(db.MoveItemsToCategory({IdOf(db, u"f"), IdOf(db, u"d")}, kNotesCategory), 2u);
    ASSERT_EQ(db.DeleteItems({IdOf(db, u"b"), IdOf(db, u"f")}), 2u);
    appended();
    ASSERT_NE(db.Undo(), 0u);
    ASSERT_EQ(db.MoveItemsToCategory({IdOf(db, u"b")}, kHistoryCategory), 1u);
    appended();
    ASSERT_EQ(db.MoveItemsToCategory({IdOf(db, u"d"), IdOf(db, u"f")}, kHistoryCategory), 2u);
    ASSERT_NE(db.Undo(), 0u);  // back to the notes, as one record
    appended();
    const std::vector<std::u16string> texts = {u"b", u"f", u"d", u"c"};
    std::vector<std::u16string> left;
    for (const auto& entry : Entries(db)) {
        left.push_back(std::get<2>(entry));
    }
    EXPECT_EQ(left, texts);
}

// A journal of the previous version is replayed once, by the places its records name, and folded.
TEST_F(JournalTest, APreviousVersionsJournalIsReplayedOnceThenFolded) {
    // Journals on disk carry the standard CRC-32 (IEEE): its check value.
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    test::WriteBytes(data, test::Record(0, 1.0, u"old one") + test::Record(0, 2.0, u"old two"));
    CDataBase base(clipboard, disk);
    base.LoadFromFile(data);
    // Add a history entry, move "old one" (place 0) to the notes, as the previous version wrote.
    // A text ends at its first zero unit, as in the data file.
    const auto record = [](uint32_t kind, uint32_t value, double time, std::u16string_view text) {
        std::string out;
        const auto put = [&](const auto& v) {
            out.append(reinterpret_cast<const char*>(&v), sizeof v);
        };
        put(kind);
        put(value);
        put(time);
        put(static_cast<uint32_t>(text.size()));
        const uint32_t crc = Crc32(text.data(), text.size() * 2, Crc32(out.data(), 20));
        put(crc);
        out.append(reinterpret_cast<const char*>(text.data()), text.size() * 2);
        return out;
    };
    test::WriteBytes(journalFile, LegacyJournalHeader(base, std::filesystem::file_size(data)) +
                                      record(1, 0, 3.0, std::u16string_view(u"new\0cd", 6)) +
                                      record(2, 0, 0.0, u"") + record(1, 1, 1.0, u"old one"));
    const std::vector<Entry> expected = {
        {1, 1.0, u"old one"}, {0, 3.0, u"new"}, {0, 2.0, u"old two"}};
    EXPECT_EQ(Restarted(), expected);
    EXPECT_FALSE(std::filesystem::exists(journalFile));
    EXPECT_EQ(Restarted(false), expected);
}

// The two ways a stale journal brought a deleted text back, with a data file written byte for byte
// as the journal's base: its removal refused (a scanner holds it without sharing its deletion, nor
// lets it be emptied), or a stop between the data file's rename and the journal's removal.
TEST(JournalFoldTest, ADeletedTextNeverComesBack) {
    using Step = test::MemoryFileSystem::Step;
    const FilePath data(std::filesystem::path("data.dat"));
    const auto journalPath = CJournal::PathFor(data).native();
    const std::u16string secret = u"my password";
    const std::string secretBytes(reinterpret_cast<const char*>(secret.data()), secret.size() * 2);
    for (const bool refused : {true, false}) {
        SCOPED_TRACE(refused ? "removal refused" : "stop before the removal");
        test::MemoryFileSystem disk;
        test::FakeClipboard clipboard;
        int window = 0;
        {
            CDataBase db(clipboard, disk);
            db.SetWindow(&window);
            CJournal journal(disk);
            EXPECT_FALSE(journal.Load(db, data));
            clipboard.Put(secret);
            db.CaptureClipboard();
            ASSERT_TRUE(journal.Append(db, data));
            ASSERT_TRUE(db.DeleteItem(db.Items().front()->Id));
            // What is open stays writable; what is opened anew is refused.
            disk.refuse = [&](Step step, const auto& path) {
                return refused && path == journalPath && step != Step::Write && step != Step::Flush;
            };
            disk.stopAt = [&](Step step, const auto& path, uint64_t) {
                return !refused && step == Step::Remove && path == journalPath;
            };
            try {
                journal.Fold(db, data);
                EXPECT_TRUE(refused);
            } catch (const test::Stopped&) {
                EXPECT_FALSE(refused);
            } catch (const AppError& e) {
                ADD_FAILURE() << e.what();
            }
            EXPECT_EQ(disk.files[data.native()], "");
            EXPECT_TRUE(disk.files.count(journalPath));
        }
        disk.Restart();
        CDataBase db(clipboard, disk);
        CJournal journal(disk);
        EXPECT_TRUE(journal.Load(db, data));
        EXPECT_TRUE(db.Items().empty());
        journal.Fold(db, data);
        EXPECT_TRUE(db.Items().empty());
        // Only a journal that can be neither removed nor emptied keeps the text it holds.
        for (const auto& [path, bytes] : disk.files) {
            EXPECT_EQ(bytes.find(secretBytes) != std::string::npos, refused && path == journalPath);
        }
    }
}

// A journal that cannot be written anew, removed or emptied stays as it is: no data file that it
// would replay changes onto takes the data file's place, and the fold says so.
TEST(JournalFoldTest, NoDataFileAHeldJournalReplaysOntoIsWritten) {
    using Step = test::MemoryFileSystem::Step;
    const FilePath data(std::filesystem::path("data.dat"));
    const auto journalPath = CJournal::PathFor(data).native();
    test::MemoryFileSystem disk;
    test::FakeClipboard clipboard;
    int window = 0;
    CDataBase db(clipboard, disk);
    db.SetWindow(&window);
    CJournal journal(disk);
    journal.Load(db, data);
    clipboard.Put(u"held");
    db.CaptureClipboard();
    ASSERT_TRUE(journal.Append(db, data));
    disk.refuse = [&](Step step, const auto& path) {
        return path.find(journalPath) == 0 && step != Step::Write && step != Step::Flush;
    };
    journal.Fold(db, data);  // the journal ends in its fold into this data file
    const std::string held = disk.files[data.native()];
    EXPECT_EQ(held, test::Record(0, db.Items().front()->CaptureTime, u"held"));
    clipboard.Put(u"more");
    db.CaptureClipboard();
    journal.Fold(db, data);  // the journal cannot be replayed onto this one
    ASSERT_TRUE(db.DeleteItem(db.Items().front()->Id));
    journal.Fold(db, data);  // nor onto this one: its last point is it, and nothing follows
    EXPECT_EQ(disk.files[data.native()], held);
    ASSERT_TRUE(db.DeleteItem(db.Items().front()->Id));
    EXPECT_THROW(journal.Fold(db, data), AppError);  // the empty file, which it adds "held" to
    EXPECT_EQ(disk.files[data.native()], held);
}

}  // namespace
}  // namespace snipora
