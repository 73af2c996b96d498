#include "store/ControlCharacters.h"

#include <cstdint>

namespace zo::store {
namespace {

struct Piece {
    std::size_t size;  // bytes of the character (or stray byte) at the position
    bool control;
};

// The character at text[i]. A byte that starts no valid UTF-8 sequence counts as a control
// of its own: a terminal in an 8-bit mode would take 0x9B as an escape introducer.
Piece PieceAt(std::string_view text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) {
        return {1, true};
    }
    if (c < 0x80) {
        return {1, false};
    }
    const std::size_t size = c >= 0xF5 ? 0 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (size == 0 || i + size > text.size()) {
        return {1, true};
    }
    for (std::size_t k = 1; k < size; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
            return {1, true};
        }
    }
    // C1 controls are U+0080 to U+009F.
    const bool c1 = c == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
    return {size, c1};
}

// The code point of the valid UTF-8 sequence of `size` bytes at text[i].
std::uint32_t CodePoint(std::string_view text, std::size_t i, std::size_t size) {
    static constexpr unsigned char kLead[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    std::uint32_t cp = static_cast<unsigned char>(text[i]) & kLead[size];
    for (std::size_t k = 1; k < size; ++k) {
        cp = cp << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    return cp;
}

// Characters a terminal draws as nothing, or as an ordinary blank.
bool ShowsAsNothing(std::uint32_t cp) {
    return cp == 0xA0 || cp == 0xAD || cp == 0x34F || cp == 0x115F || cp == 0x1160 ||
           cp == 0x180E || (cp >= 0x2000 && cp <= 0x200F) || (cp >= 0x2028 && cp <= 0x202F) ||
           (cp >= 0x205F && cp <= 0x206F) || cp == 0x3000 || cp == 0x3164 ||
           (cp >= 0xFE00 && cp <= 0xFE0F) || cp == 0xFEFF || cp == 0xFFA0 ||
           (cp >= 0xE0000 && cp <= 0xE0FFF);
}

}  // namespace

std::string ShownName(std::string_view name) {
    const bool blankAtEnd = !name.empty() && (name.front() == ' ' || name.back() == ' ');
    bool unclear = blankAtEnd;
    std::string inner;
    for (std::size_t i = 0; i < name.size();) {
        const Piece p = PieceAt(name, i);
        const std::string_view piece = name.substr(i, p.size);
        if (p.control) {
            inner += EscapeControlCharacters(piece);
        } else if (const std::uint32_t cp = CodePoint(name, i, p.size); ShowsAsNothing(cp)) {
            static const char kHex[] = "0123456789abcdef";
            std::string hex;
            for (std::uint32_t v = cp; v != 0 || hex.empty(); v >>= 4) {
                hex.insert(hex.begin(), kHex[v & 0xF]);
            }
            inner += "\\u{" + hex + "}";
            unclear = true;
        } else if (piece == "\"") {
            inner += "\\\"";
        } else {
            inner += piece;
        }
        i += p.size;
    }
    if (!unclear) {
        return EscapeControlCharacters(name);
    }
    return "\"" + inner + "\"";
}

bool HasControlCharacters(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const Piece p = PieceAt(text, i);
        if (p.control) {
            return true;
        }
        i += p.size;
    }
    return false;
}

std::string EscapeControlCharacters(std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const Piece p = PieceAt(text, i);
        for (std::size_t k = 0; k < p.size; ++k, ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (p.control) {
                out += "\\x";
                out.push_back(kHex[c >> 4]);
                out.push_back(kHex[c & 0xF]);
            } else {
                out.push_back(static_cast<char>(c));
            }
        }
    }
    return out;
}

}  // namespace zo::store
