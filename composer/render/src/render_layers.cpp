#include "render_layers.h"

#include <exception>

#include "base/files.h"

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
    if (layer.openKind == ClipVideo) layer.video->ReadAVI_CloseFile();
    layer.openKind = 0;
    layer.sourceWidth = 0;
    layer.sourceHeight = 0;
    if (clip != 0) {
        const ClipRec& record = movie_.Clips[static_cast<std::size_t>(clip)];
        if (record.ClipType == ClipVideo) {
            // A file that does not open has size 0 and gives no frames: it plays as blank frames.
            if (!layer.video->ReadAvi_OpenFile(record.FilePath))
                NoteProblem(clip, layer.video->LastFailure);
            else if (!layer.video->Damage.empty())
                NoteProblem(clip, layer.video->Damage);
            layer.sourceWidth = layer.video->Width;
            layer.sourceHeight = layer.video->Height;
        } else if (record.ClipType == ClipPicture) {
            if (!layer.image->ReadImg_ReadFile(record.FilePath))
                NoteProblem(clip, layer.image->Problem);
            else if (!layer.image->damage.empty())
                NoteProblem(clip, "the picture is damaged (" + layer.image->damage + ")");
            layer.sourceWidth = layer.image->width;
            layer.sourceHeight = layer.image->height;
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
        if (!layer.video->IsOpen) return {};
        cb::ComPtr<IPicture> picture;
        try {
            if (layer.video->ReadAvi_GetOneFrameAsPicture(frame, picture)) return picture;
        } catch (const std::exception&) {
            // A frame that cannot be decoded is left out of the movie; the source is named once.
        }
        NoteProblem(layer.openClip, "frame " + std::to_string(frame) + " does not decode");
        return {};
    }
    if (layer.openKind == ClipPicture && (layer.image->loaded || !needLoaded)) return layer.image->picture;
    return {};
}

DecodedFrame RenderLayers::Decoded(int32_t layerIndex, int32_t frame) {
    RenderLayer& layer = layers_[static_cast<std::size_t>(layerIndex)];
    if (layer.openKind != ClipVideo || !layer.video->IsOpen) return {};
    try {
        return layer.video->ReadAvi_GetDecodedFrame(frame);
    } catch (const std::exception&) {
        return {};
    }
}

bool RenderLayers::CarriesAlpha(int32_t layerIndex) const {
    const RenderLayer& layer = layers_[static_cast<std::size_t>(layerIndex)];
    if (layer.openKind == ClipPicture) return layer.image->loaded;
    return layer.openKind == ClipVideo && layer.video->FramesCarryAlpha();
}

void RenderLayers::CloseAll() {
    for (RenderLayer& layer : layers_) layer.video->ReadAVI_CloseFile();
}

}  // namespace composer
