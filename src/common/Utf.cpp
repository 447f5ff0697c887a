#include "common/Utf.h"

namespace snipora {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

bool IsHigh(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLow(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t u = text[i];
        if (IsHigh(u) && i + 1 < text.size() && IsLow(text[i + 1])) {
            char32_t c =
                0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            AppendUtf8(out, c);
            ++i;
        } else if (IsHigh(u) || IsLow(u)) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t c = 0;
        char32_t min = 0;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1, c = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, c = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, c = b & 0x07, min = 0x10000;
        } else {
            AppendUtf16(out, kReplacement);
            ++i;
            continue;
        }
        size_t j = 1;
        for (; j <= static_cast<size_t>(extra); ++j) {
            if (i + j >= text.size() || (static_cast<unsigned char>(text[i + j]) & 0xC0) != 0x80) {
                break;
            }
            c = (c << 6) | (static_cast<unsigned char>(text[i + j]) & 0x3F);
        }
        if (j <= static_cast<size_t>(extra) || c < min || c > 0x10FFFF ||
            (c >= 0xD800 && c <= 0xDFFF)) {
            AppendUtf16(out, kReplacement);
            i += j;  // skip the lead byte and the continuation bytes seen
            continue;
        }
        AppendUtf16(out, c);
        i += j;
    }
    return out;
}

std::string PathToUtf8(const FilePath& path) {
    const auto& native = path.native();
    if constexpr (sizeof(native[0]) == sizeof(char16_t)) {
        return Utf16ToUtf8({reinterpret_cast<const char16_t*>(native.data()), native.size()});
    } else {
        return std::string(native.begin(), native.end());
    }
}

namespace {

enum class Direction { None, LeftToRight, RightToLeft };

Direction DirectionOf(char32_t c) {
    if ((c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) ||
        (c >= 0xFE70 && c <= 0xFEFC) || (c >= 0x10800 && c <= 0x10FFF) ||
        (c >= 0x1E800 && c <= 0x1EFFF)) {
        return Direction::RightToLeft;
    }
    if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) {
        return Direction::LeftToRight;
    }
    // Below U+00C0 every other character is a digit, a blank, a control or a sign; so are the
    // punctuation, symbol and arrow blocks, the CJK signs, the variation selectors, the
    // full-width signs and the emoji and symbol planes; a lone surrogate is none either.
    if (c < 0x00C0 || c == 0x00D7 || c == 0x00F7 || (c >= 0x2000 && c <= 0x2BFF) ||
        (c >= 0x3000 && c <= 0x303F) || (c >= 0xD800 && c <= 0xDFFF) ||
        (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF || (c >= 0xFF00 && c <= 0xFF20) ||
        (c >= 0x1F000 && c <= 0x1FAFF) || (c >= 0xE0000 && c <= 0xE007F)) {
        return Direction::None;
    }
    return Direction::LeftToRight;
}

}  // namespace

bool ReadsRightToLeft(std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (const Direction direction = DirectionOf(c); direction != Direction::None) {
            return direction == Direction::RightToLeft;
        }
    }
    return false;
}

}  // namespace snipora
