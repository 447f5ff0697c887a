#include "view/PreviewText.h"

namespace snipora {

PreviewPieces CutForPreview(std::u16string_view text, size_t longest) {
    PreviewPieces pieces;
    if (text.empty()) {
        return pieces;
    }
    longest = longest < 2 ? 2 : longest;
    pieces.starts.push_back(0);
    size_t pieceStart = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit == u'\r' || unit == u'\n') {
            if (unit == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            ++pieces.lines;
            if (i + 1 < text.size()) {
                pieceStart = i + 1;
                pieces.starts.push_back(static_cast<uint32_t>(pieceStart));
            }
        } else if (i + 1 - pieceStart > longest) {
            // The unit starts the next piece, unless it ends a surrogate pair.
            size_t cut = i;
            if (unit >= 0xDC00 && unit <= 0xDFFF && text[i - 1] >= 0xD800 &&
                text[i - 1] <= 0xDBFF) {
                --cut;
            }
            pieceStart = cut;
            pieces.starts.push_back(static_cast<uint32_t>(pieceStart));
        }
    }
    const char16_t last = text.back();
    if (last != u'\r' && last != u'\n') {
        ++pieces.lines;
    }
    return pieces;
}

std::u16string_view PieceText(std::u16string_view text, const PreviewPieces& pieces, size_t index) {
    const size_t start = pieces.starts[index];
    const size_t end = index + 1 < pieces.starts.size() ? pieces.starts[index + 1] : text.size();
    std::u16string_view piece = text.substr(start, end - start);
    while (!piece.empty() && (piece.back() == u'\n' || piece.back() == u'\r')) {
        piece.remove_suffix(1);
    }
    return piece;
}

namespace {

std::u16string Grouped(size_t count) {
    std::u16string digits;
    int group = 0;
    do {
        if (group++ == 3) {
            digits.insert(digits.begin(), u',');
            group = 1;
        }
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + count % 10));
        count /= 10;
    } while (count != 0);
    return digits;
}

}  // namespace

std::u16string PreviewHeading(size_t units, size_t lines) {
    return Grouped(units) + (units == 1 ? u" character, " : u" characters, ") + Grouped(lines) +
           (lines == 1 ? u" line" : u" lines");
}

}  // namespace snipora
