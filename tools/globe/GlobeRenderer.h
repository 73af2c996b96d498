#pragma once

#include "platform/media/AviWriter.h"

namespace zo::tools {

// The pages' animation: a globe turning once round its tilted axis, lit from the upper
// left, on the dialogs' grey. 150 x 152 pixels, 35 frames, 15 frames per second.
struct GlobeShape {
    int width = 150;
    int height = 152;
    int frames = 35;
    int framesPerSecond = 15;
};

media::PalettedVideo RenderGlobe(const GlobeShape& shape = {});

}  // namespace zo::tools
