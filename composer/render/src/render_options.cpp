#include "render/render_options.h"

namespace composer {

RenderOptions RenderOptionsFromSettings(const Session& session) {
    const OutputChoices& output = session.output;
    RenderOptions options;
    options.compressor = output.compressor;
    options.memoryBudget = session.memoryBudget;
    options.keyFrameInterval = output.coding.keyFrameInterval;
    options.share.quality = output.coding.shareQuality;
    options.share.speed = output.coding.sharePreset;
    return options;
}

}  // namespace composer
