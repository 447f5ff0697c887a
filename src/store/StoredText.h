#pragma once

#include <cstddef>
#include <string_view>

namespace snipora {

// The UTF-16 units of a recorded text, set once and then only read. The units belong to the text
// alone and go with it, so that a text removed for good leaves nothing of itself behind in memory
// that the lists still hold.
class StoredText {
public:
    StoredText() = default;
    StoredText(const StoredText&) = delete;
    StoredText& operator=(const StoredText&) = delete;
    ~StoredText() { Free(); }

    // Copies `units`.
    StoredText& operator=(std::u16string_view units);
    // Room for `count` units, for the caller to fill; the size is `count`.
    char16_t* Allocate(size_t count);
    // Keeps the first `count` units, no more than there are.
    void Truncate(size_t count) {
        if (count < size_) {
            size_ = count;
        }
    }

    const char16_t* data() const { return data_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    operator std::u16string_view() const { return {data_, size_}; }
    friend bool operator==(const StoredText& a, std::u16string_view b) {
        return std::u16string_view(a) == b;
    }
    friend bool operator==(const StoredText& a, const StoredText& b) {
        return std::u16string_view(a) == std::u16string_view(b);
    }

private:
    void Free() {
        if (data_ != kEmpty) {
            delete[] data_;
        }
        data_ = kEmpty;
        size_ = 0;
    }

    static constexpr char16_t kEmpty[1] = {};
    const char16_t* data_ = kEmpty;
    size_t size_ = 0;
};

}  // namespace snipora
