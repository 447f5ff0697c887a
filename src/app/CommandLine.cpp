#include "app/CommandLine.h"

#include <cstring>

namespace snipora {
namespace {

struct SwitchName {
    Switch command;
    std::u16string_view name;
    std::u16string_view help;
};

constexpr SwitchName kSwitches[] = {
    {Switch::Pause, u"pause", u"stop recording copies"},
    {Switch::Resume, u"resume", u"record copies again"},
    {Switch::Toggle, u"toggle", u"pause or resume"},
    {Switch::Exit, u"exit", u"close the running Snipora, saving first"},
};

constexpr size_t kLongestName = 6;

char16_t Lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

std::optional<Switch> Named(std::u16string_view text, bool anyCase) {
    for (const SwitchName& known : kSwitches) {
        if (text.size() != known.name.size()) {
            continue;
        }
        bool same = true;
        for (size_t i = 0; i < text.size() && same; ++i) {
            same = (anyCase ? Lower(text[i]) : text[i]) == known.name[i];
        }
        if (same) {
            return known.command;
        }
    }
    return std::nullopt;
}

}  // namespace

Switch ParseSwitches(std::span<const std::u16string_view> arguments) {
    if (arguments.empty()) {
        return Switch::None;
    }
    if (arguments.size() > 1) {
        return Switch::Unknown;
    }
    std::u16string_view argument = arguments.front();
    if (argument.size() < 2 || (argument.front() != u'/' && argument.front() != u'-')) {
        return Switch::Unknown;
    }
    argument.remove_prefix(1);
    return Named(argument, true).value_or(Switch::Unknown);
}

std::u16string SwitchesHelp() {
    std::u16string text = u"Snipora knows these command line switches:\n";
    for (const SwitchName& known : kSwitches) {
        text += u"\n/";
        text += known.name;
        // A dash, not a tab: a message box may draw no room for a tab, running the name into
        // its help ("/resumerecord").
        text += u" \u2013 ";
        text += known.help;
    }
    return text;
}

std::u16string SwitchPayload(Switch command) {
    for (const SwitchName& known : kSwitches) {
        if (known.command == command) {
            return std::u16string(known.name) + u'\0';
        }
    }
    return {};
}

std::optional<Switch> SwitchFromPayload(uintptr_t tag, const void* data, size_t bytes) {
    constexpr size_t kUnit = sizeof(char16_t);
    if (tag != kSwitchDataTag || data == nullptr || bytes % kUnit != 0 || bytes < 2 * kUnit ||
        bytes > (kLongestName + 1) * kUnit) {
        return std::nullopt;
    }
    // The sender's buffer need not be aligned for char16_t: copied out first.
    char16_t units[kLongestName + 1] = {};
    std::memcpy(units, data, bytes);
    const size_t count = bytes / kUnit - 1;
    if (units[count] != u'\0') {
        return std::nullopt;
    }
    // A zero inside the name makes it no switch's name.
    return Named(std::u16string_view(units, count), false);
}

}  // namespace snipora
