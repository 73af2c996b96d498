// The card's answers to "ATI9" and "ATI10" are parsed field by field; a card (or line
// noise) may send anything.
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/CardIdentity.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string raw(reinterpret_cast<const char*>(data), size);
    zo::link::CardIdentity identity = zo::link::ParseIdentification(raw);
    (void)identity;
    std::string status = zo::link::LineStatusOf(raw);
    if (status.size() > raw.size()) {
        __builtin_trap();
    }
    zo::link::SignFor(status);
    // The first line names a label of its own, so that the field rule meets odd labels too.
    std::size_t cut = raw.find('\n');
    if (cut != std::string::npos) {
        std::string field = "unchanged";
        zo::link::ApplyFieldRule(raw.substr(cut + 1), raw.substr(0, cut), &field);
        if (field.size() > raw.size() && field != "unchanged") {
            __builtin_trap();
        }
    }
    return 0;
}
