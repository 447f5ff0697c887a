#include <windows.h>

#include <vector>

#include "view/TextFilter.h"

namespace snipora {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units go to the W functions");

// The system's case rules, in the invariant locale so that no language's special rules (the
// dotted and dotless i) apply. The simple mappings keep one unit for one unit.
bool MapUnits(char16_t* units, size_t count, bool upper) {
    const int length = static_cast<int>(count);
    std::vector<wchar_t> source(units, units + count);
    return ::LCMapStringEx(LOCALE_NAME_INVARIANT, upper ? LCMAP_UPPERCASE : LCMAP_LOWERCASE,
                           source.data(), length, reinterpret_cast<wchar_t*>(units), length,
                           nullptr, nullptr, 0) == length;
}

}  // namespace

const CaseFolding& SystemCaseFolding() {
    static const CaseFolding folding(&MapUnits);
    return folding;
}

}  // namespace snipora
