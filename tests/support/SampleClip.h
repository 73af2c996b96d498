#pragma once

#include "platform/media/AviWriter.h"

namespace zo::test {

// A small palettised clip: `frames` frames of `w` x `h` pixels, frame k filled with
// palette index k + 1 (the palette shades a grey ramp), playing at `fps`.
media::PalettedVideo SampleVideo(
    int w, int h, int frames, int fps = 15,
    media::PalettedVideo::Compression c = media::PalettedVideo::Compression::Rle8);

// Writes a clip as "globe.avi" in the current directory.
void WriteGlobe(int frames);

}  // namespace zo::test
