#pragma once
// Pixel buffers and the hidden work surfaces the picture operations draw on.
//
// Pixel buffer: width x height 32-bit values, index 0 is the bottom-left pixel; the pixel of row
// `row` (0 = top) and column `column` is at (height - 1 - row) x width + column. Each value holds
// blue in bits 0-7, green in 8-15, red in 16-23; bits 24-31 are whatever the picture held there
// (0xFF for decoded image files, 0 for a cleared surface) and are carried along untouched.
//
// Drawing happens on hidden work surfaces, one per operation (ProcessMainFrm()). A picture an
// operation returns shows its surface's image: it stays a valid object for as long as the caller
// holds it, and shows the next result once the same operation runs again on a surface of the same
// size. Other operations never draw on it.
#include <cstdint>
#include <memory>
#include <vector>

#include "cbplatform/bitmap.h"
#include "cbplatform/com_types.h"
#include "cbplatform/ipicture.h"

namespace composer {

using PixelBuffer = std::vector<uint32_t>;

// The index of a pixel in a buffer of that width and height (row 0 = top).
inline std::size_t PixelIndex(int32_t width, int32_t height, int32_t row, int32_t column) {
    return static_cast<std::size_t>(height - 1 - row) * static_cast<std::size_t>(width) +
           static_cast<std::size_t>(column);
}

// The header that describes a pixel buffer in every transfer between a surface and a buffer.
struct BitmapInfo32 {
    int32_t HeaderSize = 40;
    int32_t Width = 0;
    int32_t Height = 0;  // positive: rows bottom-up
    int16_t Planes = 1;
    int16_t BitCount = 32;
    int32_t Compression = 0;  // uncompressed RGB
    int32_t SizeImage = 0;    // width x height x 4
    int32_t XPelsPerMeter = 0;
    int32_t YPelsPerMeter = 0;
    int32_t ColorsUsed = 0;
    int32_t ColorsImportant = 0;
    cb::RgbQuad FirstColor{};
};
BitmapInfo32 MakeBitmapInfo32(int32_t width, int32_t height);

// True when both sides are positive and width x height x 4 fits a signed 32-bit integer: the
// frame sizes every operation here accepts. Operations refuse other sizes (null picture / false).
bool PixelSizeUsable(int32_t width, int32_t height);

// Re-creates the buffer with `count` zero (black) entries unless it holds exactly `count` entries
// already and is not empty, in which case its contents stay. A count below 0 counts as 0.
void ResizePixelBuffer(PixelBuffer& buffer, int64_t count);

// A hidden drawing surface: a 32-bit bitmap with a background colour (0x00RRGGBB as stored in
// a pixel, black unless told otherwise). Empty (0 x 0) until first fitted.
class WorkSurface {
  public:
    explicit WorkSurface(uint32_t backgroundPixel = 0) : background_(backgroundPixel) {}

    int32_t Width() const { return bitmap_ ? bitmap_->width() : 0; }
    int32_t Height() const { return bitmap_ ? bitmap_->height() : 0; }
    // The bitmap drawn on; null while the surface is empty.
    cb::Bitmap* Bits() { return bitmap_.get(); }
    // The surface's current image as a picture object over the same bitmap (null while empty).
    // Resizing gives the surface a new bitmap, so a picture taken before keeps its old image.
    cb::ComPtr<IPicture> Image();
    // Fills the surface with its background colour.
    void Clear();

  private:
    friend void FitWorkSurface(WorkSurface& surface, int32_t width, int32_t height);
    std::shared_ptr<cb::Bitmap> bitmap_;
    cb::ComPtr<IPicture> image_;
    uint32_t background_ = 0;
};

// Gives the surface the wanted size; when its width or height had to change it is cleared to its
// background colour. A surface that has the size already keeps its drawing. Sizes that are not
// usable (PixelSizeUsable) leave the surface as it is.
void FitWorkSurface(WorkSurface& surface, int32_t width, int32_t height);

// The hidden work form's surfaces, one per operation.
struct ProcessMainForm {
    WorkSurface ProcessPic1;  // CropStretchPicture
    WorkSurface ProcessPic2;  // PixelsToPicture
    WorkSurface ProcessPic3;  // PictureToPixels
    WorkSurface ProcessPic4;  // CropStretchToPixels
    WorkSurface ReadPic;      // the render driver's blank frames
};
ProcessMainForm& ProcessMainFrm();

}  // namespace composer
