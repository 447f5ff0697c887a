#include "store/StoredText.h"

#include <algorithm>

namespace snipora {

StoredText& StoredText::operator=(std::u16string_view units) {
    // `units` may be this text's own.
    StoredText copy;
    std::copy(units.begin(), units.end(), copy.Allocate(units.size()));
    std::swap(data_, copy.data_);
    std::swap(size_, copy.size_);
    return *this;
}

char16_t* StoredText::Allocate(size_t count) {
    Free();
    if (count == 0) {
        return nullptr;
    }
    // Not filled here: the caller writes every unit.
    auto* units = new char16_t[count];
    data_ = units;
    size_ = count;
    return units;
}

}  // namespace snipora
