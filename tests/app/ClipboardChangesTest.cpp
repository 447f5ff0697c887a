#include "app/ClipboardChanges.h"

#include <gtest/gtest.h>

namespace snipora {
namespace {

using Action = ClipboardChanges::Action;

TEST(ClipboardChanges, EachChangeIsRecordedOnceWhicheverReportComesFirst) {
    ClipboardChanges changes;
    EXPECT_EQ(changes.Reported(41, false), Action::Record);  // the chain's notification
    EXPECT_EQ(changes.Reported(41, false), Action::Skip);    // the listener's, of the same
    // A busy thread hears of three changes late, each time with the last number.
    EXPECT_EQ(changes.Reported(44, false), Action::Record);
    EXPECT_EQ(changes.Reported(44, false), Action::Skip);
    EXPECT_EQ(changes.Reported(44, false), Action::Skip);
    // A content read before the last one recorded comes too late: the order stays.
    EXPECT_EQ(changes.Reported(43, false), Action::Skip);
    EXPECT_EQ(changes.Reported(45, false), Action::Record);
    // The count wraps round.
    ClipboardChanges wrapping;
    EXPECT_EQ(wrapping.Reported(0xFFFFFFFEu, false), Action::Record);
    EXPECT_EQ(wrapping.Reported(2, false), Action::Record);
    EXPECT_EQ(wrapping.Reported(0xFFFFFFFFu, false), Action::Skip);
    // This program's own writes (a clipboard put back, a text pasted one by one) are skipped,
    // and so is what came before them; the next copy is recorded.
    changes.Own(47);
    EXPECT_EQ(changes.Reported(46, false), Action::Skip);
    EXPECT_EQ(changes.Reported(47, false), Action::Skip);
    changes.Own(40);  // older than the last acted upon: changes nothing
    EXPECT_EQ(changes.Reported(48, false), Action::Record);
    // Without a number, every report is taken.
    EXPECT_EQ(changes.Reported(0, false), Action::Record);
    EXPECT_EQ(changes.Reported(0, false), Action::Record);
    EXPECT_EQ(changes.Withheld(), 0u);
}

TEST(ClipboardChanges, WhatAPauseWithheldStaysOutUntilTheClipboardChanges) {
    ClipboardChanges changes;
    EXPECT_EQ(changes.Reported(10, false), Action::Record);
    EXPECT_EQ(changes.Reported(11, true), Action::Skip);
    EXPECT_EQ(changes.Withheld(), 11u);
    EXPECT_EQ(changes.Reported(12, true), Action::Skip);
    EXPECT_EQ(changes.Withheld(), 12u);
    // Resumed: the chain's repair reads the same content again, and takes nothing.
    EXPECT_EQ(changes.Reported(12, false), Action::Skip);
    EXPECT_EQ(changes.Withheld(), 12u);
    EXPECT_EQ(changes.Reported(13, false), Action::Record);
    EXPECT_EQ(changes.Withheld(), 0u);
    // Without a number, a paused report withholds nothing that could be stored.
    EXPECT_EQ(changes.Reported(0, true), Action::Skip);
    EXPECT_EQ(changes.Withheld(), 0u);
}

TEST(ClipboardChanges, TheNextStartRecordsNothingAPauseWithheld) {
    // The start finds the content that the last run withheld: nothing is taken, and the number
    // stays stored for a start after this one.
    ClipboardChanges same(12);
    EXPECT_EQ(same.Reported(12, false), Action::Skip);
    EXPECT_EQ(same.Withheld(), 12u);
    EXPECT_EQ(same.Reported(13, false), Action::Record);
    EXPECT_EQ(same.Withheld(), 0u);
    // Copied anew since: the start takes it.
    ClipboardChanges moved(12);
    EXPECT_EQ(moved.Reported(14, false), Action::Record);
    EXPECT_EQ(moved.Withheld(), 0u);
    // Started paused: the content stays withheld under its number.
    ClipboardChanges paused(12);
    EXPECT_EQ(paused.Reported(12, true), Action::Skip);
    EXPECT_EQ(paused.Withheld(), 12u);
}

}  // namespace
}  // namespace snipora
