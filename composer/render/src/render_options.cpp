#include "render/render_options.h"

#include "base/app_state.h"

namespace composer {

RenderOptions RenderOptionsFromSettings() {
    RenderOptions options;
    options.compressor = OutCompressor;
    options.memoryBudget = MemoryBudget;
    options.keyFrameInterval = OutCoding.keyFrameInterval;
    options.share.quality = OutCoding.shareQuality;
    options.share.speed = OutCoding.sharePreset;
    // The stored compressor "H264" or "VP90" picks the video coding of MP4 and Matroska movies.
    options.share.video = ShareVideoOfCompressor(OutCompressor);
    options.sampling = OutCoding.sharpPixels ? Sampling::SharpPixels : Sampling::Filtered;
    return options;
}

}  // namespace composer
