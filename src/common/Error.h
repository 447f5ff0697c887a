#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace snipora {

// An error that the program cannot shrug off. The text is UTF-8 and is shown to the user as it
// stands, in the standard error box.
class AppError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Replaces each "%s" of the pattern, left to right, by the next argument; "%%" stands for one '%'.
// Missing arguments leave nothing, extra arguments are ignored.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace snipora
