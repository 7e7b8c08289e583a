// MPEG-4 video with B-frames stored the way writers for the old video interface store it
// ("packed"): one chunk per frame of the file, a reference picture and the B-frame after it in
// one chunk, and a not-coded picture in the chunk after the last B-frame of the run.
#pragma once

#include <string>

namespace vidmill::reader::testing {

// Rewrites the AVI file that ffmpeg wrote at `source` (MPEG-4 video with B-frames as stream 0,
// chunks in decoding order, any other streams as they are) into a packed file at `target`, with
// the marker that tells decoders the stream is packed and a legacy index. `framesPerSecond` is
// the video's whole-number rate, which the encoder uses as its time resolution.
void PackBFrames(const std::string& source, const std::string& target, int framesPerSecond);

}  // namespace vidmill::reader::testing
