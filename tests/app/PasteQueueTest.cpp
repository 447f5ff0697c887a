#include "app/PasteQueue.h"

#include <gtest/gtest.h>

namespace snipora {
namespace {

using Texts = std::vector<std::u16string>;

std::u16string Text(const std::u16string* text) {
    return text != nullptr ? *text : u"(none)";
}

TEST(PasteQueue, EachPressPastesTheNextTextAndNoPressIsLost) {
    PasteQueue queue;
    EXPECT_EQ(queue.Pressed(), nullptr) << "no queue";
    EXPECT_FALSE(queue.Start({}));
    EXPECT_FALSE(queue.Running());
    EXPECT_FALSE(queue.Start({u"a", u"b\r\nB", u"c", u"d"}));
    EXPECT_EQ(queue.BarText(3), u"Next (1 of 4): a");
    EXPECT_EQ(Text(queue.Pressed()), u"a");
    // Two presses while "a" is still being pasted wait their turn, one after the other.
    EXPECT_EQ(queue.Pressed(), nullptr);
    EXPECT_EQ(queue.Pressed(), nullptr);
    EXPECT_EQ(queue.Waiting(), 2u);
    EXPECT_EQ(Text(queue.Finished(true)), u"b\r\nB");
    EXPECT_EQ(queue.BarText(3), u"Next (2 of 4): b  ");
    // The window closed: "b" is skipped and stays next; the press that waited tries it again.
    EXPECT_EQ(Text(queue.Finished(false)), u"b\r\nB");
    EXPECT_EQ(queue.Position(), 2u);
    EXPECT_EQ(queue.Finished(true), nullptr) << "no press waits";
    EXPECT_EQ(Text(queue.Pressed()), u"c");
    EXPECT_EQ(queue.Finished(true), nullptr);
    EXPECT_TRUE(queue.Running());
    // The last press, and one too many while it runs: the queue ends after the last text.
    EXPECT_EQ(Text(queue.Pressed()), u"d");
    EXPECT_EQ(queue.Pressed(), nullptr);
    EXPECT_EQ(queue.Finished(true), nullptr);
    EXPECT_FALSE(queue.Running());
    EXPECT_EQ(queue.Waiting(), 0u);
    EXPECT_EQ(queue.BarText(10), u"");
    EXPECT_EQ(queue.Pressed(), nullptr);
}

TEST(PasteQueue, ANewQueueReplacesTheRunningOneAndStopEndsIt) {
    PasteQueue queue;
    queue.Start({u"a", u"b"});
    EXPECT_EQ(Text(queue.Pressed()), u"a");
    EXPECT_EQ(queue.Pressed(), nullptr);
    EXPECT_TRUE(queue.Start({u"x", u"y", u"z"})) << "the running queue was replaced";
    // The old paste's end and its waiting press are no business of the new queue.
    EXPECT_EQ(queue.Finished(true), nullptr);
    EXPECT_EQ(queue.BarText(5), u"Next (1 of 3): x");
    EXPECT_EQ(Text(queue.Pressed()), u"x");
    queue.Stop();
    EXPECT_FALSE(queue.Running());
    EXPECT_EQ(queue.Finished(true), nullptr);
    EXPECT_FALSE(queue.Start({u"again"})) << "nothing ran";
}

}  // namespace
}  // namespace snipora
