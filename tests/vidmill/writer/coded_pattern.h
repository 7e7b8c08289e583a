// The test pattern run through the frame coder the writer would open: its packets as they came.
#pragma once

#include <functional>
#include <vector>

#include "writer/avi_container.h"
#include "writer/frame_coder.h"

namespace vidmill::writer::testing {

struct CodedPattern {
    std::vector<std::vector<std::uint8_t>> pictures;
    std::vector<bool> keyFrames;
    AviVideoFormat format;  // the stream as a file header names it
};

// Frames 0..count-1, frame i painted as pattern picture patternIndex(i), key frames by the
// writer's schedule at the settings' rate, through OpenFrameCoder(settings).
CodedPattern EncodePattern(
    const VideoSettings& settings, int count,
    const std::function<int(int)>& patternIndex = [](int frame) { return frame; });

}  // namespace vidmill::writer::testing
