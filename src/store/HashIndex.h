#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace snipora {

// Positions in a list, found by a 32-bit hash of what they hold, which `HashOf` reads from a
// position: an open-addressed table with linear probing, at most half full, that holds nothing
// but the positions. `none` fills the free slots and is never added.
template <typename Position, typename HashOf>
class HashIndex {
public:
    HashIndex(Position none, HashOf hashOf) : none_(none), hashOf_(std::move(hashOf)) {}

    size_t Size() const { return count_; }
    // Frees the table too.
    void Clear() {
        slots_ = {};
        count_ = 0;
    }

    void Add(Position position) {
        if (2 * (count_ + 1) > slots_.size()) {
            Grow();
        }
        Place(position);
        ++count_;
    }

    // False if the position is not in the index.
    bool Remove(Position position) {
        if (count_ == 0) {
            return false;
        }
        size_t at = Home(hashOf_(position));
        while (slots_[at] != position) {
            if (slots_[at] == none_) {
                return false;
            }
            at = Next(at);
        }
        // Later positions of the probe move back into the gap, so that none is cut off from its
        // home slot.
        for (size_t gap = at, next = Next(at);; next = Next(next)) {
            if (slots_[next] == none_) {
                slots_[gap] = none_;
                break;
            }
            const size_t home = Home(hashOf_(slots_[next]));
            // Whether `home` lies cyclically outside (gap, next]: then the position may fill
            // the gap.
            if ((next > gap && (home <= gap || home > next)) ||
                (next < gap && home <= gap && home > next)) {
                slots_[gap] = slots_[next];
                gap = next;
            }
        }
        --count_;
        return true;
    }

    // Calls `visit` with each position of the hash until it returns true; false if none did.
    template <typename Visit>
    bool ForEachOf(uint32_t hash, Visit visit) const {
        if (count_ == 0) {
            return false;
        }
        for (size_t at = Home(hash); slots_[at] != none_; at = Next(at)) {
            if (hashOf_(slots_[at]) == hash && visit(slots_[at])) {
                return true;
            }
        }
        return false;
    }

private:
    size_t Home(uint32_t hash) const {
        // The hash's high bits, mixed in, spread a small table as well as a large one.
        return (hash ^ (hash >> 16)) & (slots_.size() - 1);
    }
    size_t Next(size_t at) const { return (at + 1) & (slots_.size() - 1); }

    void Place(Position position) {
        size_t at = Home(hashOf_(position));
        while (slots_[at] != none_) {
            at = Next(at);
        }
        slots_[at] = position;
    }

    void Grow() {
        std::vector<Position> old(slots_.empty() ? 16 : 2 * slots_.size(), none_);
        old.swap(slots_);
        for (const Position& position : old) {
            if (position != none_) {
                Place(position);
            }
        }
    }

    Position none_;
    HashOf hashOf_;
    std::vector<Position> slots_;
    size_t count_ = 0;
};

}  // namespace snipora
