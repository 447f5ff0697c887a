#pragma once

#include <string>

namespace snipora::test {

// How many error lines (the red level) a captured log holds.
inline int ErrorLineCount(const std::string& log) {
    int n = 0;
    for (size_t at = log.find("#ff0000"); at != std::string::npos;
         at = log.find("#ff0000", at + 1)) {
        ++n;
    }
    return n;
}

}  // namespace snipora::test
