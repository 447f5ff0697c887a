#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace snipora {

// Maps every UTF-16 code unit to one form shared by its upper and lower case, so that a search
// compares units one to one. Units outside the Basic Multilingual Plane (surrogates) and
// characters whose case mapping changes the length stay as they are.
class CaseFolding {
public:
    // Maps `units` in place to their lower case, one unit to one unit; false leaves them all.
    using MapUnits = bool (*)(char16_t* units, size_t count, bool upper);

    explicit CaseFolding(MapUnits map);

    char16_t Fold(char16_t unit) const { return table_[unit]; }
    // The next unit, up from `unit` and round, that folds as it does; `unit` itself if none.
    char16_t NextForm(char16_t unit) const { return next_[unit]; }

private:
    void LinkForms();

    // On the heap: as static data these would add their 256 KB to the program's file.
    std::vector<char16_t> table_ = std::vector<char16_t>(0x10000);
    std::vector<char16_t> next_ = std::vector<char16_t>(0x10000);
};

// The folding of the system's own case rules, built once on first use.
const CaseFolding& SystemCaseFolding();

// The popup's type-to-filter search: a text passes when it contains the filter, ignoring case.
// A match never spans a line break: a filter that holds one matches nothing.
class TextFilter {
public:
    TextFilter() = default;
    TextFilter(std::u16string_view filter, const CaseFolding& folding);

    // An empty filter lets every text through.
    bool Empty() const { return folded_.empty(); }
    const std::u16string& Text() const { return text_; }

    bool Matches(std::u16string_view text) const { return Find(text).has_value(); }
    // Where the first match starts in `text`; it is as long as the filter.
    std::optional<size_t> Find(std::u16string_view text) const;
    size_t Length() const { return folded_.size(); }
    // Whether every text that passes this filter passes `wider` too: this one holds all of
    // `wider`, as typing on after it, or before it, makes it.
    bool Narrows(const TextFilter& wider) const {
        return folding_ == wider.folding_ && folded_.find(wider.folded_) != std::u16string::npos;
    }

    // Whether searches may check sixteen starts at a time where the processor can (they check
    // eight otherwise); on by default. Tests turn it off to reach the narrower way too.
    static void AllowWideBlocks(bool allow);

private:
    // Whether the filter's units from `from` to `to` match the text's from `at + from` on.
    bool MatchesFrom(std::u16string_view text, size_t at, size_t from, size_t to) const {
        while (from < to && folding_->Fold(text[at + from]) == folded_[from]) {
            ++from;
        }
        return from == to;
    }
    // The first match among the starts checked sixteen at a time, or where those blocks end.
    template <bool Both>
    std::pair<std::optional<size_t>, size_t> FindInWideBlocks(std::u16string_view text,
                                                              size_t lastStart) const;

    std::u16string text_;
    std::u16string folded_;
    const CaseFolding* folding_ = nullptr;
    bool impossible_ = false;
    // The units that fold to the filter's first one, and to its second, when there are at most
    // four (repeated to fill the four; the i, with its dotted and dotless forms, has four): a
    // search compares the units of a text with them as they are, unfolded.
    using Forms = std::array<char16_t, 4>;
    static bool FewForms(char16_t unit, const CaseFolding& folding, Forms& forms);
    Forms firsts_{};
    Forms seconds_{};
    bool fewFirsts_ = false;
    bool fewSeconds_ = false;
    // For a filter of three units or more: how far a search moves the filter on along the text
    // when the unit under its end has the index as its low byte (Horspool's rule). Units that
    // share a low byte share the shortest move.
    std::array<uint32_t, 256> skip_{};
};

// What a character typed into the search does: a printable one extends the filter, Backspace
// shortens it by one character; control characters do nothing. (Whether a digit picks an entry
// instead is the popup's key rule's to say.)
struct Typed {
    enum class Effect { Nothing, FilterChanged };
    Effect effect = Effect::Nothing;
};
Typed TypeInto(std::u16string& filter, char16_t unit);

}  // namespace snipora
