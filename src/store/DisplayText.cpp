#include "store/DisplayText.h"

namespace snipora {

std::u16string MakeDisplayText(std::u16string_view text) {
    size_t end = text.size() < PreviewLength ? text.size() : PreviewLength;
    if (end == PreviewLength && end < text.size() && text[end - 1] >= 0xD800 &&
        text[end - 1] <= 0xDBFF) {
        --end;
    }
    size_t begin = 0;
    while (begin < end && text[begin] < 33) {
        ++begin;
    }
    while (end > begin && text[end - 1] < 33) {
        --end;
    }
    return std::u16string(text.substr(begin, end - begin));
}

}  // namespace snipora
