#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "common/OleDate.h"
#include "store/DataBase.h"
#include "store/HistoryAge.h"
#include "support/FakeClipboard.h"
#include "support/FakeClock.h"
#include "support/MemoryStreams.h"
#include "support/Records.h"

namespace snipora {
namespace {

using test::FakeClipboard;

class DataBaseTest : public ::testing::Test {
protected:
    DataBaseTest() : db(clipboard, PlatformFileSystem()) {
        db.SetWindow(&window);
        db.SetClock(clock);
    }

    void Copy(const std::u16string& text) {
        clipboard.Put(text);
        db.CaptureClipboard();
    }
    std::vector<std::u16string> Texts(int32_t category) const {
        std::vector<std::u16string> texts;
        for (const auto& item : db.Items()) {
            if (item->Category == category) {
                texts.emplace_back(item->Text);
            }
        }
        return texts;
    }
    size_t Count(int32_t category) const { return Texts(category).size(); }
    uint32_t IdOf(const std::u16string& text) const {
        for (const auto& item : db.Items()) {
            if (std::u16string_view(item->Text) == text) {
                return item->Id;
            }
        }
        return 0;
    }
    std::vector<uint32_t> Ids() const {
        std::vector<uint32_t> ids;
        for (const auto& item : db.Items()) {
            ids.push_back(item->Id);
        }
        return ids;
    }
    // Adds an entry as a replayed journal does.
    void Added(int32_t category, double time, const std::u16string& text) {
        ListOperation op;
        op.What = ListOperation::Add;
        op.Category = category;
        op.Time = time;
        op.Text = text;
        ASSERT_TRUE(db.Apply(op));
    }
    // Loads records given oldest first, as the data file holds them.
    void Load(const std::vector<std::pair<int32_t, std::u16string>>& records) {
        std::string bytes;
        for (const auto& [category, text] : records) {
            bytes += test::Record(category, 40000.0, text);
        }
        test::MemoryReadStream in(bytes);
        ASSERT_TRUE(db.LoadRecords(in));
    }

    int window = 0;
    FakeClipboard clipboard;
    test::FakeClock clock;
    CDataBase db;
};

TEST_F(DataBaseTest, CaptureRecordsNewestFirstWithFreshIds) {
    Copy(u"one");
    Copy(u"two");
    db.SetKeepDuplicates(true);
    Copy(u"two");
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"two", u"two", u"one"}));
    EXPECT_EQ(Ids(), (std::vector<uint32_t>{100002, 100001, 100000}));
    EXPECT_EQ(db.LastCaptured(), u"two");
    EXPECT_EQ(clipboard.lastOwner, &window);
}

TEST_F(DataBaseTest, ARepeatedTextMovesItsHistoryEntryToTheTop) {
    Copy(u"note");
    ASSERT_TRUE(db.MoveToCategory(IdOf(u"note"), kNotesCategory));
    for (int i = 0; i < 25; ++i) {
        Copy(std::u16string{u'h', char16_t(u'a' + i)});
    }
    const double oldTime = db.Items().front()->CaptureTime;  // "hy", the newest so far
    clock.now += 5;
    Copy(u"ha");  // the oldest: to the top, nothing trimmed
    Copy(u"ah");  // the same length and units, not equal: added, "hb" trimmed
    Copy(u"ha");
    Copy(u"note");  // a note's text: the note stays, the history gets it; "hc" trimmed
    EXPECT_EQ(Count(0), 25u);
    EXPECT_EQ(Texts(0)[0], u"note");
    EXPECT_EQ(Texts(0)[1], u"ha");
    EXPECT_EQ(Texts(0)[2], u"ah");
    EXPECT_EQ(Texts(0)[3], u"hy");
    EXPECT_EQ(Texts(0).back(), u"hd");
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"note"}));
    EXPECT_GT(db.Items().front()->CaptureTime, oldTime);
    auto second = std::next(db.Items().begin());
    EXPECT_EQ((*second)->Text, u"ha");
    EXPECT_GT((*second)->CaptureTime, oldTime);
    EXPECT_EQ((*second)->Id, db.Items().front()->Id - 1);  // renumbered: the tree's order holds
    EXPECT_EQ(db.LastCaptured(), u"note");

    // Texts with equal hashes are still told apart by their units.
    std::u16string first, other;
    std::unordered_map<uint32_t, uint64_t> seen;
    const auto textOf = [](uint64_t n) {  // four units from a scrambled counter
        n = (n + 1) * 0x9E3779B97F4A7C15u;
        n ^= n >> 29;
        return std::u16string{char16_t(n), char16_t(n >> 16), char16_t(n >> 32 | 1),
                              char16_t(n >> 48 | 1)};
    };
    for (uint64_t i = 0; i < 1000000 && first.empty(); ++i) {
        auto [at, added] = seen.emplace(HashText(textOf(i)), i);
        if (!added) {
            first = textOf(at->second);
            other = textOf(i);
        }
    }
    ASSERT_FALSE(first.empty());
    ASSERT_EQ(HashText(first), HashText(other));
    Copy(first);
    Copy(other);
    Copy(first);
    EXPECT_EQ(Texts(0)[0], first);
    EXPECT_EQ(Texts(0)[1], other);
    EXPECT_EQ(Texts(0)[2], u"note");
    Copy(u"");
    Copy(u"");
    EXPECT_EQ(Texts(0)[0], u"");
    EXPECT_EQ(Texts(0)[1], first);
}

TEST_F(DataBaseTest, NothingIsRecordedWithoutTextOrWhenPrivate) {
    Copy(u"first");
    clipboard.hasText = false;  // an image or files
    db.CaptureClipboard();
    clipboard.Put(u"secret password");
    clipboard.isPrivate = true;
    clipboard.asked.clear();
    db.CaptureClipboard();
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"first"}));
    EXPECT_EQ(db.LastCaptured(), u"first");
    // The owner is judged before anything else is asked: asking whether text is there may wait
    // on a program that does not answer, and by then its window, and its name, may be gone.
    EXPECT_EQ(clipboard.asked, "P");
    clipboard.isPrivate = false;
    clipboard.asked.clear();
    db.CaptureClipboard();
    EXPECT_EQ(clipboard.asked.substr(0, 2), "PH");
}

TEST_F(DataBaseTest, DisabledBeforeSetWindow) {
    CDataBase fresh(clipboard, PlatformFileSystem());
    EXPECT_FALSE(fresh.Enabled());
    clipboard.Put(u"text");
    fresh.CaptureClipboard();
    EXPECT_TRUE(fresh.Items().empty());
    test::MemoryReadStream in(test::Record(0, 1.0, u"loaded"));
    ASSERT_TRUE(fresh.LoadRecords(in));
    EXPECT_FALSE(fresh.MoveToClipboard(FirstItemId));
    EXPECT_EQ(clipboard.writes, 0);
    EXPECT_TRUE(fresh.DeleteItem(FirstItemId));
    EXPECT_TRUE(fresh.Items().empty());
}

TEST_F(DataBaseTest, HistoryKeepsTheNewest25AndNeverDropsNotes) {
    for (int i = 0; i < 3; ++i) {
        Copy(u"note " + std::u16string(1, char16_t(u'a' + i)));
        ASSERT_TRUE(db.MoveToCategory(db.Items().front()->Id, kNotesCategory));
    }
    for (int i = 1; i <= 30; ++i) {
        Copy(u"copy " + std::u16string(1, char16_t(u'A' + i)));
    }
    const auto history = Texts(0);
    ASSERT_EQ(history.size(), kDefaultHistorySize);
    EXPECT_EQ(history.front(), u"copy " + std::u16string(1, char16_t(u'A' + 30)));
    EXPECT_EQ(history.back(), u"copy " + std::u16string(1, char16_t(u'A' + 6)));
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"note c", u"note b", u"note a"}));
}

// A history longer than its size (a file from a larger size) is cut to the size at the next
// capture, all at once; lowering the size cuts it at once. Notes are never dropped.
TEST_F(DataBaseTest, AnOverfullHistoryIsTrimmedToItsSize) {
    std::vector<std::pair<int32_t, std::u16string>> records;
    for (int i = 0; i < 30; ++i) {
        records.emplace_back(i % 10 == 0 ? kNotesCategory : kHistoryCategory,
                             std::u16string(1, char16_t(u'a' + i)));
    }
    Load(records);
    ASSERT_EQ(db.HistoryCount(), 27u);
    clipboard.openFails = true;  // the read fails: nothing enters, nothing is dropped
    db.CaptureClipboard();
    EXPECT_EQ(Count(0), 27u);
    clipboard.openFails = false;
    Copy(u"new");
    EXPECT_EQ(Count(0), 25u);  // one in, the three oldest out
    EXPECT_EQ(Texts(0).back(), u"e");
    EXPECT_EQ(Count(1), 3u);

    db.SetHistorySize(0);  // held to 1
    EXPECT_EQ(db.HistorySize(), 1u);
    EXPECT_EQ(db.TrimHistory(), 24u);
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"new"}));
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"u", u"k", u"a"}));
    EXPECT_EQ(db.TrimHistory(), 0u);

    // The count follows every way in and out of the history.
    db.SetHistorySize(kMaxHistorySize);
    Copy(u"two");
    ASSERT_TRUE(db.MoveToCategory(IdOf(u"u"), kHistoryCategory));
    ASSERT_TRUE(db.MoveToCategory(IdOf(u"new"), kNotesCategory));
    ASSERT_TRUE(db.DeleteItem(IdOf(u"two")));
    EXPECT_EQ(db.HistoryCount(), Count(0));
    ASSERT_TRUE(db.DeleteItem(IdOf(u"k")));
    ASSERT_TRUE(db.DeleteItem(IdOf(u"u")));
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"new", u"a"}));
    EXPECT_EQ(db.HistoryCount(), 0u);
    Added(kHistoryCategory, 3.0, u"replayed");
    EXPECT_EQ(db.HistoryCount(), 1u);
    EXPECT_EQ(db.Items().front()->CaptureTime, 3.0);
    db.ClearCategory(kHistoryCategory);
    EXPECT_EQ(db.HistoryCount(), 0u);
    // Text announced but unreadable: nothing enters, yet the capture trims as every one does.
    Copy(u"h1");
    Copy(u"h2");
    Copy(u"h3");
    db.SetHistorySize(1);
    clipboard.Put(u"unread");
    clipboard.openFails = true;
    db.CaptureClipboard();
    clipboard.openFails = false;
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h3"}));
}

// A capture finds its duplicate through an index of the history's texts, which every way in and
// out of the history keeps: a text still there moves up, one gone comes back as a new entry.
TEST_F(DataBaseTest, TheDuplicateSearchFollowsEveryChangeOfTheHistory) {
    // Whether capturing `text` again moved an entry up (true) or added one.
    const auto moved = [this](const std::u16string& text) {
        const auto copies = [&] {
            const auto texts = Texts(kHistoryCategory);
            return std::count(texts.begin(), texts.end(), text);
        };
        const auto before = copies();
        Copy(text);
        EXPECT_EQ(db.Items().front()->Text, text);
        return copies() == before;
    };
    Load({{kHistoryCategory, u"h1"}, {kNotesCategory, u"n1"}, {kHistoryCategory, u"h2"}});
    db.SetHistorySize(3);
    EXPECT_TRUE(moved(u"h1"));   // the last place of a loaded list
    EXPECT_FALSE(moved(u"n1"));  // notes are never looked at
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"n1", u"h1", u"h2"}));
    EXPECT_TRUE(moved(u"h2"));   // the last place again, with the history full
    EXPECT_FALSE(moved(u"h3"));  // trims "h1", the oldest
    EXPECT_FALSE(moved(u"h1"));  // trims "n1"
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h1", u"h3", u"h2"}));

    ASSERT_TRUE(db.DeleteItem(IdOf(u"h3")));
    db.SetHistorySize(10);
    EXPECT_FALSE(moved(u"h3"));
    ASSERT_TRUE(db.DeleteItem(IdOf(u"h3")));
    EXPECT_NE(db.Undo(), 0u);
    EXPECT_TRUE(moved(u"h3"));
    ASSERT_EQ(db.ClearCategory(kHistoryCategory), 3u);
    EXPECT_FALSE(moved(u"h2"));
    EXPECT_NE(db.Undo(), 0u);
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h2", u"h3", u"h1", u"h2"}));

    // With duplicates kept both copies stay; then the newest of them is the one found.
    db.SetKeepDuplicates(true);
    EXPECT_FALSE(moved(u"h1"));
    db.SetKeepDuplicates(false);
    EXPECT_TRUE(moved(u"h2"));
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h2", u"h1", u"h3", u"h1", u"h2"}));
    EXPECT_TRUE(moved(u"h1"));
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h1", u"h2", u"h3", u"h1", u"h2"}));

    // Out of the history and back, and a write that fails puts the entry back in the index.
    ASSERT_TRUE(db.MoveToCategory(IdOf(u"h3"), kNotesCategory));
    EXPECT_FALSE(moved(u"h3"));
    ASSERT_TRUE(db.DeleteItem(db.Items().front()->Id));
    ASSERT_TRUE(db.MoveToCategory(IdOf(u"h3"), kHistoryCategory));
    EXPECT_TRUE(moved(u"h3"));
    clipboard.writeFails = true;
    EXPECT_FALSE(db.MoveToClipboard(IdOf(u"h3")));
    EXPECT_TRUE(moved(u"h3"));
    ASSERT_TRUE(db.DeleteItem(IdOf(u"h3")));
    EXPECT_FALSE(moved(u"h3"));
    EXPECT_EQ(db.HistoryCount(), Count(kHistoryCategory));

    // Forgotten entries are gone; replayed and loaded ones are found.
    clock.now += 61 * test::FakeClock::kMinute;
    EXPECT_EQ(db.ForgetHistory(60), 5u);
    EXPECT_FALSE(moved(u"h3"));
    Added(kHistoryCategory, 3.0, u"replayed");
    EXPECT_TRUE(moved(u"replayed"));
    Load({{kHistoryCategory, u"loaded"}});
    EXPECT_TRUE(moved(u"loaded"));
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"loaded", u"replayed", u"h3"}));
}

TEST_F(DataBaseTest, LastCapturedIsTheTrimmedPreview) {
    Copy(u"   " + std::u16string(300, u'z'));
    EXPECT_EQ(db.LastCaptured(), std::u16string(197, u'z'));
    Copy(u" \t\r\n ");
    EXPECT_EQ(db.LastCaptured(), u"");
}

TEST_F(DataBaseTest, MoveToCategoryRenumbersAndPutsFirst) {
    Copy(u"a");
    Copy(u"b");
    const uint32_t a = IdOf(u"a");
    EXPECT_TRUE(db.MoveToCategory(a, kNotesCategory));
    EXPECT_EQ(db.Items().front()->Text, u"a");
    EXPECT_EQ(db.Items().front()->Category, kNotesCategory);
    EXPECT_NE(db.Items().front()->Id, a);
    EXPECT_FALSE(db.MoveToCategory(a, kNotesCategory));           // the old id finds nothing
    EXPECT_FALSE(db.MoveToCategory(IdOf(u"a"), kNotesCategory));  // already a note
    EXPECT_FALSE(db.MoveToCategory(99999, kNotesCategory));
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"b"}));
}

TEST_F(DataBaseTest, DeleteAndClear) {
    Copy(u"h1");
    Copy(u"n1");
    db.MoveToCategory(IdOf(u"n1"), kNotesCategory);
    Copy(u"h2");
    Copy(u"n2");
    db.MoveToCategory(IdOf(u"n2"), kNotesCategory);
    Copy(u"h3");
    EXPECT_FALSE(db.DeleteItem(12345));
    EXPECT_TRUE(db.DeleteItem(IdOf(u"h2")));
    EXPECT_FALSE(db.DeleteItem(IdOf(u"h2")));
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h3", u"h1"}));

    EXPECT_EQ(db.ClearCategory(kHistoryCategory), 2u);
    EXPECT_TRUE(Texts(0).empty());
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"n2", u"n1"}));
    Copy(u"h4");
    EXPECT_EQ(db.ClearCategory(kNotesCategory), 2u);
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h4"}));
    EXPECT_TRUE(Texts(1).empty());
}

TEST(HistoryAgeTest, OlderThanTheMinutesToTheMillisecond) {
    constexpr int64_t kMinute = test::FakeClock::kMinute;
    const int64_t now = 1'700'000'000'000;
    EXPECT_FALSE(IsPastAge(now - 30 * kMinute, now, 30));
    EXPECT_TRUE(IsPastAge(now - 30 * kMinute - 1, now, 30));
    EXPECT_FALSE(IsPastAge(now - 1 * kMinute, now, 1));
    EXPECT_TRUE(IsPastAge(now - 1 * kMinute - 1, now, 1));
    // A year, the longest the setting allows.
    EXPECT_FALSE(IsPastAge(now - 525600 * kMinute, now, 525600));
    EXPECT_TRUE(IsPastAge(now - 525600 * kMinute - 1, now, 525600));
    // 0 is never.
    EXPECT_FALSE(IsPastAge(1, now, 0));
    EXPECT_FALSE(IsPastAge(1, now, -5));
}

TEST_F(DataBaseTest, ForgettingTakesOldHistoryAndKeepsNotes) {
    constexpr int64_t kMinute = test::FakeClock::kMinute;
    const auto localAt = [this](int64_t instant) { return LocalOleDate(clock, instant); };
    const int64_t now = clock.now;
    // Oldest first, as the file holds them; the last is listed newest but is older.
    std::string bytes;
    bytes += test::Record(kHistoryCategory, localAt(now - 90 * kMinute), u"old copy");
    bytes += test::Record(kNotesCategory, localAt(now - 900 * kMinute), u"old note");
    bytes += test::Record(kHistoryCategory, localAt(now - 60 * kMinute), u"an hour old");
    bytes += test::Record(kHistoryCategory, localAt(now - 61 * kMinute), u"listed newest");
    test::MemoryReadStream in(bytes);
    ASSERT_TRUE(db.LoadRecords(in));

    EXPECT_EQ(db.ForgetHistory(0), 0u);
    EXPECT_EQ(db.Items().size(), 4u);
    EXPECT_EQ(db.ForgetHistory(60), 2u);
    EXPECT_EQ(Texts(kHistoryCategory), (std::vector<std::u16string>{u"an hour old"}));
    EXPECT_EQ(Texts(kNotesCategory), (std::vector<std::u16string>{u"old note"}));
    EXPECT_EQ(db.LastCaptured(), u"an hour old") << "the newest went: the newest that stays";

    Copy(u"  fresh copy ");
    EXPECT_EQ(db.Items().front()->CaptureTime, localAt(now));
    clock.now += 90 * 1000;
    EXPECT_EQ(db.ForgetHistory(60), 1u);
    EXPECT_EQ(db.LastCaptured(), u"fresh copy") << "the newest stayed";
    clock.now += 2 * 24 * 60 * kMinute;
    EXPECT_EQ(db.ForgetHistory(60), 1u);
    EXPECT_EQ(db.LastCaptured(), u"");
    EXPECT_TRUE(Texts(kHistoryCategory).empty());
    EXPECT_EQ(Texts(kNotesCategory), (std::vector<std::u16string>{u"old note"}));
}

// Ages are reckoned between instants: summer time's start and end and a change of zone move
// none of them, a local time stamped ahead of the clock counts from now, and Undo keeps nothing
// that was forgotten.
TEST_F(DataBaseTest, AgesFollowRealTimeAcrossSummerTimeAndZones) {
    constexpr int64_t kMinute = test::FakeClock::kMinute, kHour = test::FakeClock::kHour;
    const int64_t change = clock.now;
    const auto history = [this] { return Texts(kHistoryCategory); };

    // Loads one history record stamped with the local time given.
    const auto loadAt = [this](double localTime, const std::u16string& text) {
        test::MemoryReadStream in(test::Record(kHistoryCategory, localTime, text));
        ASSERT_TRUE(db.LoadRecords(in));
    };

    // Summer time starts: local time jumps from +1 h to +2 h.
    clock.offsets = {{0, kHour}, {change, 2 * kHour}};
    clock.now = change - 10 * kMinute;
    Copy(u"captured");
    loadAt(LocalOleDate(clock, clock.now), u"loaded");
    clock.now = change + 40 * kMinute;  // 50 minutes later, 110 by the wall clock
    EXPECT_EQ(db.ForgetHistory(60), 0u);
    clock.now = change + 51 * kMinute;
    EXPECT_EQ(db.ForgetHistory(60), 2u);

    // Summer time ends: from +2 h back to +1 h.
    clock.offsets = {{0, 2 * kHour}, {change, kHour}};
    clock.now = change - 50 * kMinute;
    Copy(u"captured");
    clock.now = change + 11 * kMinute;  // 61 minutes later, 1 by the wall clock
    loadAt(LocalOleDate(clock, change - 110 * kMinute), u"loaded");  // 121, and 61
    EXPECT_EQ(db.ForgetHistory(120), 1u);
    EXPECT_EQ(history(), (std::vector<std::u16string>{u"captured"}));
    EXPECT_EQ(db.ForgetHistory(60), 1u);

    // The zone changes from +2 h to -5 h: a capture's age stays what it was.
    clock.offsets = {{0, 2 * kHour}};
    Copy(u"before the flight");
    clock.offsets = {{0, -5 * kHour}};
    clock.now += 60 * kMinute;
    EXPECT_EQ(db.ForgetHistory(60), 0u);
    clock.now += 1;
    EXPECT_EQ(db.ForgetHistory(60), 1u);

    // Stamped a day ahead, or with no date at all: from now on it ages, and stores now.
    loadAt(LocalOleDate(clock, clock.now + 24 * kHour), u"ahead");
    loadAt(std::nan(""), u"no date");
    EXPECT_EQ(db.ForgetHistory(60), 0u);
    ASSERT_EQ(db.Items().size(), 2u);
    for (const auto& item : db.Items()) {
        EXPECT_EQ(item->CaptureTime, LocalOleDate(clock, clock.now));
    }
    clock.now += 60 * kMinute + 1;
    EXPECT_EQ(db.ForgetHistory(60), 2u);

    // What a clear took and Undo keeps is forgotten as well; a note is not.
    Copy(u"old");
    clock.now += 30 * kMinute;
    Copy(u"young");
    Copy(u"note");
    ASSERT_TRUE(db.MoveToCategory(IdOf(u"note"), kNotesCategory));
    ASSERT_EQ(db.ClearCategory(kHistoryCategory), 2u);
    clock.now += 31 * kMinute;
    EXPECT_EQ(db.ForgetHistory(60), 0u);
    EXPECT_NE(db.Undo(), 0u);
    EXPECT_EQ(history(), (std::vector<std::u16string>{u"young"}));
    ASSERT_TRUE(db.DeleteItem(IdOf(u"young")));
    clock.now += 24 * kHour;
    EXPECT_EQ(db.ForgetHistory(60), 0u);
    EXPECT_FALSE(db.CanUndo());
    EXPECT_EQ(db.Undo(), 0u);
    ASSERT_EQ(db.ClearCategory(kNotesCategory), 1u);
    clock.now += 24 * kHour;
    EXPECT_EQ(db.ForgetHistory(60), 0u);
    EXPECT_TRUE(db.CanUndo());
}

TEST_F(DataBaseTest, UndoPutsBackTheLastDeletedItemOrClearedListInPlace) {
    EXPECT_EQ(db.Undo(), 0u);
    Copy(u"h1");
    Copy(u"n1");
    db.MoveToCategory(IdOf(u"n1"), kNotesCategory);
    Copy(u"h2");
    Copy(u"h3");
    const uint32_t h2 = IdOf(u"h2");

    ASSERT_TRUE(db.DeleteItem(IdOf(u"h1")));
    ASSERT_TRUE(db.DeleteItem(h2));  // only the last delete is kept
    EXPECT_TRUE(db.CanUndo());
    EXPECT_EQ(db.Undo(), h2);
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h3", u"h2"}));
    EXPECT_FALSE(db.CanUndo());
    EXPECT_EQ(db.Undo(), 0u);

    Copy(u"h1");
    const uint32_t newestCleared = IdOf(u"h1");
    ASSERT_EQ(db.ClearCategory(kHistoryCategory), 3u);
    EXPECT_EQ(db.HistoryCount(), 0u);
    EXPECT_EQ(db.ClearCategory(kHistoryCategory), 0u);  // nothing to clear: the undo stays
    Copy(u"h4");                                        // a capture in between stays on top
    EXPECT_EQ(db.Undo(), newestCleared);
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h4", u"h1", u"h3", u"h2"}));
    EXPECT_EQ(db.HistoryCount(), 4u);
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"n1"}));
    auto ids = Ids();
    EXPECT_TRUE(std::is_sorted(ids.rbegin(), ids.rend()));

    const uint32_t n1 = IdOf(u"n1");
    ASSERT_EQ(db.ClearCategory(kNotesCategory), 1u);
    EXPECT_EQ(db.Undo(), n1);
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"n1"}));
    EXPECT_EQ(Ids(), ids);
}

// A new note, an edit and a move are what Undo reverts, the last of them only; an edit keeps the
// entry's place and time, a move goes no further than the list's ends.
TEST_F(DataBaseTest, NotesAreWrittenEditedMovedAndUndone) {
    // Undo answers the Id that the entry of the text has afterwards.
    const auto UndoSelects = [this](const std::u16string& text) {
        const uint32_t id = db.Undo();
        return id != 0 && id == IdOf(text);
    };
    Copy(u"h1");
    Copy(u"h2");
    const double h1Time = db.Items().back()->CaptureTime;
    ASSERT_NE(db.AddNote(u"n1"), 0u);
    ASSERT_NE(db.AddNote(std::u16string(u"n2\0cut", 6)), 0u);
    ASSERT_NE(db.AddNote(u"n3"), 0u);
    EXPECT_EQ(db.AddNote(u""), 0u);
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"n3", u"n2", u"n1"}));
    EXPECT_TRUE(UndoSelects(u"n2"));  // the note below takes the new one's place
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"n2", u"n1"}));
    EXPECT_FALSE(db.CanUndo());  // a note taken back is not kept

    // The edges: the top up, the bottom down, no move; the bottom past the end.
    EXPECT_FALSE(db.MoveWithinList(IdOf(u"n2"), 0));
    EXPECT_FALSE(db.MoveWithinList(IdOf(u"n1"), 1));
    EXPECT_FALSE(db.MoveWithinList(IdOf(u"n1"), UINT32_MAX));
    EXPECT_FALSE(db.CanUndo());
    ASSERT_TRUE(db.MoveWithinList(IdOf(u"n2"), UINT32_MAX));
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"n1", u"n2"}));
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h2", u"h1"}));
    EXPECT_TRUE(UndoSelects(u"n2"));
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"n2", u"n1"}));

    // Dropped beside another note: above or below it, from above or from below.
    ASSERT_NE(db.AddNote(u"n0"), 0u);  // n0 n2 n1
    EXPECT_FALSE(db.MoveBeside(IdOf(u"n0"), IdOf(u"n2"), false));
    EXPECT_FALSE(db.MoveBeside(IdOf(u"n0"), IdOf(u"n0"), true));
    ASSERT_TRUE(db.MoveBeside(IdOf(u"n0"), IdOf(u"n1"), false));
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"n2", u"n0", u"n1"}));
    ASSERT_TRUE(db.MoveBeside(IdOf(u"n1"), IdOf(u"n2"), false));
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"n1", u"n2", u"n0"}));
    ASSERT_TRUE(db.MoveBeside(IdOf(u"n1"), IdOf(u"n0"), true));
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"n2", u"n0", u"n1"}));
    ASSERT_TRUE(db.DeleteItem(IdOf(u"n0")));
    // A history entry into the notes at a place, and back to its own place in time.
    ASSERT_TRUE(db.MoveBeside(IdOf(u"h1"), IdOf(u"n1"), false));
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"n2", u"h1", u"n1"}));
    EXPECT_TRUE(UndoSelects(u"h1"));
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h2", u"h1"}));
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"n2", u"n1"}));

    // The oldest history entry edited: same place, same time, new text. Undo brings the old
    // text back; a delete after an edit is what Undo undoes.
    ASSERT_TRUE(db.ReplaceText(IdOf(u"h1"), u"H1"));
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h2", u"H1"}));
    EXPECT_EQ(db.Items().back()->CaptureTime, h1Time);
    ASSERT_TRUE(db.ReplaceText(IdOf(u"h2"), u"H2"));
    EXPECT_TRUE(UndoSelects(u"h2"));
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h2", u"H1"}));
    ASSERT_TRUE(db.ReplaceText(IdOf(u"n1"), u"N1"));
    ASSERT_TRUE(db.DeleteItem(IdOf(u"n2")));  // the delete is undone, not the edit
    EXPECT_NE(db.Undo(), 0u);
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"n2", u"N1"}));
    // An edited entry that leaves the lists takes its Undo with it.
    ASSERT_TRUE(db.ReplaceText(IdOf(u"H1"), u"x"));
    db.SetHistorySize(1);
    EXPECT_EQ(db.TrimHistory(), 1u);
    EXPECT_FALSE(db.CanUndo());
    auto ids = Ids();
    EXPECT_TRUE(std::is_sorted(ids.rbegin(), ids.rend()));
}

TEST_F(DataBaseTest, SeveralEntriesGoAtOnceAndOneUndoBringsAllBack) {
    Copy(u"n1");
    db.MoveToCategory(IdOf(u"n1"), kNotesCategory);
    for (const char16_t* text : {u"h1", u"h2", u"h3", u"h4"}) {
        Copy(text);
    }
    const auto before = Ids();
    // Of both lists, one Id twice and one unknown: three go, and one Undo brings the three back.
    EXPECT_EQ(db.DeleteItems({IdOf(u"h3"), IdOf(u"n1"), IdOf(u"h1"), IdOf(u"h3"), 7}), 3u);
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h4", u"h2"}));
    EXPECT_EQ(Count(1), 0u);
    EXPECT_EQ(db.HistoryCount(), 2u);
    EXPECT_EQ(db.Undo(), before[1]);
    EXPECT_EQ(Ids(), before);
    EXPECT_EQ(db.DeleteItems({7}), 0u);
    EXPECT_FALSE(db.CanUndo());
    // To the notes' top in the order they had, whatever the order given; a note stays.
    EXPECT_EQ(db.MoveItemsToCategory({IdOf(u"h1"), IdOf(u"n1"), IdOf(u"h3")}, kNotesCategory), 2u);
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"h3", u"h1", u"n1"}));
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h4", u"h2"}));
    EXPECT_EQ(db.HistoryCount(), 2u);
    EXPECT_EQ(db.MoveItemsToCategory({IdOf(u"n1")}, kNotesCategory), 0u);
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"h3", u"h1", u"n1"}));
    // One Undo takes both back to their places and Ids, below a copy made since; the history's
    // duplicate search finds them again.
    Copy(u"h5");
    EXPECT_EQ(db.Undo(), before[1]);
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h5", u"h4", u"h3", u"h2", u"h1"}));
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"n1"}));
    EXPECT_EQ(IdOf(u"h1"), before[3]);
    EXPECT_FALSE(db.CanUndo());
    Copy(u"h1");
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"h1", u"h5", u"h4", u"h3", u"h2"}));
}

TEST_F(DataBaseTest, ChoosingAHistoryEntryBringsItToTheTop) {
    clipboard.onChange = [this] { db.CaptureClipboard(); };  // the system's notification
    for (int i = 0; i < 25; ++i) {
        Copy(std::u16string(1, char16_t(u'a' + i)));
    }
    const auto& oldest = *db.Items().back();
    const double oldTime = oldest.CaptureTime;
    clock.now += 5;
    EXPECT_TRUE(db.MoveToClipboard(oldest.Id));
    EXPECT_EQ(Count(0), 25u);
    EXPECT_EQ(db.Items().front()->Text, u"a");
    EXPECT_GT(db.Items().front()->CaptureTime, oldTime);
    EXPECT_EQ(Texts(0).back(), u"b");

    // With duplicates kept, the chosen entry moves up rather than gaining a copy.
    db.SetKeepDuplicates(true);
    EXPECT_TRUE(db.MoveToClipboard(IdOf(u"m")));
    EXPECT_EQ(Count(0), 25u);
    EXPECT_EQ(Texts(0)[0], u"m");
    EXPECT_EQ(Texts(0)[1], u"a");
}

// While recording is paused no capture follows the write, nor does one that cannot read the
// clipboard: the chosen entry keeps its place, Undo still has what it had, and the next capture
// of its text moves that entry up.
TEST_F(DataBaseTest, AChosenEntryThatIsNotCapturedStaysInItsPlace) {
    db.SetKeepDuplicates(true);
    Copy(u"old");
    Copy(u"chosen");
    Copy(u"deleted");
    Copy(u"new");
    const uint32_t deleted = IdOf(u"deleted");
    ASSERT_TRUE(db.DeleteItem(deleted));
    const auto ids = Ids();
    EXPECT_TRUE(db.MoveToClipboard(IdOf(u"chosen")));
    EXPECT_EQ(clipboard.text, u"chosen");
    EXPECT_EQ(Ids(), ids);
    EXPECT_EQ(db.HistoryCount(), 3u);
    clipboard.openFails = true;
    db.CaptureClipboard();
    clipboard.openFails = false;
    EXPECT_EQ(Ids(), ids);
    EXPECT_TRUE(db.MoveToClipboard(IdOf(u"chosen")));
    db.CaptureClipboard();  // recording again
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"chosen", u"new", u"old"}));
    EXPECT_EQ(db.Undo(), deleted);
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"chosen", u"new", u"deleted", u"old"}));
    // A write that failed chose nothing: a copy of that text made later is a copy of its own.
    clipboard.writeFails = true;
    EXPECT_FALSE(db.MoveToClipboard(IdOf(u"old")));
    clipboard.writeFails = false;
    Copy(u"old");
    EXPECT_EQ(Texts(0),
              (std::vector<std::u16string>{u"old", u"chosen", u"new", u"deleted", u"old"}));
}

TEST_F(DataBaseTest, ChoosingANoteLeavesItAndAddsAHistoryCopy) {
    clipboard.onChange = [this] { db.CaptureClipboard(); };
    Copy(u"note");
    db.MoveToCategory(IdOf(u"note"), kNotesCategory);
    const uint32_t noteId = db.Items().front()->Id;
    EXPECT_TRUE(db.MoveToClipboard(noteId));
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"note"}));
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"note"}));
    EXPECT_EQ(db.Items().back()->Id, noteId);
    EXPECT_FALSE(db.MoveToClipboard(4242));
}

TEST_F(DataBaseTest, AnEntryWhoseWriteFailsKeepsItsPlaceAndReportsIt) {
    Copy(u"note");
    db.MoveToCategory(IdOf(u"note"), kNotesCategory);
    Copy(u"old");
    Copy(u"middle");
    Copy(u"new");
    clipboard.writeFails = true;
    EXPECT_FALSE(db.MoveToClipboard(IdOf(u"middle")));
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"new", u"middle", u"old"}));
    EXPECT_FALSE(db.MoveToClipboard(IdOf(u"old")));  // the last one
    EXPECT_FALSE(db.MoveToClipboard(IdOf(u"new")));  // the first one
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"new", u"middle", u"old"}));
    EXPECT_FALSE(db.MoveToClipboard(IdOf(u"note")));
    EXPECT_EQ(Texts(1), (std::vector<std::u16string>{u"note"}));
    // The oldest entry of the whole list, with nothing after it, goes back to the end.
    db.DeleteItem(IdOf(u"note"));
    EXPECT_FALSE(db.MoveToClipboard(IdOf(u"old")));
    EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"new", u"middle", u"old"}));
    EXPECT_EQ(db.Items().back()->Text, u"old");
    EXPECT_EQ(db.Items().size(), 3u);
}

// An operation that makes no sense for the lists as they are (as a damaged journal may hold)
// changes nothing and is refused.
TEST_F(DataBaseTest, AnOperationThatMakesNoSenseChangesNothing) {
    Copy(u"h1");
    Copy(u"n1");
    ASSERT_TRUE(db.MoveToCategory(IdOf(u"n1"), kNotesCategory));
    Copy(u"h2");
    const auto ids = Ids();
    const uint32_t h1 = db.KeyOf(IdOf(u"h1")), n1 = db.KeyOf(IdOf(u"n1"));
    const auto op = [](ListOperation::Kind what, uint32_t key) {
        ListOperation made;
        made.What = what;
        made.Key = key;
        return made;
    };
    ListOperation toSameList = op(ListOperation::MoveToList, n1);
    toSameList.Category = kNotesCategory;
    ListOperation emptyClear = op(ListOperation::Clear, 0);
    emptyClear.Category = 5;
    ListOperation notOver = op(ListOperation::Trim, 0);
    notOver.Place = 2;
    ListOperation forgetNote = op(ListOperation::Forget, 0);
    forgetNote.Keys = {h1, n1};
    ListOperation forgetTwice = op(ListOperation::Forget, 0);
    forgetTwice.Keys = {h1, h1};
    ListOperation pastTheEnd = op(ListOperation::Restore, 0);
    pastTheEnd.Entries = {{4, 0, kHistoryCategory, 1.0, u"x"}};
    ListOperation outOfOrder = op(ListOperation::Restore, 0);
    outOfOrder.Entries = {{1, 0, kHistoryCategory, 1.0, u"x"}, {1, 0, kHistoryCategory, 1.0, u"y"}};
    for (const ListOperation& refused :
         {op(ListOperation::Remove, 0), op(ListOperation::Remove, 9), op(ListOperation::Replace, 9),
          op(ListOperation::MoveWithin, 9), toSameList, emptyClear, notOver, forgetNote,
          forgetTwice, pastTheEnd, outOfOrder, op(ListOperation::Restore, 0),
          op(static_cast<ListOperation::Kind>(99), h1)}) {
        EXPECT_FALSE(db.Apply(refused)) << refused.What;
        EXPECT_EQ(Ids(), ids);
    }
    // At the end of all, three entries on: the edge that is still a place.
    ListOperation atTheEnd = op(ListOperation::Restore, 0);
    atTheEnd.Entries = {{3, 0, kNotesCategory, 1.0, u"x"}};
    EXPECT_TRUE(db.Apply(atTheEnd));
    EXPECT_EQ(Texts(kNotesCategory), (std::vector<std::u16string>{u"n1", u"x"}));
    // Its Id of 0 fits nowhere: it and every entry above it take new ones, falling along the list.
    const auto restored = Ids();
    ASSERT_EQ(restored.size(), 4u);
    EXPECT_NE(restored.back(), 0u);
    EXPECT_TRUE(std::is_sorted(restored.rbegin(), restored.rend()) &&
                std::adjacent_find(restored.begin(), restored.end()) == restored.end());
    EXPECT_GT(restored.back(), ids.front());
}

TEST_F(DataBaseTest, LoadRecordsStopsAtADamagedTail) {
    Copy(u"present before");
    std::string bytes = test::Record(0, 1.0, u"first") + test::Record(2, 2.0, u"second");
    bytes += test::Record(1, 3.0, u"third").substr(0, 20);
    test::MemoryReadStream in(bytes);
    EXPECT_FALSE(db.LoadRecords(in));
    // LoadRecords adds; only LoadFromFile empties the list first.
    ASSERT_EQ(db.Items().size(), 3u);
    EXPECT_EQ(db.Items().front()->Text, u"second");
    EXPECT_EQ(db.Items().front()->Category, 2);
}

}  // namespace
}  // namespace snipora
