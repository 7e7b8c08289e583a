#pragma once
// Composes one output frame from its plan row: the arranged clip alone, handed on as fetched when
// it needs no pixel work, or the arranged clip with its overlays laid over it in pixel buffers.
// Pictures change size filtered (each layer with a scaler of its own, overlays with their coverage),
// or by the point-sampled rule when the output asks for sharp pixels.
#include <vector>

#include "document/movie_plan.h"
#include "media/pixels/pixel_scaler.h"
#include "render_layers.h"

namespace composer {

class FrameComposer {
  public:
    FrameComposer(const MovieDbRec& movie, RenderLayers& layers, Sampling sampling = Sampling::Filtered)
        : movie_(movie), layers_(layers), sampling_(sampling) {}

    // The picture of the frame, OutWidth x OutHeight. Null only when the output size cannot be drawn.
    cb::ComPtr<IPicture> Compose(const FrameRow& row);

    // The frame as its source's decoder gave it, when it is the arranged clip's frame unchanged (no
    // overlay, no crop, the output's size) from a file the container reader reads; else null, and
    // Compose makes the frame.
    DecodedFrame Decoded(const FrameRow& row);

  private:
    cb::ComPtr<IPicture> Plain(const FrameRow& row);
    cb::ComPtr<IPicture> Layered(const FrameRow& row);
    cb::ComPtr<IPicture> BlankFrame();
    void FillMain(const FrameRow& row);
    void LayOverlay(int32_t layer, const LayerRef& overlay);
    bool ScaleOverlay(int32_t layer, IPicture* picture, const CropMargins& margins);
    PixelScaler& ScalerOf(int32_t layer);

    const MovieDbRec& movie_;
    RenderLayers& layers_;
    Sampling sampling_;
    std::vector<PixelScaler> scalers_;  // one per layer: each keeps the filter of its sizes
    PixelBuffer frame_;
    PixelBuffer overlay_;
    PixelBuffer overlaySource_;  // an overlay's kept pixels with their coverage, before scaling
};

}  // namespace composer
