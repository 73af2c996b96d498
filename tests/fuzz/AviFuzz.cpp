// The clip is read from whatever "globe.avi" the current directory holds: the reader must
// refuse anything malformed without reading outside the file or taking unbounded memory.
#include <sanitizer/allocator_interface.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/media/AviFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zo::media::AviLimits limits;
    limits.maxFrames = 512;
    limits.maxDecodedBytes = 4u << 20;
    // What the clip may hold beyond its counted frames: the list of frames, grown by
    // doubling, and the reason text.
    const std::size_t slack = 2 * limits.maxFrames * sizeof(std::vector<std::uint8_t>) + 4096;
    const std::size_t before = __sanitizer_get_current_allocated_bytes();
    zo::media::Clip clip;
    std::string error;
    bool ok = zo::media::ParseAvi(data, size, &clip, &error, limits);
    // Measured, not counted: whatever the file says, the clip it leaves stays in bounds.
    if (__sanitizer_get_current_allocated_bytes() - before > limits.maxDecodedBytes + slack) {
        __builtin_trap();
    }
    if (ok) {
        std::size_t pixels = static_cast<std::size_t>(clip.width) * clip.height;
        if (clip.frames.empty() || clip.frames.size() > limits.maxFrames) {
            __builtin_trap();
        }
        for (const auto& frame : clip.frames) {
            if (frame.size() != pixels * clip.BytesPerPixel()) {
                __builtin_trap();
            }
        }
    } else if (error.empty()) {
        __builtin_trap();
    }
    return 0;
}
