#include "support/SampleClip.h"

#include <stdexcept>
#include <string>

namespace zo::test {

media::PalettedVideo SampleVideo(int w, int h, int frames, int fps,
                                 media::PalettedVideo::Compression c) {
    media::PalettedVideo v;
    v.width = w;
    v.height = h;
    v.framesPerSecond = fps;
    v.compression = c;
    for (int i = 0; i < 256; ++i) {
        v.palette[static_cast<std::size_t>(i)] =
            static_cast<std::uint32_t>(i) << 16 | static_cast<std::uint32_t>(255 - i) << 8 | 7u;
    }
    for (int k = 0; k < frames; ++k) {
        v.frames.emplace_back(static_cast<std::size_t>(w) * h, static_cast<std::uint8_t>(k + 1));
    }
    return v;
}

void WriteGlobe(int frames) {
    std::string error;
    if (!media::WriteAviFile("globe.avi", SampleVideo(12, 10, frames), &error)) {
        throw std::runtime_error(error);
    }
}

}  // namespace zo::test
