#include "view/TextFilter.h"

#include <algorithm>
#include <type_traits>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define SNIPORA_WIDE_BLOCKS 1
#endif

namespace snipora {

namespace {

#if defined(SNIPORA_WIDE_BLOCKS)
bool WideBlocksAvailable() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
bool wideBlocks = WideBlocksAvailable();

// Which of sixteen units are one of the four forms.
__attribute__((target("avx2"))) inline __m256i AnyOf16(const __m256i (&forms)[4],
                                                       const char16_t* units) {
    const __m256i u = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(units));
    return _mm256_or_si256(
        _mm256_or_si256(_mm256_cmpeq_epi16(u, forms[0]), _mm256_cmpeq_epi16(u, forms[1])),
        _mm256_or_si256(_mm256_cmpeq_epi16(u, forms[2]), _mm256_cmpeq_epi16(u, forms[3])));
}
#else
bool wideBlocks = false;
#endif

}  // namespace

void TextFilter::AllowWideBlocks(bool allow) {
#if defined(SNIPORA_WIDE_BLOCKS)
    wideBlocks = allow && WideBlocksAvailable();
#else
    (void)allow;
#endif
}

CaseFolding::CaseFolding(MapUnits map) {
    for (size_t unit = 0; unit < table_.size(); ++unit) {
        table_[unit] = static_cast<char16_t>(unit);
    }
    if (map == nullptr) {
        LinkForms();
        return;
    }
    // Upper case first and then lower, so that the forms with one upper case but two lower ones
    // (the final sigma, the long s) meet. Surrogates are halves of characters, and 0 ends
    // strings for some systems: both are left out.
    std::vector<char16_t> units(table_.begin(), table_.end());
    for (bool upper : {true, false}) {
        for (auto [from, to] : {std::pair<size_t, size_t>{1, 0xD800}, {0xE000, 0x10000}}) {
            std::vector<char16_t> mapped(units.begin() + from, units.begin() + to);
            if (map(mapped.data(), mapped.size(), upper)) {
                std::copy(mapped.begin(), mapped.end(), units.begin() + from);
            }
        }
    }
    for (size_t unit = 0; unit < table_.size(); ++unit) {
        // A character never turns into half of one.
        if (units[unit] < 0xD800 || units[unit] >= 0xE000) {
            table_[unit] = units[unit];
        }
    }
    // The variant forms that the Unicode case folding joins to a letter but not every system's
    // upper case does: they fold as their letter does.
    static constexpr std::pair<char16_t, char16_t> kVariants[] = {
        {u'\u017F', u's'},      {u'\u03C2', u'\u03C3'}, {u'\u03D0', u'\u03B2'},
        {u'\u03D1', u'\u03B8'}, {u'\u03D5', u'\u03C6'}, {u'\u03D6', u'\u03C0'},
        {u'\u03F0', u'\u03BA'}, {u'\u03F1', u'\u03C1'}, {u'\u03F5', u'\u03B5'},
        {u'\u1E9B', u'\u1E61'}, {u'\u1E9E', u'\u00DF'}, {u'\u1FBE', u'\u03B9'},
        {u'\u2126', u'\u03C9'}, {u'\u212A', u'k'},      {u'\u212B', u'\u00E5'},
    };
    for (auto [variant, letter] : kVariants) {
        table_[variant] = table_[letter];
    }
    LinkForms();
}

// Each unit points to the next of the same folding, the last back to the first.
void CaseFolding::LinkForms() {
    std::vector<int32_t> first(table_.size(), -1), last(table_.size(), -1);
    for (size_t unit = 0; unit < table_.size(); ++unit) {
        const char16_t folded = table_[unit];
        if (first[folded] < 0) {
            first[folded] = static_cast<int32_t>(unit);
        } else {
            next_[static_cast<size_t>(last[folded])] = static_cast<char16_t>(unit);
        }
        last[folded] = static_cast<int32_t>(unit);
    }
    for (size_t folded = 0; folded < table_.size(); ++folded) {
        if (first[folded] >= 0) {
            next_[static_cast<size_t>(last[folded])] = static_cast<char16_t>(first[folded]);
        }
    }
}

TextFilter::TextFilter(std::u16string_view filter, const CaseFolding& folding)
    : text_(filter), folding_(&folding) {
    folded_.reserve(filter.size());
    for (char16_t unit : filter) {
        impossible_ = impossible_ || unit == u'\r' || unit == u'\n';
        folded_.push_back(folding.Fold(unit));
    }
    if (folded_.empty()) {
        return;
    }
    fewFirsts_ = FewForms(text_[0], folding, firsts_);
    fewSeconds_ = text_.size() > 1 && FewForms(text_[1], folding, seconds_);
    const auto length = static_cast<uint32_t>(folded_.size());
    skip_.fill(length);
    for (uint32_t i = 0; i + 1 < length; ++i) {
        char16_t form = text_[i];
        do {
            uint32_t& skip = skip_[form & 0xFF];
            skip = std::min(skip, length - 1 - i);
            form = folding.NextForm(form);
        } while (form != text_[i]);
    }
}

bool TextFilter::FewForms(char16_t unit, const CaseFolding& folding, Forms& forms) {
    size_t count = 0;
    char16_t form = unit;
    do {
        if (count == forms.size()) {
            return false;
        }
        forms[count++] = form;
        form = folding.NextForm(form);
    } while (form != unit);
    std::fill(forms.begin() + static_cast<ptrdiff_t>(count), forms.end(), unit);
    return true;
}

#if defined(SNIPORA_WIDE_BLOCKS)
template <bool Both>
__attribute__((target("avx2"))) std::pair<std::optional<size_t>, size_t>
TextFilter::FindInWideBlocks(std::u16string_view text, size_t lastStart) const {
    __m256i firsts[4], seconds[4];
    for (size_t i = 0; i < 4; ++i) {
        firsts[i] = _mm256_set1_epi16(static_cast<short>(firsts_[i]));
        seconds[i] = _mm256_set1_epi16(static_cast<short>(seconds_[i]));
    }
    size_t from = 0;
    for (; from + 16 <= lastStart + 1; from += 16) {
        __m256i hits = AnyOf16(firsts, &text[from]);
        if constexpr (Both) {
            hits = _mm256_and_si256(hits, AnyOf16(seconds, &text[from + 1]));
        }
        for (auto mask = static_cast<uint32_t>(_mm256_movemask_epi8(hits)); mask != 0;
             mask &= mask - 1) {
            // Two bits a unit: one goes here, the other with the step of the loop.
            const size_t start = from + static_cast<size_t>(__builtin_ctz(mask)) / 2;
            mask &= mask - 1;
            if (MatchesFrom(text, start, Both ? 2 : 1, folded_.size())) {
                return {start, from};
            }
        }
    }
    return {std::nullopt, from};
}
#else
template <bool Both>
std::pair<std::optional<size_t>, size_t> TextFilter::FindInWideBlocks(std::u16string_view,
                                                                      size_t) const {
    return {std::nullopt, 0};
}
#endif

// Where the filter's first unit has few forms, sixteen or eight starts of the text are checked at
// a time: most blocks of a text hold no start at all, and the rest of the filter is compared only
// where one is. Otherwise a filter of three units or more moves along the text by the unit under
// its end, unfolded, so that it reads only a part of a text it is not in; a shorter one compares
// each unit of the text with the first of the filter.
std::optional<size_t> TextFilter::Find(std::u16string_view text) const {
    if (folded_.empty()) {
        return 0;
    }
    const size_t length = folded_.size();
    if (impossible_ || text.size() < length) {
        return std::nullopt;
    }
    const size_t lastStart = text.size() - length;
    const CaseFolding& folding = *folding_;
    size_t at = 0;
#if defined(__SSE2__)
    // A block is checked on the first unit of a filter of one or two. From three units on, it is
    // checked on the first two in every block, which costs less than the false starts of a
    // common first letter; that needs few forms of the second unit too.
    const bool pairs = length > 2 && fewSeconds_;
    if (fewFirsts_ && (pairs || length <= 2)) {
        // Which of eight units are one of the four forms.
        struct AnyOf {
            explicit AnyOf(const Forms& forms) {
                for (size_t i = 0; i < forms.size(); ++i) {
                    form[i] = _mm_set1_epi16(static_cast<short>(forms[i]));
                }
            }
            __m128i In(const char16_t* units) const {
                const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
                return _mm_or_si128(
                    _mm_or_si128(_mm_cmpeq_epi16(u, form[0]), _mm_cmpeq_epi16(u, form[1])),
                    _mm_or_si128(_mm_cmpeq_epi16(u, form[2]), _mm_cmpeq_epi16(u, form[3])));
            }
            __m128i form[4];
        };
        const AnyOf first(firsts_), second(seconds_);
        // Returns the first match in the blocks from `from` on, or where the blocks end: the
        // last few starts are left to the unit by unit search below.
        const auto blocks = [&](auto both,
                                size_t from) -> std::pair<std::optional<size_t>, size_t> {
            for (; from + 8 <= lastStart + 1; from += 8) {
                __m128i hits = first.In(&text[from]);
                if constexpr (both) {
                    hits = _mm_and_si128(hits, second.In(&text[from + 1]));
                }
                for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0;
                     mask &= mask - 1) {
                    // Two bits a unit: one goes here, the other with the step of the loop.
                    const size_t start = from + static_cast<size_t>(__builtin_ctz(mask)) / 2;
                    mask &= mask - 1;
                    if (MatchesFrom(text, start, both ? 2 : 1, length)) {
                        return {start, from};
                    }
                }
            }
            return {std::nullopt, from};
        };
        // Sixteen at a time first, where the processor can.
        auto wide = std::pair<std::optional<size_t>, size_t>(std::nullopt, 0);
        if (wideBlocks) {
            wide = pairs ? FindInWideBlocks<true>(text, lastStart)
                         : FindInWideBlocks<false>(text, lastStart);
            if (wide.first) {
                return wide.first;
            }
        }
        const auto [found, end] =
            pairs ? blocks(std::true_type(), wide.second) : blocks(std::false_type(), wide.second);
        if (found) {
            return found;
        }
        at = end;
    }
#endif
    if (length >= 3) {
        while (at <= lastStart) {
            const char16_t unit = text[at + length - 1];
            if (folding.Fold(unit) == folded_[length - 1] && MatchesFrom(text, at, 0, length - 1)) {
                return at;
            }
            at += skip_[unit & 0xFF];
        }
        return std::nullopt;
    }
    for (; at <= lastStart; ++at) {
        const char16_t unit = text[at];
        const bool starts = fewFirsts_
                                ? std::find(firsts_.begin(), firsts_.end(), unit) != firsts_.end()
                                : folding.Fold(unit) == folded_[0];
        if (starts && MatchesFrom(text, at, 1, length)) {
            return at;
        }
    }
    return std::nullopt;
}

Typed TypeInto(std::u16string& filter, char16_t unit) {
    using Effect = Typed::Effect;
    if (unit == u'\b') {
        if (filter.empty()) {
            return {};
        }
        filter.pop_back();
        // Never half of a character.
        if (!filter.empty() && filter.back() >= 0xD800 && filter.back() < 0xDC00) {
            filter.pop_back();
        }
        return {Effect::FilterChanged};
    }
    if (unit < u' ' || unit == 0x7F) {
        return {};
    }
    filter.push_back(unit);
    return {Effect::FilterChanged};
}

}  // namespace snipora
