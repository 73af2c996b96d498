#include "store/ControlCharacters.h"

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

}  // namespace

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
