#include "app/AutoStart.h"

namespace snipora {

std::u16string AutoStartCommand(std::u16string_view programPath) {
    std::u16string command;
    command.reserve(programPath.size() + 2);
    command += u'"';
    command += programPath;
    command += u'"';
    return command;
}

std::u16string_view AutoStartProgram(std::u16string_view command) {
    const size_t first = command.find_first_not_of(u" \t");
    if (first == std::u16string_view::npos) {
        return {};
    }
    command.remove_prefix(first);
    if (command.front() == u'"') {
        command.remove_prefix(1);
        return command.substr(0, command.find(u'"'));
    }
    return command.substr(0, command.find_last_not_of(u" \t") + 1);
}

}  // namespace snipora
