#include "frame_composer.h"

#include "media/pixels/overlay_pixels.h"

namespace composer {

namespace {

bool NoMargins(const CropMargins& margins) {
    return margins.Top == 0 && margins.Bottom == 0 && margins.Left == 0 && margins.Right == 0;
}

bool Drawable(int32_t kind) { return kind == ClipVideo || kind == ClipPicture; }

}  // namespace

cb::ComPtr<IPicture> FrameComposer::Compose(const FrameRow& row) {
    return row.LayerCount > 0 ? Layered(row) : Plain(row);
}

cb::ComPtr<IPicture> FrameComposer::BlankFrame() {
    WorkSurface& surface = ProcessMainFrm().ReadPic;
    FitWorkSurface(surface, movie_.OutWidth, movie_.OutHeight);
    surface.Clear();
    return surface.Image();
}

cb::ComPtr<IPicture> FrameComposer::Plain(const FrameRow& row) {
    const CropMargins margins = layers_.Open(0, row.MainClip);
    const RenderLayer& layer = layers_.Layer(0);
    if (!Drawable(layer.openKind)) return BlankFrame();
    cb::ComPtr<IPicture> picture = layers_.Picture(0, row.MainFrame, false);
    if (!picture) return BlankFrame();
    // A source of the output size without a crop goes to the writer as it came.
    if (layer.sourceWidth == movie_.OutWidth && layer.sourceHeight == movie_.OutHeight &&
        NoMargins(margins)) {
        return picture;
    }
    if (sampling_ == Sampling::Filtered)
        return CropScalePicture(picture.get(), movie_.OutWidth, movie_.OutHeight, margins, ScalerOf(0));
    return CropStretchPicture(layer.sourceWidth, layer.sourceHeight, picture.get(), movie_.OutWidth,
                              movie_.OutHeight, margins.Top, margins.Bottom, margins.Left, margins.Right);
}

DecodedFrame FrameComposer::Decoded(const FrameRow& row) {
    if (row.LayerCount > 0 || row.MainClip < 1 || row.MainClip >= static_cast<int32_t>(movie_.Clips.size()))
        return {};
    // A cropped clip is composed: deciding here on its margins would check them (and warn) twice.
    const ClipRec& clip = movie_.Clips[static_cast<std::size_t>(row.MainClip)];
    if (!NoMargins({clip.CropTop, clip.CropBottom, clip.CropLeft, clip.CropRight})) return {};
    layers_.Open(0, row.MainClip);
    const RenderLayer& layer = layers_.Layer(0);
    if (layer.sourceWidth != movie_.OutWidth || layer.sourceHeight != movie_.OutHeight) return {};
    return layers_.Decoded(0, row.MainFrame);
}

void FrameComposer::FillMain(const FrameRow& row) {
    const CropMargins margins = layers_.Open(0, row.MainClip);
    const RenderLayer& layer = layers_.Layer(0);
    if (Drawable(layer.openKind)) {
        cb::ComPtr<IPicture> picture = layers_.Picture(0, row.MainFrame, false);
        if (sampling_ == Sampling::Filtered) {
            if (picture && CropScaleToPixels(picture.get(), movie_.OutWidth, movie_.OutHeight, margins,
                                             ScalerOf(0), frame_))
                return;
        } else if (picture && CropStretchToPixels(picture.get(), layer.sourceWidth, layer.sourceHeight,
                                                  movie_.OutWidth, movie_.OutHeight, frame_, margins.Top,
                                                  margins.Bottom, margins.Left, margins.Right)) {
            return;
        }
    }
    // No clip, or a frame that cannot be read: black under the overlays.
    frame_.assign(static_cast<std::size_t>(movie_.OutWidth) * static_cast<std::size_t>(movie_.OutHeight), 0);
}

void FrameComposer::LayOverlay(int32_t layerIndex, const LayerRef& overlay) {
    const CropMargins margins = layers_.Open(layerIndex, overlay.Clip);
    const RenderLayer& layer = layers_.Layer(layerIndex);
    if (!Drawable(layer.openKind)) return;
    cb::ComPtr<IPicture> picture = layers_.Picture(layerIndex, overlay.Frame, true);
    if (sampling_ == Sampling::Filtered) {
        if (picture && ScaleOverlay(layerIndex, picture.get(), margins))
            LayCoveredPixels(frame_, overlay_, static_cast<int64_t>(frame_.size()));
        return;  // else left out of this frame
    }
    if (!picture || !CropStretchToPixels(picture.get(), layer.sourceWidth, layer.sourceHeight,
                                         movie_.OutWidth, movie_.OutHeight, overlay_, margins.Top,
                                         margins.Bottom, margins.Left, margins.Right)) {
        return;  // left out of this frame
    }
    const ClipRec& clip = movie_.Clips[static_cast<std::size_t>(layer.openClip)];
    const auto lay = layers_.CarriesAlpha(layerIndex) ? BlendOverlayPixels : ApplyOverlayPixels;
    lay(frame_, overlay_, static_cast<int64_t>(frame_.size()), clip.TransColors, clip.TransColorCount);
}

// The transparent colours and the overlay's own alpha become its coverage on the source pixels,
// scaled with the colour.
bool FrameComposer::ScaleOverlay(int32_t layerIndex, IPicture* picture, const CropMargins& margins) {
    const ClipRec& clip = movie_.Clips[static_cast<std::size_t>(layers_.Layer(layerIndex).openClip)];
    const OverlayAlpha alpha = layers_.CarriesAlpha(layerIndex) ? OverlayAlpha::Straight : OverlayAlpha::None;
    return CropScaleOverlay(picture, movie_.OutWidth, movie_.OutHeight, margins,
                            OverlayRanges(clip.TransColors, clip.TransColorCount), alpha,
                            ScalerOf(layerIndex), overlaySource_, overlay_);
}

PixelScaler& FrameComposer::ScalerOf(int32_t layer) {
    const auto index = static_cast<std::size_t>(layer);
    if (index >= scalers_.size()) scalers_.resize(index + 1);
    return scalers_[index];
}

cb::ComPtr<IPicture> FrameComposer::Layered(const FrameRow& row) {
    layers_.Grow(row.LayerCount);
    FillMain(row);
    for (int32_t k = 1; k <= row.LayerCount && k < static_cast<int32_t>(row.Layers.size()); ++k) {
        LayOverlay(k, row.Layers[static_cast<std::size_t>(k)]);
    }
    return PixelsToPicture(movie_.OutWidth, movie_.OutHeight, frame_);
}

}  // namespace composer
