#pragma once
// The decoder a video stream is read with, shared by the container reader and its picture index so
// that both give the same pictures.
#include "cbplatform/ffmpeg_owners.h"

namespace composer {

// FFmpeg's own decoder for the stream's codec, except for VP9 that the container marks as having
// an alpha plane beside the picture (WebM's alpha mode): FFmpeg's VP9 decoder leaves that plane
// out, libvpx's decoder keeps it, so that one is taken when this FFmpeg has it. Null when there is
// no decoder.
const AVCodec* FindVideoDecoder(const AVStream& video);

}  // namespace composer
