#include "render_layers.h"

#include "base/failure.h"
#include "media/pixels/image_reader_class.h"

namespace composer {

namespace {

constexpr const char* kLineEnd = "\r\n";

// A margin pair that leaves at most two rows (or columns) of the source. Summed in 64 bits: stored
// margins may be anything. A pair that is zero already is left alone: there is nothing to reset,
// and a source whose size is unknown (it did not open) must not produce warnings about margins it
// does not have.
bool PairTooLarge(int32_t first, int32_t second, int32_t sourceExtent) {
    const int64_t sum = static_cast<int64_t>(first) + second;
    return sum != 0 && sum >= static_cast<int64_t>(sourceExtent) - 2;
}

}  // namespace

RenderLayers::RenderLayers(const MovieDbRec& movie, std::string& warnings, SourceProblems* problems)
    : movie_(movie), warnings_(warnings), problems_(problems), layers_(1) {}

void RenderLayers::NoteProblem(int32_t clip, const std::string& reason) {
    if (problems_) problems_->Note(movie_.Clips[static_cast<std::size_t>(clip)].FilePath, reason);
}

void RenderLayers::Grow(int32_t overlayCount) {
    if (overlayCount > OverlayLayers()) layers_.resize(static_cast<std::size_t>(overlayCount) + 1);
}

void RenderLayers::OpenSource(RenderLayer& layer, int32_t clip) {
    layer.source.reset();
    layer.placeholder.reset();
    layer.openKind = 0;
    layer.sourceWidth = 0;
    layer.sourceHeight = 0;
    if (clip != 0) {
        const ClipRec& record = movie_.Clips[static_cast<std::size_t>(clip)];
        if (record.ClipType == ClipVideo || record.ClipType == ClipPicture) {
            try {
                layer.source = OpenClipSource(record);
                if (!layer.source->Damage().empty())
                    NoteProblem(clip, record.ClipType == ClipPicture
                                          ? "the picture is damaged (" + layer.source->Damage() + ")"
                                          : layer.source->Damage());
                layer.sourceWidth = layer.source->Width();
                layer.sourceHeight = layer.source->Height();
            } catch (const Failure& failure) {
                // A video that does not open has size 0 and gives no frames: it plays as blank
                // frames. A picture that does not load is drawn as the placeholder where allowed.
                NoteProblem(clip, failure.Reason());
                if (record.ClipType == ClipPicture) {
                    layer.placeholder = PlaceholderPicture();
                    layer.sourceWidth = kPlaceholderWidth;
                    layer.sourceHeight = kPlaceholderHeight;
                }
            }
        }
        layer.openKind = record.ClipType;
    }
    layer.openClip = clip;
}

CropMargins RenderLayers::CheckedMargins(const RenderLayer& layer, int32_t clip) {
    if (clip == 0) return {};
    const ClipRec& record = movie_.Clips[static_cast<std::size_t>(clip)];
    CropMargins margins{record.CropTop, record.CropBottom, record.CropLeft, record.CropRight};
    if (record.ClipType != ClipVideo && record.ClipType != ClipPicture) return margins;
    // A source that did not open has no size to check against: it is named once as unreadable,
    // not once per frame as a crop that does not fit.
    if (layer.sourceWidth <= 0 || layer.sourceHeight <= 0) return margins;
    if (PairTooLarge(margins.Top, margins.Bottom, layer.sourceHeight)) {
        margins.Top = margins.Bottom = 0;
        warnings_ +=
            "Crop Top + Bottom is too high, both reset to zero (Clip: " + record.ClipName + ")" + kLineEnd;
    }
    if (PairTooLarge(margins.Left, margins.Right, layer.sourceWidth)) {
        margins.Left = margins.Right = 0;
        warnings_ +=
            "Crop Left + Right is too high, both reset to zero (Clip: " + record.ClipName + ")" + kLineEnd;
    }
    return margins;
}

CropMargins RenderLayers::Open(int32_t layerIndex, int32_t clip) {
    RenderLayer& layer = layers_[static_cast<std::size_t>(layerIndex)];
    if (clip < 0 || clip >= static_cast<int32_t>(movie_.Clips.size())) clip = 0;
    if (clip != layer.openClip) OpenSource(layer, clip);
    return CheckedMargins(layer, clip);
}

cb::ComPtr<IPicture> RenderLayers::Picture(int32_t layerIndex, int32_t frame, bool needLoaded) {
    RenderLayer& layer = layers_[static_cast<std::size_t>(layerIndex)];
    if (layer.openKind == ClipVideo) {
        if (!layer.source) return {};
        try {
            return layer.source->Picture(frame);
        } catch (const Failure&) {
            // A frame that cannot be decoded is left out of the movie; the source is named once.
            NoteProblem(layer.openClip, "frame " + std::to_string(frame) + " does not decode");
            return {};
        }
    }
    if (layer.openKind == ClipPicture) {
        if (layer.source) return layer.source->Picture(frame);
        if (!needLoaded) return layer.placeholder;
    }
    return {};
}

DecodedFrame RenderLayers::Decoded(int32_t layerIndex, int32_t frame) {
    RenderLayer& layer = layers_[static_cast<std::size_t>(layerIndex)];
    if (layer.openKind != ClipVideo || !layer.source) return {};
    try {
        return layer.source->Decoded(frame);
    } catch (const Failure&) {
        // The frame is asked for as a picture next, which notes the source as unreadable.
        return {};
    }
}

bool RenderLayers::CarriesAlpha(int32_t layerIndex) const {
    const RenderLayer& layer = layers_[static_cast<std::size_t>(layerIndex)];
    return layer.source && layer.source->CarriesAlpha();
}

void RenderLayers::CloseAll() {
    for (RenderLayer& layer : layers_) layer = RenderLayer{};
}

}  // namespace composer
