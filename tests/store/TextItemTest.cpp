#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "common/OleDate.h"
#include "store/TextItem.h"
#include "support/FakeClipboard.h"
#include "support/MemoryStreams.h"
#include "support/Records.h"

namespace snipora {
namespace {

using test::FakeClipboard;
using test::MemoryReadStream;
using test::MemoryWriteStream;
using test::Record;

TEST(TextItem, ConstructionIsEmptyAndStampedNow) {
    const double before = CurrentOleDate();
    CTextItem item;
    EXPECT_EQ(item.Id, 0u);
    EXPECT_EQ(item.Category, 0);
    EXPECT_TRUE(item.Text.empty());
    EXPECT_GE(item.CaptureTime, before);
    EXPECT_LE(item.CaptureTime, CurrentOleDate());
    // The day is today's on the local calendar, to the day: a month or a day off fails.
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    const double today =
        OleDateFromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, 0, 0, 0, 0);
    // Once more past midnight, should the clock have passed it between the two readings.
    const double day = std::floor(item.CaptureTime);
    EXPECT_TRUE(day == today || day == today - 1) << day << " " << today;
}

TEST(TextItem, ReadFromClipboardOutcomes) {
    FakeClipboard clipboard;
    CTextItem item;
    int owner = 0;

    // No text announced: false, the clipboard is not even opened.
    EXPECT_FALSE(item.ReadFromClipboard(clipboard, &owner));
    EXPECT_EQ(clipboard.lastOwner, nullptr);

    clipboard.Put(u"hello");
    clipboard.openFails = true;
    EXPECT_FALSE(item.ReadFromClipboard(clipboard, &owner));
    EXPECT_TRUE(item.Text.empty());

    clipboard.openFails = false;
    EXPECT_TRUE(item.ReadFromClipboard(clipboard, &owner));
    EXPECT_EQ(item.Text, u"hello");
    EXPECT_EQ(item.Length, 5u);
    EXPECT_EQ(clipboard.lastOwner, &owner);

    // Text announced but no Unicode block: true, the text stays, the time is set again.
    clipboard.hasUnicode = false;
    item.CaptureTime = 1.0;
    EXPECT_TRUE(item.ReadFromClipboard(clipboard, &owner));
    EXPECT_EQ(item.Text, u"hello");
    EXPECT_EQ(item.Length, 5u);
    EXPECT_GT(item.CaptureTime, 1.0);

    clipboard.Put(u"");
    EXPECT_TRUE(item.ReadFromClipboard(clipboard, &owner));
    EXPECT_EQ(item.Length, 0u);
}

TEST(TextItem, WorkedExampleRecordIsByteExact) {
    CTextItem item;
    item.Category = 1;
    item.CaptureTime = 39814.5;
    item.Text = u"abc";
    MemoryWriteStream out;
    item.SaveToStream(out);
    const unsigned char expected[] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                      0xd0, 0x70, 0xe3, 0x40, 0x03, 0x00, 0x00, 0x00,
                                      0x61, 0x00, 0x62, 0x00, 0x63, 0x00};
    EXPECT_EQ(out.bytes, std::string(reinterpret_cast<const char*>(expected), sizeof expected));
}

TEST(TextItem, StreamRoundTripKeepsEverythingButId) {
    CTextItem item;
    item.Id = 100123;
    item.Category = 7;
    item.CaptureTime = 45000.123456;
    item.Text = u"line one\r\nline two \u00e9\u4e2d\U0001F600";
    MemoryWriteStream out;
    item.SaveToStream(out);

    MemoryReadStream in(out.bytes);
    CTextItem loaded;
    EXPECT_TRUE(loaded.LoadFromStream(in));
    EXPECT_EQ(loaded.Id, 0u);
    EXPECT_EQ(loaded.Category, 7);
    EXPECT_EQ(loaded.CaptureTime, 45000.123456);
    EXPECT_EQ(loaded.Text, item.Text);
    EXPECT_EQ(loaded.Length, item.Text.size());
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(TextItem, StoredCountStaysWhenTextStopsAtZeroUnit) {
    MemoryReadStream in(Record(0, 1.0, std::u16string(u"ab\0cd", 5)));
    CTextItem item;
    EXPECT_TRUE(item.LoadFromStream(in));
    EXPECT_EQ(item.Text, u"ab");
    EXPECT_EQ(item.Length, 5u);
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(TextItem, DamagedRecordsLeaveDefinedFields) {
    const std::string whole = Record(1, 39814.5, u"abcdef");
    // Every cut inside the record is reported; the item is left empty and defined. What there
    // is of the fixed part still counts: the category from 4 bytes, the time from 12.
    for (size_t cut = 1; cut < whole.size(); ++cut) {
        MemoryReadStream in(whole.substr(0, cut));
        CTextItem item(2.0);
        item.Category = 9;
        item.Text = u"old";
        EXPECT_FALSE(item.LoadFromStream(in)) << "cut at " << cut;
        EXPECT_TRUE(item.Text.empty());
        EXPECT_EQ(item.Length, 0u);
        EXPECT_EQ(item.Category, cut >= 4 ? 1 : 9) << "cut at " << cut;
        EXPECT_EQ(item.CaptureTime, cut >= 12 ? 39814.5 : 2.0) << "cut at " << cut;
    }
    // A count far beyond the data allocates nothing for it (ASan would fail an 8 GB request).
    std::string huge = Record(0, 1.0, u"xy");
    huge[12] = huge[13] = huge[14] = huge[15] = '\xff';
    MemoryReadStream in(huge);
    CTextItem item;
    EXPECT_FALSE(item.LoadFromStream(in));
    EXPECT_EQ(item.Length, 0u);
    EXPECT_TRUE(item.Text.empty());
}

}  // namespace
}  // namespace snipora
