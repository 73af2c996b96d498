#include "wizard/TextChars.h"

namespace zo::wizard {
namespace {

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

}  // namespace

std::size_t CharCount(const std::string& text) {
    std::size_t n = 0;
    for (char c : text) {
        if (!IsContinuation(static_cast<unsigned char>(c))) {
            ++n;
        }
    }
    return n;
}

void BlankCharAt(std::string& text, std::size_t pos) {
    if (pos >= text.size()) {
        return;
    }
    std::size_t end = pos + 1;
    while (end < text.size() && IsContinuation(static_cast<unsigned char>(text[end]))) {
        ++end;
    }
    // Erase and assign rather than replace: g++ 12 warns falsely (-Wrestrict) on a
    // replace by a literal here.
    text.erase(pos + 1, end - pos - 1);
    text[pos] = ' ';
}

}  // namespace zo::wizard
