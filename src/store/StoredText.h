#pragma once

#include <cstddef>
#include <string_view>

namespace snipora {

// The UTF-16 units of a recorded text, set once and then only read. The units either belong to
// the text, or lie in memory that outlives it and are shared rather than copied: a loaded data
// file's blocks, which the database keeps until its list is replaced.
class StoredText {
public:
    StoredText() = default;
    StoredText(const StoredText&) = delete;
    StoredText& operator=(const StoredText&) = delete;
    ~StoredText() { Free(); }

    // Copies `units`.
    StoredText& operator=(std::u16string_view units);
    // Refers to `units` without copying them; they must outlive the text.
    void Share(std::u16string_view units) {
        Free();
        data_ = units.empty() ? kEmpty : units.data();
        size_ = units.size();
    }
    // Room for `count` units of the text's own, for the caller to fill; the size is `count`.
    char16_t* Allocate(size_t count);
    // Keeps the first `count` units, no more than there are.
    void Truncate(size_t count) {
        if (count < size()) {
            size_ = count | (size_ & kOwned);
        }
    }

    const char16_t* data() const { return data_; }
    size_t size() const { return size_ & ~kOwned; }
    bool empty() const { return size() == 0; }
    operator std::u16string_view() const { return {data_, size()}; }
    friend bool operator==(const StoredText& a, std::u16string_view b) {
        return std::u16string_view(a) == b;
    }
    friend bool operator==(const StoredText& a, const StoredText& b) {
        return std::u16string_view(a) == std::u16string_view(b);
    }

private:
    void Free() {
        if ((size_ & kOwned) != 0) {
            delete[] data_;
        }
        data_ = kEmpty;
        size_ = 0;
    }

    static constexpr char16_t kEmpty[1] = {};
    // The size's top bit marks units that belong to the text; no text comes near that length.
    static constexpr size_t kOwned = ~(~size_t{0} >> 1);
    const char16_t* data_ = kEmpty;
    size_t size_ = 0;
};

}  // namespace snipora
