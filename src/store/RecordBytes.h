#pragma once

#include <cstring>
#include <string>

namespace snipora {

// The fixed-size fields of the journal's records, in the machine's order (little-endian, as
// TextItem.cpp asserts): appended to a record, or read from its bytes.
template <typename T>
void PutBytes(std::string& out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

template <typename T>
T GetBytes(const char* bytes) {
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

}  // namespace snipora
