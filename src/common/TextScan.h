#pragma once

#include <cstddef>

namespace snipora {

// Index of the first zero unit among `count` UTF-16 units, or `count` if there is none. Reads
// nothing past `count`. Texts run to many megabytes, so this looks at eight bytes at a time.
size_t FindZeroUnit(const char16_t* units, size_t count);

}  // namespace snipora
