#include "store/ExcludedPrograms.h"

#include <algorithm>

#include "common/Names.h"

namespace snipora {
namespace {

// File names on Windows match without regard to case; the ASCII letters and those of Latin-1
// cover the names of programs in practice.
std::u16string Folded(std::u16string_view text) {
    std::u16string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(), FoldLatin);
    return folded;
}

}  // namespace

void ExcludedPrograms::Assign(std::u16string_view list) {
    names_.clear();
    while (!list.empty()) {
        const size_t end = std::min(list.find(u';'), list.size());
        if (const auto name = TrimBlanks(list.substr(0, end)); !name.empty()) {
            names_.push_back(Folded(name));
        }
        list.remove_prefix(std::min(end + 1, list.size()));
    }
}

bool ExcludedPrograms::Contains(std::u16string_view programPath) const {
    const std::u16string name = Folded(FileNameOf(programPath));
    return !name.empty() && std::find(names_.begin(), names_.end(), name) != names_.end();
}

}  // namespace snipora
