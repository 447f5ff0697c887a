#include "app/BalloonText.h"

#include <algorithm>
#include <utility>

namespace snipora {
namespace {

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}

// Where a line from `start` that may run up to `full` (exclusive) ends, and where the next
// begins.
std::pair<size_t, size_t> LineEnd(std::u16string_view text, size_t start, size_t full) {
    for (size_t at = full; at > start; --at) {
        if (text[at] == u' ') {
            return {at + 1, at + 1};
        }
    }
    for (size_t at = full; at > start + 1; --at) {
        if (text[at - 1] == u'\\' || text[at - 1] == u'/') {
            return {at, at};
        }
    }
    if (!IsHighSurrogate(text[full - 1])) {
        return {full, full};
    }
    // The pair goes to the next line, or takes a line too short for it whole.
    const size_t cut = full - 1 > start ? full - 1 : full + 1;
    return {cut, cut};
}

}  // namespace

std::u16string BalloonText(std::u16string_view text, size_t lineLength, size_t limit) {
    std::u16string out;
    size_t start = 0;
    while (start < text.size()) {
        const size_t hardEnd = std::min(text.find(u'\n', start), text.size());
        if (hardEnd - start <= lineLength) {
            out.append(text.substr(start, hardEnd - start));
            if (hardEnd < text.size()) {
                out += u'\n';
            }
            start = hardEnd + 1;
            continue;
        }
        const auto [end, next] = LineEnd(text, start, start + lineLength);
        out.append(text.substr(start, end - start));
        out += u'\n';
        start = next;
    }
    if (out.size() > limit) {
        size_t cut = limit - 1;
        if (IsHighSurrogate(out[cut - 1])) {
            --cut;
        }
        out.resize(cut);
        out += u'\u2026';
    }
    return out;
}

}  // namespace snipora
