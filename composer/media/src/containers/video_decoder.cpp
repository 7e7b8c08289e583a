#include "containers/video_decoder.h"

#include <cstring>

namespace composer {

const AVCodec* FindVideoDecoder(const AVStream& video) {
    const AVDictionaryEntry* alphaMode = av_dict_get(video.metadata, "alpha_mode", nullptr, 0);
    if (video.codecpar->codec_id == AV_CODEC_ID_VP9 && alphaMode != nullptr &&
        std::strcmp(alphaMode->value, "1") == 0) {
        if (const AVCodec* keepsAlpha = avcodec_find_decoder_by_name("libvpx-vp9")) return keepsAlpha;
    }
    return avcodec_find_decoder(video.codecpar->codec_id);
}

}  // namespace composer
