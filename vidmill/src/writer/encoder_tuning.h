// How the writer's Quality, BytesPerSecond and KeyFrameRate reach an encoder before it opens.
#pragma once

#include "writer/frame_coder.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vidmill::writer {

// The quantiser 1 (best) .. 31 (worst) that Quality 10000 .. 0 stands for.
int QuantiserForQuality(int quality);

// Sets rate control and the key-frame interval on a codec context that is not open yet.
void TuneEncoder(AVCodecContext& context, const AVCodec& encoder, const VideoSettings& settings);

// True for encoders that decide key frames by a counter of their own instead of honouring an
// intra picture type on the frame; the writer steers that counter per frame (see codec coder).
// These encoders also code a frame whole when every part of it changed, and flag it a key frame.
bool CountsKeyFramesItself(const AVCodec& encoder);

}  // namespace vidmill::writer
