// Where the key frames of a movie go: the first frame, then one every KeyFrameRate frames counted
// from the last key frame written. A frame the encoder coded whole of its own accord (a cut, where
// nothing of the frame before was worth keeping) is a key frame too and starts the count again.
#pragma once

#include <cstdint>
#include <optional>

#include "writer/frame_coder.h"

namespace vidmill::writer {

class KeyFrameSchedule {
  public:
    // Codes the frame at `position` through `coder`, asking for a key frame where the count puts
    // one (every frame when keyFrameRate <= 1). The packets reach `sink`; those flagged as key
    // frames restart the count. Throws what the coder throws.
    void encode(FrameCoder& coder, const cb::Bitmap& frame, std::int64_t position, int keyFrameRate,
                const PacketSink& sink);

  private:
    bool due(std::int64_t position, int keyFrameRate) const;

    std::optional<std::int64_t> lastKeyFrame_;
};

}  // namespace vidmill::writer
