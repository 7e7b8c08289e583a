#pragma once
// Composes one output frame from its plan row: the arranged clip alone, handed on as fetched when
// it needs no pixel work, or the arranged clip with its overlays laid over it in pixel buffers.
#include "document/movie_plan.h"
#include "render_layers.h"

namespace composer {

class FrameComposer {
  public:
    FrameComposer(const MovieDbRec& movie, RenderLayers& layers) : movie_(movie), layers_(layers) {}

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

    const MovieDbRec& movie_;
    RenderLayers& layers_;
    PixelBuffer frame_;
    PixelBuffer overlay_;
};

}  // namespace composer
