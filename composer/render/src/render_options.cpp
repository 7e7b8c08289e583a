#include "render/render_options.h"

#include "base/app_state.h"

namespace composer {

RenderOptions RenderOptionsFromSettings(const OutputChoices& output) {
    RenderOptions options;
    options.compressor = output.compressor;
    options.memoryBudget = MemoryBudget;
    options.keyFrameInterval = output.coding.keyFrameInterval;
    options.share.quality = output.coding.shareQuality;
    options.share.speed = output.coding.sharePreset;
    return options;
}

}  // namespace composer
