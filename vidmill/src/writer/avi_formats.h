// The stream formats an AVI header holds, made from FFmpeg's description of a stream: a bitmap
// info header for the video, a wave format header and the block rate for the sound.
#pragma once

#include <optional>
#include <vector>

#include "cbplatform/bitmap.h"
#include "writer/avi_container.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vidmill::writer {

// Uncompressed frames are bottom-up rows padded to 4 bytes, as bitmaps store them; palette
// frames without codec data carry `palette` in the header.
AviVideoFormat VideoFormatOf(const AVCodecParameters& video, const std::vector<cb::RgbQuad>& palette);

// Nothing when the sound's codec has no wave format tag.
std::optional<AviSoundFormat> SoundFormatOf(const AVCodecParameters& sound);

}  // namespace vidmill::writer
