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
    // The stored compressor "H264" or "VP90" picks the video coding of MP4 and Matroska movies.
    options.share.video = ShareVideoOfCompressor(output.compressor);
    options.sampling = output.coding.sharpPixels ? Sampling::SharpPixels : Sampling::Filtered;
    return options;
}

}  // namespace composer
