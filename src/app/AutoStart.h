#pragma once

#include <string>
#include <string_view>

namespace snipora {

// The command line that starts the program at logon: its full path in quotes.
std::u16string AutoStartCommand(std::u16string_view programPath);

// The program path that a logon command starts: the quoted part when it begins with a quote,
// otherwise the whole command; blanks around it are dropped. Empty for an empty command.
std::u16string_view AutoStartProgram(std::u16string_view command);

}  // namespace snipora
