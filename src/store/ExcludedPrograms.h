#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace snipora {

// The programs whose copies are never recorded, by program file name: "keepass.exe;1pw.exe".
class ExcludedPrograms {
public:
    // Takes the names of a list separated by ';'. Blanks around a name and empty names are left
    // out, so an empty list names no program.
    void Assign(std::u16string_view list);
    bool Empty() const { return names_.empty(); }
    // True if the file name of `programPath` (a full path with '\' or '/', or a bare name) is one
    // of the names, letters compared without regard to case.
    bool Contains(std::u16string_view programPath) const;

private:
    std::vector<std::u16string> names_;  // folded to lower case
};

}  // namespace snipora
