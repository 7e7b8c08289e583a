// The length a media file states for one of its streams, and whether what was read of it falls
// short: a file cut in two still opens and reads, only shorter, and its header or index is what
// tells how much is missing.
#pragma once

#include <string>

#include "cbplatform/com_types.h"

struct AVFormatContext;
struct AVStream;

namespace cb {

// Seconds the file states for the stream: the stream's own length, or the whole file's when the
// stream is its only one; 0 when it states none.
CB_PLATFORM_API double StatedStreamSeconds(const AVFormatContext& input, const AVStream& stream);

// "" when `foundSeconds` of a stream is all of `statedSeconds` (or no length is stated), allowing
// for what rounding, a last frame without a duration and an encoder's padding give: half a second
// or a twentieth, whichever is more. Otherwise how much was found of how much: "the video ends
// after 2.4 s of its stated 4 s: it was cut short", `what` being "the video" here.
CB_PLATFORM_API std::string ShortfallText(const std::string& what, double foundSeconds, double statedSeconds);

}  // namespace cb
