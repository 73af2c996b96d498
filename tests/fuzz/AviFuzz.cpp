// The clip is read from whatever "globe.avi" the current directory holds: the reader must
// refuse anything malformed without reading outside the file or taking unbounded memory.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/media/AviFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zo::media::AviLimits limits;
    limits.maxTotalPixels = 1u << 20;
    zo::media::Clip clip;
    std::string error;
    if (zo::media::ParseAvi(data, size, &clip, &error, limits)) {
        std::size_t pixels = static_cast<std::size_t>(clip.width) * clip.height;
        if (clip.frames.empty() || pixels * clip.frames.size() > limits.maxTotalPixels) {
            __builtin_trap();
        }
        for (const auto& frame : clip.frames) {
            if (frame.size() != pixels) {
                __builtin_trap();
            }
        }
    } else if (error.empty()) {
        __builtin_trap();
    }
    return 0;
}
