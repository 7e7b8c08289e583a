#include "writer/writer_properties.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vidmill::writer {

void WriterProperties::setQuality(int quality) { quality_ = std::clamp(quality, 0, 10000); }

void WriterProperties::setFramesPerSecond(double framesPerSecond) {
    framesPerSecond_ = framesPerSecond < 0 ? 0.0 : framesPerSecond;
}

void WriterProperties::setKeyFrameRate(int keyFrameRate) { keyFrameRate_ = std::max(keyFrameRate, 0); }

void WriterProperties::setBytesPerSecond(int bytesPerSecond) {
    bytesPerSecond_ = std::max(bytesPerSecond, 0);
}

void WriterProperties::setInterFrames(int interFrames, bool writing) {
    if (!writing) interFrames_ = std::max(interFrames, 0);
}

int WriterProperties::streamRate() const {
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const double rate = std::nearbyint(framesPerSecond_ * 1000.0);
    if (!(rate >= 0) || rate > std::numeric_limits<int>::max()) return 0;
    return static_cast<int>(rate);
}

}  // namespace vidmill::writer
