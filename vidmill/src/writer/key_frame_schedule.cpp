#include "writer/key_frame_schedule.h"

#include <algorithm>

namespace vidmill::writer {

bool KeyFrameSchedule::due(std::int64_t position, int keyFrameRate) const {
    return keyFrameRate <= 1 || !lastKeyFrame_ || position - *lastKeyFrame_ >= keyFrameRate;
}

void KeyFrameSchedule::encode(FrameCoder& coder, const cb::Bitmap& frame, std::int64_t position,
                              int keyFrameRate, const PacketSink& sink) {
    const PacketSink noted = [this, &sink](AVPacket& packet) {
        if ((packet.flags & AV_PKT_FLAG_KEY) != 0)
            lastKeyFrame_ = lastKeyFrame_ ? std::max(*lastKeyFrame_, packet.pts) : packet.pts;
        sink(packet);
    };
    // Whether the frames before were coded whole decides this one: their packets first.
    coder.handOutFinished(noted);
    const bool keyFrame = due(position, keyFrameRate);
    // An asked-for key frame counts from now: an encoder that holds pictures back must not be
    // asked again for every frame until it hands this one out.
    if (keyFrame) lastKeyFrame_ = position;
    coder.encode(frame, position, keyFrame, noted);
}

}  // namespace vidmill::writer
