#pragma once
// The text FFmpeg gives for one of its error codes, for the reasons the media layer reports.
#include <string>

#include "cbplatform/media_input.h"

namespace composer {

inline std::string FfmpegErrorText(int code) { return cb::MediaFailureText(code); }

}  // namespace composer
