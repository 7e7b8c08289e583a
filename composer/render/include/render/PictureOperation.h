#pragma once
// PictureOperation: the picture operations the rendering engine rests on. A frame travels as a
// picture object (from the AVI reader wrapper, the image reader or a work surface) or as a pixel
// buffer; these routines turn one into the other, cut a clip's crop margins off while stretching
// what is left to the output size, and lay an overlay's pixels over a frame leaving out its
// transparent colours.
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
//
// Sampling: stretching takes, for each output pixel, the source pixel under its centre (nearest
// neighbour), as the platform picture's Render does.
#include <cstdint>
#include <memory>
#include <vector>

#include "appgen/color.h"
#include "cbplatform/bitmap.h"
#include "cbplatform/com_types.h"
#include "cbplatform/ipicture.h"
#include "document/movie_records.h"

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

// Crop margins in source pixels, each cut off its edge before stretching.
struct CropMargins {
    int32_t Top = 0;
    int32_t Bottom = 0;
    int32_t Left = 0;
    int32_t Right = 0;
};

// The arguments of the picture's Render call that draws a picture's kept region onto an output of
// outWidth x outHeight: destination (pixels) x = 0, y = outHeight - 1 + r, width = outWidth,
// height = -(outHeight + 2r); source (HIMETRIC, y from the bottom edge) x = left, y = bottom,
// width and height = the picture's size less the margins; every value rounded half to even.
// The kept region is stretched to outHeight + 2r rows starting r rows above the top, so r rows at
// the top and r at the bottom fall outside the frame.
struct RenderPlacement {
    LONG X = 0, Y = 0, Width = 0, Height = 0;
    OLE_XSIZE_HIMETRIC SourceX = 0;
    OLE_YSIZE_HIMETRIC SourceY = 0;
    OLE_XSIZE_HIMETRIC SourceWidth = 0;
    OLE_YSIZE_HIMETRIC SourceHeight = 0;
};
// r: the height of one source row in output rows, outHeight / sourceHeight in single precision,
// never below 1 (also 1 for a source height that is not positive).
float OverdrawRows(int32_t outHeight, int32_t sourceHeight);
RenderPlacement CropStretchPlacement(OLE_XSIZE_HIMETRIC pictureWidth, OLE_YSIZE_HIMETRIC pictureHeight,
                                     int32_t outWidth, int32_t outHeight, float overdrawRows,
                                     const CropMargins& margins);

// Writes the pixels into ProcessPic2 (fitted to width x height) and returns its image. Null when
// the size is not usable or the buffer holds fewer than width x height pixels.
cb::ComPtr<IPicture> PixelsToPicture(int32_t width, int32_t height, const PixelBuffer& pixels);

// Renders the kept part of the picture over ProcessPic1, fitted to the output size, and returns
// its image. sourceHeight is the clip's frame height in pixels as its reader reports it (it sets r).
// Null for a null picture or an output size that is not usable.
cb::ComPtr<IPicture> CropStretchPicture(int32_t sourceWidth, int32_t sourceHeight, IPicture* picture,
                                        int32_t outWidth, int32_t outHeight, int32_t top, int32_t bottom,
                                        int32_t left, int32_t right);

// Renders the whole picture (r = 1) over ProcessPic3 fitted to width x height and reads it into
// the buffer, resized to width x height with ResizePixelBuffer. False (buffer untouched) for a
// null picture or a size that is not usable.
bool PictureToPixels(IPicture* picture, int32_t width, int32_t height, PixelBuffer& pixels);

// CropStretchPicture on ProcessPic4, read into the buffer (resized to outWidth x outHeight).
bool CropStretchToPixels(IPicture* picture, int32_t sourceWidth, int32_t sourceHeight, int32_t outWidth,
                         int32_t outHeight, PixelBuffer& pixels, int32_t top, int32_t bottom, int32_t left,
                         int32_t right);

// The transparent colours of one overlay, prepared for the per-pixel test: for every value of a
// channel, a bit per colour entry whose range holds it. A pixel is transparent when some entry's
// bit is set for all three of its channels. Built once per overlay and frame.
class OverlayRanges {
public:
    // Entries 1..transColorCount of the clip's list (entry 0 is not used); a count beyond the list
    // is cut to it.
    OverlayRanges(const std::vector<TransColorRec>& transColors, int32_t transColorCount);
    explicit OverlayRanges(const std::vector<ToleranceRange>& ranges);

    bool Empty() const { return words_ == 0; }
    bool Transparent(uint32_t pixel) const;
    // Lays overlay[0 .. count - 1] over base[0 .. count - 1].
    void Apply(uint32_t* base, const uint32_t* overlay, std::size_t count) const;

private:
    void Allocate(std::size_t entries);
    void Add(const ToleranceRange& range, std::size_t entry);
    std::size_t words_ = 0;  // 64-entry groups
    std::vector<uint64_t> red_, green_, blue_;  // [channel value x words_ + group]
};

// Lays the overlay over the base: every overlay pixel that no transparent range holds replaces
// the base pixel with all four bytes; with no entries the overlay covers the base entirely. Works
// on the first pixelCount pixels, limited to the shorter buffer.
void ApplyOverlayPixels(PixelBuffer& base, const PixelBuffer& overlay, int64_t pixelCount,
                        const std::vector<TransColorRec>& transColors, int32_t transColorCount);

}  // namespace composer
