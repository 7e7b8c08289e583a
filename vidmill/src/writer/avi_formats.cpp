#include "writer/avi_formats.h"

#include <algorithm>
#include <utility>

#include "writer/little_endian_bytes.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace vidmill::writer {
namespace {

constexpr std::uint16_t kPcmTag = 1;
constexpr std::uint16_t kExtensibleTag = 0xFFFE;

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
    const std::uint64_t rowBytes = format.compressed
                                       ? (static_cast<std::uint64_t>(video.width) * bits + 7) / 8
                                       : (static_cast<std::uint64_t>(video.width) * bits + 31) / 32 * 4;
    LittleEndianBytes header;
    header.u32(40 + (palettized ? 0 : extra));
    header.u32(static_cast<std::uint32_t>(video.width));
    header.u32(static_cast<std::uint32_t>(video.height));  // positive: rows from the bottom up
    header.u16(1);
    header.u16(static_cast<std::uint16_t>(bits));
    header.u32(video.codec_tag);
    header.u32(static_cast<std::uint32_t>(std::min<std::uint64_t>(rowBytes * video.height, 0xFFFFFFFFu)));
    header.u32(0);
    header.u32(0);
    header.u32(palettized ? 256 : 0);
    header.u32(0);
    if (extra > 0) {
        header.data.insert(header.data.end(), video.extradata, video.extradata + extra);
    } else if (palettized) {
        for (std::size_t i = 0; i < 256; ++i) {
            const cb::RgbQuad entry = i < palette.size() ? palette[i] : cb::RgbQuad{};
            header.data.insert(header.data.end(), {entry.blue, entry.green, entry.red, 0});
        }
    }
    format.format = std::move(header.data);
    return format;
}

std::optional<AviSoundFormat> SoundFormatOf(const AVCodecParameters& sound) {
    const std::uint32_t tag = SoundTag(sound);
    if (tag == 0 || tag > 0xFFFF) return std::nullopt;
    const int channels = sound.ch_layout.nb_channels;
    const int bits = sound.bits_per_coded_sample;
    std::uint32_t blockAlign = static_cast<std::uint32_t>(std::max(sound.block_align, 0));
    if (blockAlign == 0)
        blockAlign = tag == kPcmTag ? static_cast<std::uint32_t>(channels * ((bits + 7) / 8)) : 1;
    std::uint32_t bytesPerSecond = static_cast<std::uint32_t>(std::max<std::int64_t>(sound.bit_rate / 8, 0));
    if (tag == kPcmTag || bytesPerSecond == 0)
        bytesPerSecond = static_cast<std::uint32_t>(sound.sample_rate) * blockAlign;

    AviSoundFormat format;
    // Blocks per second: bytes per second over bytes per block.
    format.scale = blockAlign;
    format.rate = bytesPerSecond;
    format.sampleSize = blockAlign;
    LittleEndianBytes header;
    header.u16(static_cast<std::uint16_t>(tag));
    header.u16(static_cast<std::uint16_t>(channels));
    header.u32(static_cast<std::uint32_t>(sound.sample_rate));
    header.u32(bytesPerSecond);
    header.u16(static_cast<std::uint16_t>(blockAlign));
    header.u16(static_cast<std::uint16_t>(bits));
    const auto extra = static_cast<std::uint32_t>(std::max(sound.extradata_size, 0));
    if (tag != kPcmTag || extra > 0) {
        header.u16(static_cast<std::uint16_t>(extra));
        header.data.insert(header.data.end(), sound.extradata, sound.extradata + extra);
    }
    format.format = std::move(header.data);
    return format;
}

}  // namespace vidmill::writer
