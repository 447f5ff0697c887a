#include "store/ExcludedPrograms.h"

#include <algorithm>

namespace snipora {
namespace {

// File names on Windows match without regard to case; the ASCII letters and those of Latin-1
// cover the names of programs in practice.
char16_t Fold(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<char16_t>(c + 0x20);
    }
    return c;
}

std::u16string Folded(std::u16string_view text) {
    std::u16string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(), Fold);
    return folded;
}

std::u16string_view Trimmed(std::u16string_view text) {
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

void ExcludedPrograms::Assign(std::u16string_view list) {
    names_.clear();
    while (!list.empty()) {
        const size_t end = std::min(list.find(u';'), list.size());
        if (const auto name = Trimmed(list.substr(0, end)); !name.empty()) {
            names_.push_back(Folded(name));
        }
        list.remove_prefix(std::min(end + 1, list.size()));
    }
}

bool ExcludedPrograms::Contains(std::u16string_view programPath) const {
    const size_t slash = programPath.find_last_of(u"\\/");
    const std::u16string name =
        Folded(slash == std::u16string_view::npos ? programPath : programPath.substr(slash + 1));
    return !name.empty() && std::find(names_.begin(), names_.end(), name) != names_.end();
}

}  // namespace snipora
