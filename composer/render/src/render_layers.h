#pragma once
// The drawing levels of a render run: layer 0 is the arranged clip, layers 1..n the overlays in
// their order. Each layer keeps its own readers and the clip whose source it has open, so that
// consecutive frames of one clip reuse the open file or loaded picture.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cbplatform/com_types.h"
#include "cbplatform/ipicture.h"
#include "document/movie_records.h"
#include "media/clip_source.h"
#include "media/pixels/picture_operation.h"
#include "render/source_problems.h"

namespace composer {

struct RenderLayer {
    std::unique_ptr<ClipSource> source;  // the open clip's source; null when none or it did not open
    cb::ComPtr<IPicture> placeholder;    // drawn for a picture clip whose file did not load
    int32_t openClip = 0;                // clip whose source is open here; 0 = none
    int32_t openKind = 0;                // its ClipType; 0 = none
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0;
};

// A picture of a layer's clip for one frame; null when it cannot be had.
struct LayerPicture {
    cb::ComPtr<IPicture> picture;
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0;
    CropMargins margins;
};

class RenderLayers {
  public:
    // Warning lines are appended to `warnings` (each ends with CR LF). Sources that cannot be read
    // are noted in `problems` when given.
    RenderLayers(const MovieDbRec& movie, std::string& warnings, SourceProblems* problems = nullptr);
    RenderLayers(const RenderLayers&) = delete;
    RenderLayers& operator=(const RenderLayers&) = delete;
    ~RenderLayers() { CloseAll(); }

    // Makes sure overlay layers 1..overlayCount exist; existing layers keep their open sources.
    void Grow(int32_t overlayCount);
    // Overlay layers that exist (layer 0 not counted).
    int32_t OverlayLayers() const { return static_cast<int32_t>(layers_.size()) - 1; }

    // Opens `clip` in the layer unless it is open there already, and gives the crop margins for
    // this frame: the clip's own, with a pair that leaves no picture of the source set to 0 and
    // a warning line appended.
    CropMargins Open(int32_t layer, int32_t clip);

    // The frame (1-based) of the open video, or the loaded picture, of the layer. A video frame the
    // reader cannot give is null (and noted). A picture file that did not load gives the reader's
    // placeholder, or null when `needLoaded`.
    cb::ComPtr<IPicture> Picture(int32_t layer, int32_t frame, bool needLoaded);

    // The frame (1-based) of the layer's open video as its decoder gave it; null when the source
    // gives none (an AVI file, a picture), or the frame cannot be had (Picture then says why).
    DecodedFrame Decoded(int32_t layer, int32_t frame);

    // Whether the fourth byte of the layer's pictures is their alpha: true for a picture file (its
    // decoder gives 255 where the file has none) and for a video the container reader reads.
    bool CarriesAlpha(int32_t layer) const;

    const RenderLayer& Layer(int32_t layer) const { return layers_[static_cast<std::size_t>(layer)]; }

    // Closes every layer's source.
    void CloseAll();

  private:
    void OpenSource(RenderLayer& layer, int32_t clip);
    CropMargins CheckedMargins(const RenderLayer& layer, int32_t clip);

    void NoteProblem(int32_t clip, const std::string& reason);

    const MovieDbRec& movie_;
    std::string& warnings_;
    SourceProblems* problems_;
    std::vector<RenderLayer> layers_;
};

}  // namespace composer
