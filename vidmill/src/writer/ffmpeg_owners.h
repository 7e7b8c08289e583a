// The FFmpeg owners the writer holds: the platform layer's, under the writer's names.
#pragma once

#include "cbplatform/ffmpeg_owners.h"

namespace vidmill::writer {

using cb::CodecContextPtr;
using cb::CodecParametersPtr;
using cb::FramePtr;
using cb::InputFormatPtr;
using cb::PacketPtr;
using cb::ScalerPtr;

}  // namespace vidmill::writer
