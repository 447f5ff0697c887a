#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace snipora::test {

// One data file record, built byte by byte the way the file stores it.
inline std::string Record(int32_t category, double time, const std::u16string& text) {
    std::string bytes(16 + 2 * text.size(), '\0');
    const uint32_t count = static_cast<uint32_t>(text.size());
    std::memcpy(&bytes[0], &category, 4);
    std::memcpy(&bytes[4], &time, 8);
    std::memcpy(&bytes[12], &count, 4);
    std::memcpy(&bytes[16], text.data(), 2 * text.size());
    return bytes;
}

}  // namespace snipora::test
