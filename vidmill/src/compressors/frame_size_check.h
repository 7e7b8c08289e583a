// Whether the compressor of a handler code writes frames of one size. Some encoders refuse a size
// only when the first frame is coded, some write frames nobody can decode, and some stop the whole
// process on an internal assertion (a 2 x 2 frame is enough for one of them). So the check encodes
// and decodes one frame in a child process of its own: the child only does that and reports by its
// exit status; a child that crashes is an answer, not a crash of the caller, and one that has not
// answered after a time limit is killed.
#pragma once

#include <cstdint>
#include <string>

namespace vidmill::compressors {

enum class SizeVerdict {
    Writes,       // frames of the size decode back (and always for codes stored uncompressed or
                  // without an encoder, which are refused elsewhere)
    DoesNotOpen,  // the encoder refuses the size when it is opened
    Fails,        // it opens, but crashes, hangs or writes frames that do not decode at that size
};

struct FrameSizeCheck {
    SizeVerdict verdict = SizeVerdict::Writes;
    // Empty for Writes; else "The compressor NAME (CODE) cannot write W x H frames: REASON".
    std::string message;
};

// The check of the handler's encoder for width x height frames, worked out once per process for a
// handler and size and remembered.
FrameSizeCheck CheckFrameSize(std::uint32_t handler, int width, int height);

}  // namespace vidmill::compressors
