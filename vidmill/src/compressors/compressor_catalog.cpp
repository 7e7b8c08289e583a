#include "compressors/compressor_catalog.h"

#include <algorithm>
#include <mutex>
#include <set>

#include "cbplatform/ffmpeg_owners.h"
#include "compressors/round_trip.h"
#include "compressors/writing_cache.h"
#include "frame/tag_code.h"
#include "writer/codec_frame_coder.h"
#include "writer/encoder_choice.h"
#include "writer/encoder_tuning.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace vidmill::compressors {
namespace {

constexpr std::uint32_t kUncompressed = TagCode("DIB ");
constexpr std::size_t kNameLength = 16;
constexpr std::size_t kTextLength = 128;
// Quality the lossy encoders work at when given none: three quarters of the scale.
constexpr std::int32_t kDefaultQuality = 7500;
// Key-frame interval of encoders that leave it to their own logic (FFmpeg's usual default).
constexpr std::int32_t kCommonKeyFrameRate = 12;
// The frame size the writing check opens encoders for, as the compressor check always has.
constexpr int kProbeWidth = 320;
constexpr int kProbeHeight = 200;

// Codes under which AVI files commonly carry the frames of an encoder, besides its own code.
constexpr std::uint32_t kWellKnownAliases[] = {TagCode("XVID"), TagCode("DIVX"), TagCode("DX50"),
                                               TagCode("DIV3"), TagCode("DIV4"), TagCode("MPG4"),
                                               TagCode("CRAM")};

const AVCodecTag* const* AviVideoTags() {
    static const AVCodecTag* const tables[] = {avformat_get_riff_video_tags(), nullptr};
    return tables;
}

std::string Limited(std::string text, std::size_t length) {
    if (text.size() > length) text.resize(length);
    return text;
}

bool HasProperty(const AVCodec& encoder, int property) {
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(encoder.id);
    return descriptor != nullptr && (descriptor->props & property) != 0;
}

CompressorInfo Uncompressed() {
    CompressorInfo info;
    info.handler = kUncompressed;
    info.name = "Uncompressed";
    info.description = "Uncompressed video (full frames).";
    info.driver = "libvidmill.so.1";
    info.version = 1 << 16 | 1 << 8;
    return info;
}

// Every handler code under which the writer picks this encoder: its own code first.
std::vector<std::uint32_t> HandlersOf(const AVCodec& encoder) {
    std::vector<std::uint32_t> handlers;
    unsigned int own = 0;
    if (!av_codec_get_tag2(AviVideoTags(), encoder.id, &own) || own == 0) return handlers;
    handlers.push_back(own);
    for (const std::uint32_t alias : kWellKnownAliases)
        if (alias != own && writer::ChooseEncoder(alias).encoder == &encoder) handlers.push_back(alias);
    return handlers;
}

CompressorInfo EntryFor(const AVCodec& encoder, std::uint32_t handler, bool sharedEncoder) {
    CompressorInfo info;
    info.handler = handler;
    info.name = Limited(sharedEncoder
                            ? std::string(encoder.name) + " (" + HandlerText(static_cast<LONG>(handler)) + ")"
                            : encoder.name,
                        kNameLength);
    info.description = Limited(encoder.long_name ? encoder.long_name : encoder.name, kTextLength);
    info.driver = "libavcodec.so." + std::to_string(LIBAVCODEC_VERSION_MAJOR);
    info.version = static_cast<std::int32_t>(avcodec_version());
    info.supportsQuality = HasProperty(encoder, AV_CODEC_PROP_LOSSY);
    info.encoder = &encoder;
    return info;
}

std::vector<CompressorInfo> BuildList() {
    std::vector<CompressorInfo> list;
    std::set<std::uint32_t> handlers{kUncompressed};
    std::set<AVCodecID> seen;
    void* iterator = nullptr;
    while (const AVCodec* codec = av_codec_iterate(&iterator)) {
        if (!av_codec_is_encoder(codec) || codec->type != AVMEDIA_TYPE_VIDEO) continue;
        if (codec->id == AV_CODEC_ID_RAWVIDEO || !seen.insert(codec->id).second) continue;
        // The encoder the writer uses for this format, which need not be the first one met.
        const AVCodec* encoder = avcodec_find_encoder(codec->id);
        if (encoder == nullptr) continue;
        const std::vector<std::uint32_t> codes = HandlersOf(*encoder);
        for (const std::uint32_t code : codes)
            if (handlers.insert(code).second) list.push_back(EntryFor(*encoder, code, codes.size() > 1));
    }
    std::sort(list.begin(), list.end(), [](const CompressorInfo& a, const CompressorInfo& b) {
        return a.name != b.name ? a.name < b.name : a.handler < b.handler;
    });
    list.insert(list.begin(), Uncompressed());
    return list;
}

}  // namespace

const std::vector<CompressorInfo>& InstalledCompressors() {
    static const std::vector<CompressorInfo> list = BuildList();
    return list;
}

const CompressorInfo* FindCompressor(std::uint32_t handler) {
    const auto& list = InstalledCompressors();
    const auto found = std::find_if(list.begin(), list.end(), [handler](const CompressorInfo& entry) {
        return entry.handler == handler;
    });
    return found == list.end() ? nullptr : &*found;
}

bool SupportsWriting(const CompressorInfo& compressor) {
    static std::mutex mutex;
    static WritingVerdicts verdicts(WritingCachePath(), FfmpegBuildFingerprint());
    const std::lock_guard<std::mutex> lock(mutex);
    return verdicts.verdict(compressor.handler,
                            [&] { return EncodesAndDecodesBack(compressor, kProbeWidth, kProbeHeight); });
}

std::int32_t DefaultKeyFrameRate(const CompressorInfo& compressor) {
    if (compressor.encoder == nullptr) return 0;
    if (HasProperty(*compressor.encoder, AV_CODEC_PROP_INTRA_ONLY)) return 1;
    // The interval FFmpeg gives this encoder's context before anyone sets one. An encoder that
    // counts key frames itself starts one when more than its minimum interval has passed since the
    // last, so its frames come one more apart than that minimum.
    const cb::CodecContextPtr context(avcodec_alloc_context3(compressor.encoder));
    int interval = 0;
    if (context) {
        interval =
            writer::CountsKeyFramesItself(*compressor.encoder) ? context->keyint_min + 1 : context->gop_size;
    }
    return interval > 0 ? interval : kCommonKeyFrameRate;
}

std::int32_t DefaultQuality(const CompressorInfo& compressor) {
    return compressor.encoder != nullptr && compressor.supportsQuality ? kDefaultQuality : 0;
}

}  // namespace vidmill::compressors
