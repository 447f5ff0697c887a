#include "settings/DialogValues.h"

#include <utility>

#include "common/Names.h"
#include "settings/Keys.h"

namespace snipora::settings {

int32_t Clamp(int32_t value, int32_t min, int32_t max) {
    if (max < min) {
        std::swap(min, max);
    }
    if (value < min) {
        return min;
    }
    if (value > max) {
        return max;
    }
    return value;
}

int32_t FieldValue(std::u16string_view text, int32_t fallback, int32_t min, int32_t max) {
    size_t pos = 0;
    while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t')) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    const size_t digits = pos;
    // Held at a bound well beyond any range as it grows, so no text can overflow it.
    int64_t number = 0;
    while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
        number = number * 10 + (text[pos] - u'0');
        if (number > INT32_MAX) {
            number = INT32_MAX;
        }
        ++pos;
    }
    if (pos == digits) {
        return Clamp(fallback, min, max);
    }
    while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t')) {
        ++pos;
    }
    if (pos != text.size()) {
        return Clamp(fallback, min, max);
    }
    return Clamp(static_cast<int32_t>(negative ? -number : number), min, max);
}

HistoryLengths HoldHistoryLengths(int32_t size, int32_t shown) {
    const int32_t kept = Clamp(size, 1, keys::kMaxHistorySize);
    return {kept, Clamp(shown, 1, kept)};
}

ThemeChoice ParseThemeChoice(std::u16string_view text) {
    if (EqualIgnoringCase(text, u"light")) {
        return ThemeChoice::Light;
    }
    if (EqualIgnoringCase(text, u"dark")) {
        return ThemeChoice::Dark;
    }
    return ThemeChoice::System;
}

std::u16string_view ThemeChoiceName(ThemeChoice choice) {
    switch (choice) {
        case ThemeChoice::Light:
            return u"light";
        case ThemeChoice::Dark:
            return u"dark";
        case ThemeChoice::System:
            break;
    }
    return u"system";
}

}  // namespace snipora::settings
