#pragma once
// The mask window's preview of a clip frame: the cropped edges painted in one colour and every
// pixel that the clip's transparent colours remove painted in another, tested with the same
// colour ranges the render uses when it lays the clip over a frame (overlay_pixels.h).
#include <cstdint>
#include <vector>

#include "document/movie_records.h"
#include "media/pixels/picture_operation.h"
#include "media/pixels/work_surface.h"

namespace composer {

struct MaskPreviewColors {
    uint32_t cropPixel = 0;         // pixel value (0x00RRGGBB) of a cropped pixel
    uint32_t transparentPixel = 0;  // pixel value of a transparent one
};

struct MaskPreviewCount {
    int64_t keptPixels = 0;         // pixels inside the crop edges
    int64_t transparentPixels = 0;  // of those, the pixels the colours make transparent
    // The transparent share of the kept pixels, 0 .. 1 (0 when nothing is kept).
    double TransparentShare() const;
};

// Builds the preview of a width x height frame (bottom-up buffer, work_surface.h) into `preview`:
// a pixel within the top or bottom crop rows or the left or right crop columns takes the crop
// colour; otherwise a pixel that entries 1 .. transColorCount hold takes the transparent colour;
// every other pixel keeps its value. A frame holding fewer pixels than its size gives an empty preview.
MaskPreviewCount BuildMaskPreview(const PixelBuffer& frame, int32_t width, int32_t height,
                                  const CropMargins& crop, const std::vector<TransColorRec>& transColors,
                                  int32_t transColorCount, const MaskPreviewColors& colors,
                                  PixelBuffer& preview);

}  // namespace composer
