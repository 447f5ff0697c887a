#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

namespace snipora {

// A file's path in the system's own encoding: UTF-16 on Windows, bytes elsewhere. The program
// keeps its paths in this rather than in std::filesystem::path, whose library would bring the
// standard library's whole locale machinery (about 0.9 MB) into the statically linked program.
class FilePath {
public:
    using value_type = std::filesystem::path::value_type;
    using string_type = std::filesystem::path::string_type;

    FilePath() = default;
    explicit FilePath(string_type native) : native_(std::move(native)) {}
    // From a standard path, as tests and tools build them. Inline: only its callers carry the
    // standard path's library.
    FilePath(const std::filesystem::path& path) : native_(path.native()) {}

    const string_type& native() const { return native_; }
    const value_type* c_str() const { return native_.c_str(); }

    // The path with an ASCII suffix added to its last name: "data.dat" + ".tmp".
    FilePath operator+(std::string_view suffix) const {
        string_type joined = native_;
        for (const char c : suffix) {
            joined += static_cast<value_type>(c);
        }
        return FilePath(std::move(joined));
    }

    friend bool operator==(const FilePath&, const FilePath&) = default;

private:
    string_type native_;
};

}  // namespace snipora
