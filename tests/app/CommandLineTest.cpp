#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace snipora {
namespace {

Switch Parse(std::initializer_list<std::u16string_view> arguments) {
    const std::vector<std::u16string_view> list(arguments);
    return ParseSwitches(list);
}

TEST(CommandLineTest, SwitchesAreKnownByNameInAnyCase) {
    EXPECT_EQ(Parse({}), Switch::None);
    EXPECT_EQ(Parse({u"/pause"}), Switch::Pause);
    EXPECT_EQ(Parse({u"-RESUME"}), Switch::Resume);
    EXPECT_EQ(Parse({u"/Toggle"}), Switch::Toggle);
    EXPECT_EQ(Parse({u"/exit"}), Switch::Exit);
    // Anything else, and more than one, is unknown: the start shows the switches and stops.
    for (auto bad : {u"pause", u"/", u"", u"/pauses", u"/paus", u"//pause", u"/pause ", u"\\pause",
                     u"/exİt"}) {
        EXPECT_EQ(Parse({bad}), Switch::Unknown) << std::u16string(bad).size();
    }
    EXPECT_EQ(Parse({u"/pause", u"/exit"}), Switch::Unknown);
    EXPECT_EQ(Parse({u"/pause", u""}), Switch::Unknown);

    EXPECT_EQ(SwitchesHelp(),
              u"Snipora knows these command line switches:\n"
              u"\n/pause \u2013 stop recording copies"
              u"\n/resume \u2013 record copies again"
              u"\n/toggle \u2013 pause or resume"
              u"\n/exit \u2013 close the running Snipora, saving first");
}

TEST(CommandLineTest, TheRunningCopyTakesOnlyAKnownSwitchWholeAndEnded) {
    for (Switch command : {Switch::Pause, Switch::Resume, Switch::Toggle, Switch::Exit}) {
        const std::u16string payload = SwitchPayload(command);
        EXPECT_EQ(SwitchFromPayload(kSwitchDataTag, payload.data(), payload.size() * 2), command);
    }
    EXPECT_EQ(SwitchPayload(Switch::Pause), std::u16string(u"pause\0", 6));
    EXPECT_EQ(SwitchPayload(Switch::Unknown), u"");

    // From an unaligned buffer, as another process may send it.
    alignas(2) char buffer[16] = {};
    const std::u16string exit = SwitchPayload(Switch::Exit);
    std::memcpy(buffer + 1, exit.data(), exit.size() * 2);
    EXPECT_EQ(SwitchFromPayload(kSwitchDataTag, buffer + 1, exit.size() * 2), Switch::Exit);

    const std::u16string pause = SwitchPayload(Switch::Pause);
    const size_t bytes = pause.size() * 2;
    EXPECT_EQ(SwitchFromPayload(kSwitchDataTag + 1, pause.data(), bytes), std::nullopt);
    EXPECT_EQ(SwitchFromPayload(kSwitchDataTag, nullptr, bytes), std::nullopt);
    EXPECT_EQ(SwitchFromPayload(kSwitchDataTag, pause.data(), bytes - 1), std::nullopt);
    EXPECT_EQ(SwitchFromPayload(kSwitchDataTag, pause.data(), 0), std::nullopt);
    const std::u16string cases[] = {
        std::u16string(u"pausex", 6),     // no terminating zero
        std::u16string(u"\0", 1),         // empty
        std::u16string(u"PAUSE\0", 6),    // the sender writes lower case only
        std::u16string(u"pa\0se\0", 6),   // a zero inside
        std::u16string(u"pause\0\0", 7),  // a second zero
        std::u16string(u"/pause\0", 7),   // a command line, not a name
        std::u16string(u"toggles\0", 8),  // longer than any name
        std::u16string(u"resume\0", 7),   // the longest name, whole
    };
    for (size_t i = 0; i + 1 < std::size(cases); ++i) {
        EXPECT_EQ(SwitchFromPayload(kSwitchDataTag, cases[i].data(), cases[i].size() * 2),
                  std::nullopt)
            << i;
    }
    EXPECT_EQ(SwitchFromPayload(kSwitchDataTag, cases[7].data(), cases[7].size() * 2),
              Switch::Resume);
}

}  // namespace
}  // namespace snipora
