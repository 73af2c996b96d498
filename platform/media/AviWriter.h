#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zo::media {

// A palettised clip to be written: frames of width * height palette indices, top row
// first; palette entries as 0x00RRGGBB.
struct PalettedVideo {
    enum class Compression { Uncompressed8, Rle8 };

    int width = 0;
    int height = 0;
    int framesPerSecond = 15;
    Compression compression = Compression::Rle8;
    std::array<std::uint32_t, 256> palette{};
    std::vector<std::vector<std::uint8_t>> frames;
};

// A RIFF AVI file with one video stream, with its index.
std::vector<std::uint8_t> BuildAvi(const PalettedVideo& video);
bool WriteAviFile(const std::string& path, const PalettedVideo& video, std::string* error);

}  // namespace zo::media
