#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zo::media {

// A decoded animation clip: every frame as 0xAARRGGBB pixels, top row first.
struct Clip {
    int width = 0;
    int height = 0;
    std::uint32_t frameMicroseconds = 0;
    std::vector<std::vector<std::uint32_t>> frames;
};

// Bounds that keep an untrusted file from taking the program's memory.
struct AviLimits {
    std::size_t maxFileBytes = 64u << 20;
    int maxSide = 4096;
    std::size_t maxTotalPixels = 16u << 20;
};

// Reads a RIFF AVI file with one video stream of uncompressed 8-bit palettised or
// 24-bit frames, or of RLE8 frames. The file is untrusted: anything it says is checked,
// and any fault gives false with a reason and no clip.
bool ReadAviFile(const std::string& path, Clip* clip, std::string* error,
                 const AviLimits& limits = {});
bool ParseAvi(const std::uint8_t* data, std::size_t size, Clip* clip, std::string* error,
              const AviLimits& limits = {});

}  // namespace zo::media
