#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace snipora {

// A text cut once for the preview, which lays out only the pieces in sight: each line of the
// text is a piece, and a line longer than `longest` units is cut into pieces of at most that
// many (never inside a surrogate pair), so that no piece costs more than a bounded layout.
struct PreviewPieces {
    // Where each piece starts; a piece ends where the next starts, or at the text's end. A line
    // break stays at the end of its line's last piece.
    std::vector<uint32_t> starts;
    // The text's lines: its line breaks (CR LF, LF or CR), plus one for a last line that does
    // not end in one. An empty text has none.
    size_t lines = 0;
};
PreviewPieces CutForPreview(std::u16string_view text, size_t longest = 2048);

// The piece `index` without its line break.
std::u16string_view PieceText(std::u16string_view text, const PreviewPieces& pieces, size_t index);

// The preview's heading: "12,345 characters, 67 lines" (one of each: "1 character, 1 line").
std::u16string PreviewHeading(size_t units, size_t lines);

}  // namespace snipora
