#include "app/ClipboardSnapshot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/DataBase.h"
#include "store/FileSystem.h"
#include "support/FakeClipboard.h"

namespace snipora {
namespace {

using test::FakeClipboard;

// Three copies read while the window's thread was busy are recorded in their order, though
// the live clipboard holds only the last; writes still reach the live clipboard.
TEST(ClipboardSnapshot, EveryCopyReadEarlyIsRecordedInItsOrder) {
    FakeClipboard live;
    SnapshotClipboard clipboard(live);
    CDataBase lists(clipboard, PlatformFileSystem());
    int window = 0;
    lists.SetWindow(&window);

    std::vector<ClipboardSnapshot> read;
    for (const char16_t* text : {u"first", u"second", u"third"}) {
        live.Put(text);
        read.push_back(TakeSnapshot(live, &window, static_cast<uint32_t>(read.size() + 1)));
    }
    for (const ClipboardSnapshot& snapshot : read) {
        clipboard.Serve(&snapshot);
        lists.CaptureClipboard();
    }
    clipboard.Serve(nullptr);
    // Read once each, the owner first as the capture asks; served, the live one is not asked.
    EXPECT_EQ(live.asked, "PHPHPH");
    std::vector<std::u16string> texts;
    for (const auto& item : lists.Items()) {
        texts.emplace_back(item->Text);
    }
    EXPECT_EQ(texts, (std::vector<std::u16string>{u"third", u"second", u"first"}));

    EXPECT_TRUE(clipboard.WriteText(&window, u"written"));
    EXPECT_EQ(live.text, u"written");
    live.Put(u"live");
    lists.CaptureClipboard();  // nothing served: the live clipboard
    EXPECT_EQ(std::u16string(lists.Items().front()->Text), u"live");
}

TEST(ClipboardSnapshot, APrivateContentsTextIsNeverReadAndAPauseReadsNothing) {
    FakeClipboard live;
    live.Put(u"password");
    live.isPrivate = true;
    const ClipboardSnapshot secret = TakeSnapshot(live, nullptr, 7);
    EXPECT_EQ(live.asked, "P");
    EXPECT_EQ(live.lastOwner, nullptr);
    EXPECT_TRUE(secret.isPrivate);
    EXPECT_EQ(secret.text, u"");

    // Unreadable (another program holds it open): nothing recorded, the capture told so.
    live.isPrivate = false;
    live.openFails = true;
    const ClipboardSnapshot held = TakeSnapshot(live, nullptr, 8);
    EXPECT_EQ(held.result, ClipboardRead::OpenFailed);

    SnapshotClipboard clipboard(live);
    CDataBase lists(clipboard, PlatformFileSystem());
    live.openFails = false;
    for (const ClipboardSnapshot* snapshot : {&secret, &held}) {
        clipboard.Serve(snapshot);
        lists.CaptureClipboard();
    }
    // Taken during a pause: the number alone.
    ClipboardSnapshot paused;
    paused.sequence = 9;
    clipboard.Serve(&paused);
    lists.CaptureClipboard();
    EXPECT_TRUE(lists.Items().empty());
}

}  // namespace
}  // namespace snipora
