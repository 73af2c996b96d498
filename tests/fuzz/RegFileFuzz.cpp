// Registry exports come from other machines: any bytes must parse or fail cleanly, and
// whatever parses must format and parse back to the same keys.
#include <cstddef>
#include <cstdint>
#include <string>

#include "store/RegFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    zo::store::RegParseResult r = zo::store::ParseRegFile(bytes);
    if (!r.ok) {
        if (r.errorLine < 1 || r.error.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    std::string text, error;
    if (!zo::store::FormatRegFile(r.keys, &text, &error)) {
        return 0;
    }
    zo::store::RegParseResult again = zo::store::ParseRegFile(text);
    if (!again.ok || again.keys.size() != r.keys.size()) {
        __builtin_trap();
    }
    for (std::size_t i = 0; i < r.keys.size(); ++i) {
        if (again.keys[i].path != r.keys[i].path ||
            again.keys[i].values.size() != r.keys[i].values.size()) {
            __builtin_trap();
        }
        for (std::size_t v = 0; v < r.keys[i].values.size(); ++v) {
            if (again.keys[i].values[v].name != r.keys[i].values[v].name ||
                again.keys[i].values[v].data != r.keys[i].values[v].data) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
