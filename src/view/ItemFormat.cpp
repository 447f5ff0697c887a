#include "view/ItemFormat.h"

#include <algorithm>
#include <cmath>

namespace snipora {
namespace {

constexpr size_t kMaxSeparator = 4;
constexpr size_t kMaxGroups = 8;
}  // namespace

ShortText FormatSize(uint32_t size, std::u16string_view separator, std::u16string_view grouping) {
    separator = separator.substr(0, kMaxSeparator);
    // The groups from the right; a closing 0 repeats the last one to the left end.
    unsigned groups[kMaxGroups] = {};
    size_t groupCount = 0;
    bool repeat = false;
    for (size_t pos = 0; pos <= grouping.size() && groupCount < kMaxGroups;) {
        const size_t end = std::min(grouping.find(u';', pos), grouping.size());
        unsigned value = 0;
        bool digits = false;
        for (size_t i = pos; i < end; ++i) {
            if (grouping[i] >= u'0' && grouping[i] <= u'9' && value < 10) {
                value = value * 10 + (grouping[i] - u'0');
                digits = true;
            }
        }
        if (!digits || value == 0) {
            repeat = value == 0 && digits && end == grouping.size() && groupCount > 0;
            break;
        }
        groups[groupCount++] = value;
        pos = end + 1;
    }

    // Written backwards, then turned round.
    ShortText text;
    auto put = [&text](char16_t unit) {
        if (text.length < ShortText::Capacity) {
            text.units[text.length++] = unit;
        }
    };
    put(u'b');
    size_t group = 0;
    unsigned inGroup = 0;
    bool grouped = groupCount > 0;
    do {
        if (grouped && inGroup == groups[group]) {
            for (size_t i = separator.size(); i-- > 0;) {
                put(separator[i]);
            }
            inGroup = 0;
            if (group + 1 < groupCount) {
                ++group;
            } else if (!repeat) {
                grouped = false;
            }
        }
        put(static_cast<char16_t>(u'0' + size % 10));
        ++inGroup;
        size /= 10;
    } while (size != 0);
    std::reverse(text.units, text.units + text.length);
    return text;
}

bool ShowsTimeOnly(double time, double now) {
    return std::trunc(time) == std::trunc(now);
}

RowBackground RowBackgroundFor(bool selected, size_t previousSiblings) {
    if (selected) {
        return RowBackground::Highlight;
    }
    return previousSiblings % 2 == 0 ? RowBackground::White : RowBackground::Grey;
}

}  // namespace snipora
