#include <clocale>
#include <cwctype>

#include <locale.h>

#include "view/TextFilter.h"

namespace snipora {
namespace {

// The C library's case rules of its UTF-8 locale; without it, those of ASCII.
bool MapUnits(char16_t* units, size_t count, bool upper) {
    static const locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    for (size_t i = 0; i < count; ++i) {
        const wint_t unit = units[i];
        wint_t mapped = unit;
        if (utf8 != locale_t{}) {
            mapped = upper ? ::towupper_l(unit, utf8) : ::towlower_l(unit, utf8);
        } else if (upper ? (unit >= u'a' && unit <= u'z') : (unit >= u'A' && unit <= u'Z')) {
            mapped = upper ? unit - 32 : unit + 32;
        }
        // A mapping that leaves the plane would not fit one unit.
        units[i] = mapped <= 0xFFFF ? static_cast<char16_t>(mapped) : units[i];
    }
    return true;
}

}  // namespace

const CaseFolding& SystemCaseFolding() {
    static const CaseFolding folding(&MapUnits);
    return folding;
}

}  // namespace snipora
