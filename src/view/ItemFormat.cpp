#include "view/ItemFormat.h"

#include <algorithm>
#include <cmath>

#include "store/DisplayText.h"
#include "view/ItemNode.h"

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
        if (text.length < ShortText::kCapacity) {
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

namespace {

std::u16string Decimal(uint32_t value) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return digits;
}

// What a header counts: every kept entry of its list, however many the list shows; while
// filtering, the matches.
uint32_t Counted(const CItemNode& category) {
    return category.Filtered ? category.Size : category.Total;
}

}  // namespace

bool NeedsScriptLayout(std::u16string_view caption) {
    return std::any_of(caption.begin(), caption.end(), [](char16_t unit) {
        return (unit >= 0xD800 && unit <= 0xDFFF) || unit == 0x200D ||
               (unit >= 0xFE00 && unit <= 0xFE0F);
    });
}

std::u16string BarTextOf(const CDataBase& lists) {
    for (const ItemEntry& item : lists.Items()) {
        if (item->Category == kHistoryCategory) {
            return MakeBarText(MakeDisplayText(item->Text));
        }
    }
    return {};
}

std::u16string HeaderTitle(const CItemNode& category) {
    std::u16string title = category.Caption + u" (" + Decimal(Counted(category));
    if (category.Filtered) {
        title += u" of " + Decimal(category.Total);
    }
    return title + u")";
}

std::u16string ShowAllText(uint32_t more) {
    return u"Show all (" + Decimal(more) + u" more)";
}

HeaderLines FitHeaderTitle(const CItemNode& category, int room,
                           const std::function<int(std::u16string_view)>& measure) {
    std::u16string title = HeaderTitle(category);
    if (measure(title) <= room) {
        return {std::move(title), {}};
    }
    const size_t countAt = category.Caption.size();
    std::u16string count = title.substr(countAt + 1);  // "(3 of 25)"
    if (measure(category.Caption) <= room) {
        return {category.Caption, std::move(count)};
    }
    for (size_t keep = CutBefore(category.Caption, countAt - (countAt > 0 ? 1 : 0)); keep > 0;
         keep = CutBefore(category.Caption, keep - 1)) {
        size_t end = keep;
        while (end > 0 && category.Caption[end - 1] == u' ') {
            --end;
        }
        std::u16string cut = category.Caption.substr(0, end) + u"\u2026";
        if (end > 0 && measure(cut) <= room) {
            return {std::move(cut), std::move(count)};
        }
    }
    return {std::move(count), {}};
}

std::u16string SpokenText(const CItemNode& node, std::u16string_view time,
                          std::u16string_view size) {
    if (node.IsCategory) {
        const uint32_t counted = Counted(node);
        std::u16string text = node.Caption + u", " + Decimal(counted);
        if (node.Filtered) {
            text += u" of " + Decimal(node.Total);
        }
        return text + (counted == 1 && !node.Filtered ? u" entry" : u" entries");
    }
    if (node.IsShowAll()) {
        return ShowAllText(node.More);
    }
    const std::u16string_view caption = node.Caption;
    const std::u16string_view firstLine = caption.substr(0, caption.find_first_of(u"\r\n"));
    if (node.Category != 0) {
        return std::u16string(firstLine);
    }
    std::u16string text(time);
    text += u", ";
    text += size;
    text += u": ";
    text += firstLine;
    return text;
}

}  // namespace snipora
