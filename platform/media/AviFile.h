#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zo::media {

// A decoded animation clip, top row first. A palettised clip keeps a byte per pixel, an
// index into `colours`, and is turned into colours only where a frame is shown: a quarter
// of the memory of every frame in 0xAARRGGBB. A true-colour clip has no colours and keeps
// each pixel as a native 0xAARRGGBB word.
struct Clip {
    int width = 0;
    int height = 0;
    std::uint32_t frameMicroseconds = 0;
    std::vector<std::uint32_t> colours;
    std::vector<std::vector<std::uint8_t>> frames;

    bool Indexed() const { return !colours.empty(); }
    std::size_t BytesPerPixel() const { return Indexed() ? 1 : 4; }
    // The colour of pixel `index` (row * width + column) of frame `frame`, as 0xAARRGGBB.
    std::uint32_t Pixel(std::size_t frame, std::size_t index) const;
};

// What a frame of the clip costs beyond its pixels: its vector and the allocator's own
// bookkeeping. Counting it keeps a file of countless tiny frames as bounded as one of
// large ones.
inline constexpr std::size_t kFrameOverheadBytes = 64;

// Bounds that keep an untrusted file from taking the program's memory: the file read
// whole plus the decoded clip stay within some 40 MB.
struct AviLimits {
    std::size_t maxFileBytes = 16u << 20;
    int maxSide = 4096;
    std::size_t maxFrames = 4096;
    // Every frame counts its pixels at 4 bytes each plus kFrameOverheadBytes, however
    // few it keeps of them.
    std::size_t maxDecodedBytes = 24u << 20;
};

// The memory the decoded frames of a clip of this size and length take, as the limits
// count it.
std::size_t DecodedBytes(int width, int height, std::size_t frames);

// Reads a RIFF AVI file with one video stream of uncompressed 8-bit palettised or
// 24-bit frames, or of RLE8 frames. The file is untrusted: anything it says is checked,
// and any fault gives false with a reason and no clip.
bool ReadAviFile(const std::string& path, Clip* clip, std::string* error,
                 const AviLimits& limits = {});
bool ParseAvi(const std::uint8_t* data, std::size_t size, Clip* clip, std::string* error,
              const AviLimits& limits = {});

}  // namespace zo::media
