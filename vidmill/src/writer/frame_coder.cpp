#include "writer/frame_coder.h"

#include "compressors/frame_size_check.h"
#include "frame/error.h"
#include "writer/codec_frame_coder.h"
#include "writer/encoder_choice.h"
#include "writer/pipelined_frame_coder.h"
#include "writer/raw_frame_coder.h"

namespace vidmill::writer {

const char* const kNoCompressorMessage = "Cannot create compressed AVI stream";

const char* const kCompressorUnusableMessage =
    "Selected compressor cannot be used for compression because:\r"
    "a) compressor doesn't support RGB compression or\r"
    "b) AVI frame width must be multiplier of 2, 4 or 8.\r";

std::unique_ptr<FrameCoder> OpenFrameCoder(const VideoSettings& settings) {
    const EncoderChoice choice = ChooseEncoder(settings.handler);
    if (!choice.installed) throw Error(kNoCompressorMessage);
    if (choice.uncompressed()) return std::make_unique<RawFrameCoder>(settings.width, settings.height);
    // An encoder is opened at a size only once a frame of that size went through it and back
    // without harm: some stop the process, some write frames no reader decodes.
    const compressors::FrameSizeCheck check =
        compressors::CheckFrameSize(settings.handler, settings.width, settings.height);
    if (check.verdict == compressors::SizeVerdict::DoesNotOpen) throw Error(kCompressorUnusableMessage);
    if (check.verdict == compressors::SizeVerdict::Fails) throw Error(check.message);
    for (const int bitsPerPixel : {24, 32, 8}) {
        if (auto coder = CodecFrameCoder::TryOpen(*choice.encoder, choice.codecTag, settings, bitsPerPixel))
            return PipelinedFrameCoder::Create(std::move(coder), *choice.encoder, choice.codecTag, settings);
    }
    throw Error(kCompressorUnusableMessage);
}

}  // namespace vidmill::writer
