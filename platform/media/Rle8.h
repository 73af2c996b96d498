#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zo::media {

// 8-bit run-length encoded bitmaps. Index buffers hold width * height palette indices,
// bottom row first, as device-independent bitmaps store them.

// Decodes one frame onto `indices`. Pixels the frame skips keep their values, so a frame
// that moves only part of the picture is drawn over the one before. False when the data
// would write outside the picture or ends in the middle of a code.
bool DecodeRle8(const std::uint8_t* data, std::size_t size, int width, int height,
                std::vector<std::uint8_t>& indices, std::string* error);

// Encodes a whole picture (every pixel written), ending with the end-of-bitmap code.
std::vector<std::uint8_t> EncodeRle8(const std::vector<std::uint8_t>& indices, int width,
                                     int height);

}  // namespace zo::media
