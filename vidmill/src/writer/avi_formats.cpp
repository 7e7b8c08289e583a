#include "writer/avi_formats.h"

#include <algorithm>

extern "C" {
#include <libavformat/avformat.h>
}

namespace vidmill::writer {
namespace {

constexpr std::uint16_t kPcmTag = 1;
constexpr std::uint16_t kExtensibleTag = 0xFFFE;

void Put16(std::vector<std::uint8_t>& to, std::uint32_t value) {
    to.push_back(static_cast<std::uint8_t>(value));
    to.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& to, std::uint32_t value) {
    Put16(to, value & 0xFFFF);
    Put16(to, value >> 16);
}

std::uint32_t SoundTag(const AVCodecParameters& sound) {
    if (sound.codec_tag != 0 && sound.codec_tag != kExtensibleTag) return sound.codec_tag;
    const AVCodecTag* const tables[] = {avformat_get_riff_audio_tags(), nullptr};
    return av_codec_get_tag(tables, sound.codec_id);
}

}  // namespace

AviVideoFormat VideoFormatOf(const AVCodecParameters& video, const std::vector<cb::RgbQuad>& palette) {
    AviVideoFormat format;
    format.handler = video.codec_tag;
    format.width = video.width;
    format.height = video.height;
    format.compressed = video.codec_id != AV_CODEC_ID_RAWVIDEO;
    const int bits = video.bits_per_coded_sample > 0 ? video.bits_per_coded_sample : 24;
    const bool palettized = video.format == AV_PIX_FMT_PAL8;
    const auto extra = static_cast<std::uint32_t>(std::max(video.extradata_size, 0));
    const std::uint64_t rowBytes = format.compressed ? (static_cast<std::uint64_t>(video.width) * bits + 7) / 8
                                                     : (static_cast<std::uint64_t>(video.width) * bits + 31) / 32 * 4;
    std::vector<std::uint8_t>& header = format.format;
    Put32(header, 40 + (palettized ? 0 : extra));
    Put32(header, static_cast<std::uint32_t>(video.width));
    Put32(header, static_cast<std::uint32_t>(video.height));  // positive: rows from the bottom up
    Put16(header, 1);
    Put16(header, static_cast<std::uint32_t>(bits));
    Put32(header, video.codec_tag);
    Put32(header, static_cast<std::uint32_t>(std::min<std::uint64_t>(rowBytes * video.height, 0xFFFFFFFFu)));
    Put32(header, 0);
    Put32(header, 0);
    Put32(header, palettized ? 256 : 0);
    Put32(header, 0);
    if (extra > 0) {
        header.insert(header.end(), video.extradata, video.extradata + extra);
    } else if (palettized) {
        for (std::size_t i = 0; i < 256; ++i) {
            const cb::RgbQuad entry = i < palette.size() ? palette[i] : cb::RgbQuad{};
            header.insert(header.end(), {entry.blue, entry.green, entry.red, 0});
        }
    }
    return format;
}

std::optional<AviSoundFormat> SoundFormatOf(const AVCodecParameters& sound) {
    const std::uint32_t tag = SoundTag(sound);
    if (tag == 0 || tag > 0xFFFF) return std::nullopt;
    const int channels = sound.ch_layout.nb_channels;
    const int bits = sound.bits_per_coded_sample;
    std::uint32_t blockAlign = static_cast<std::uint32_t>(std::max(sound.block_align, 0));
    if (blockAlign == 0) blockAlign = tag == kPcmTag ? static_cast<std::uint32_t>(channels * ((bits + 7) / 8)) : 1;
    std::uint32_t bytesPerSecond = static_cast<std::uint32_t>(std::max<std::int64_t>(sound.bit_rate / 8, 0));
    if (tag == kPcmTag || bytesPerSecond == 0) bytesPerSecond = static_cast<std::uint32_t>(sound.sample_rate) * blockAlign;

    AviSoundFormat format;
    // Blocks per second: bytes per second over bytes per block.
    format.scale = blockAlign;
    format.rate = bytesPerSecond;
    format.sampleSize = blockAlign;
    std::vector<std::uint8_t>& header = format.format;
    Put16(header, tag);
    Put16(header, static_cast<std::uint32_t>(channels));
    Put32(header, static_cast<std::uint32_t>(sound.sample_rate));
    Put32(header, bytesPerSecond);
    Put16(header, blockAlign);
    Put16(header, static_cast<std::uint32_t>(bits));
    const auto extra = static_cast<std::uint32_t>(std::max(sound.extradata_size, 0));
    if (tag != kPcmTag || extra > 0) {
        Put16(header, extra);
        header.insert(header.end(), sound.extradata, sound.extradata + extra);
    }
    return format;
}

}  // namespace vidmill::writer
