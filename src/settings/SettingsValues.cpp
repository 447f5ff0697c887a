#include "settings/SettingsValues.h"

#include <algorithm>
#include <cstdint>

namespace snipora::settings {
namespace {

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

std::u16string_view TrimBlanks(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool HasLineBreakOrZero(std::u16string_view text) {
    return text.find_first_of(std::u16string_view(u"\r\n\0", 3)) != std::u16string_view::npos;
}

}  // namespace

std::optional<int32_t> ParseSettingInt(std::u16string_view text) {
    text = TrimBlanks(text);
    // Past 32 bits a number is held at the end of the range it points to; every digit is still
    // checked, so that "99999x" stays no number.
    constexpr uint64_t kPast = uint64_t{1} << 33;
    if (text.size() >= 3 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        uint64_t value = 0;
        for (char16_t c : text.substr(2)) {
            const int digit = HexDigit(c);
            if (digit < 0) {
                return std::nullopt;
            }
            value = std::min(value * 16 + static_cast<uint64_t>(digit), kPast);
        }
        if (value > 0xFFFFFFFFu) {
            return INT32_MAX;
        }
        return static_cast<int32_t>(static_cast<uint32_t>(value));
    }
    bool negative = false;
    if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    // Magnitudes up to 2^31 fit the negative side; the positive side stops one short.
    const uint64_t limit = negative ? 2147483648u : 2147483647u;
    uint64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = std::min(value * 10 + static_cast<uint64_t>(c - u'0'), kPast);
    }
    value = std::min(value, limit);
    return negative ? static_cast<int32_t>(-static_cast<int64_t>(value))
                    : static_cast<int32_t>(value);
}

int32_t SettingIntOr(std::u16string_view text, int32_t fallback) {
    return ParseSettingInt(text).value_or(fallback);
}

std::u16string FormatSettingInt(int32_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

const char* IniSectionProblem(std::u16string_view section) {
    if (section.empty()) {
        return "the section name is empty";
    }
    if (HasLineBreakOrZero(section) || section.find(u']') != std::u16string_view::npos) {
        return "the section name holds a line break, a zero or ']'";
    }
    return nullptr;
}

const char* IniKeyProblem(std::u16string_view key) {
    if (TrimBlanks(key).empty()) {
        return "the key name is empty";
    }
    if (HasLineBreakOrZero(key) || key.find(u'=') != std::u16string_view::npos) {
        return "the key name holds a line break, a zero or '='";
    }
    const char16_t first = TrimBlanks(key).front();
    if (first == u'[' || first == u';') {
        return "the key name starts with '[' or ';'";
    }
    return nullptr;
}

const char* IniValueProblem(std::u16string_view value) {
    if (HasLineBreakOrZero(value)) {
        return "the value holds a line break or a zero";
    }
    return nullptr;
}

std::u16string JoinSeparatorOf(std::u16string_view setting) {
    std::u16string_view name = setting;
    while (!name.empty() && (name.front() == u' ' || name.front() == u'\t')) {
        name.remove_prefix(1);
    }
    while (!name.empty() && (name.back() == u' ' || name.back() == u'\t')) {
        name.remove_suffix(1);
    }
    std::u16string lower(name);
    for (char16_t& unit : lower) {
        if (unit >= u'A' && unit <= u'Z') {
            unit = static_cast<char16_t>(unit - u'A' + u'a');
        }
    }
    if (lower.empty() || lower == u"newline") {
        return u"\r\n";
    }
    if (lower == u"tab") {
        return u"\t";
    }
    if (lower == u"comma") {
        return u",";
    }
    if (lower == u"space") {
        return u" ";
    }
    if (lower == u"none") {
        return u"";
    }
    return std::u16string(setting);
}

}  // namespace snipora::settings
