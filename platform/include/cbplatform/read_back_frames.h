// Which frames the check of a newly written movie decodes before the movie takes its name. A file
// whose frames do not decode is no movie, however many frames its index counts; decoding every frame
// would make the check as long as a play-through, so it decodes a few that show the common faults: the
// first and the last (a size or a stream the decoder refuses shows at once, a truncated end last),
// the middle, and in a short movie every key frame that starts a group of pictures (each such run is
// decoded apart from the others).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cbplatform/com_types.h"

namespace cb {

// Movies with fewer frames than this have every key frame decoded as well.
inline constexpr std::int32_t kEveryKeyFrameBelow = 1000;

// The 0-based frames of the movie at `path`, which has frameCount frames at framesPerSecond, that
// its check decodes, in increasing order without repeats: 0, frameCount / 2 and frameCount - 1, and
// below kEveryKeyFrameBelow frames every key frame of its first video stream, found from the
// file's packets (nothing is decoded; a file whose packets cannot be read adds none). A stream whose
// every frame is a key frame (uncompressed or intra-only coding) has no groups of pictures to
// start: it keeps to the three. Empty for no frames.
CB_PLATFORM_API std::vector<std::int32_t> ReadBackFrames(const std::string& path, std::int32_t frameCount,
                                                         double framesPerSecond);

}  // namespace cb
