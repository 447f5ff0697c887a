#include "store/DisplayText.h"

namespace snipora {
namespace {

bool SplitsPair(std::u16string_view text, size_t at) {
    return at > 0 && at < text.size() && text[at - 1] >= 0xD800 && text[at - 1] <= 0xDBFF &&
           text[at] >= 0xDC00 && text[at] <= 0xDFFF;
}

}  // namespace

size_t CutBefore(std::u16string_view text, size_t at) {
    return SplitsPair(text, at) ? at - 1 : at;
}

size_t CutAfter(std::u16string_view text, size_t at) {
    return SplitsPair(text, at) ? at + 1 : at;
}

std::u16string MakeDisplayText(std::u16string_view text) {
    size_t end = CutBefore(text, text.size() < PreviewLength ? text.size() : PreviewLength);
    size_t begin = 0;
    while (begin < end && text[begin] < 33) {
        ++begin;
    }
    while (end > begin && text[end - 1] < 33) {
        --end;
    }
    return std::u16string(text.substr(begin, end - begin));
}

std::u16string MakeBarText(std::u16string_view displayText) {
    std::u16string line(displayText);
    for (char16_t& unit : line) {
        if (unit < 32) {
            unit = u' ';
        }
    }
    return line;
}

}  // namespace snipora
