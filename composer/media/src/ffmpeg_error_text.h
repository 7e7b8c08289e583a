#pragma once
// The text FFmpeg gives for one of its error codes, for the reasons the media layer reports.
#include <string>

extern "C" {
#include <libavutil/error.h>
}

namespace composer {

inline std::string FfmpegErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace composer
