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
    options.sampling = OutCoding.sharpPixels ? Sampling::SharpPixels : Sampling::Filtered;
    return options;
}

}  // namespace composer
