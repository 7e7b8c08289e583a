#pragma once
// Laying an overlay's pixels over a frame, leaving out its transparent colours.
#include <cstdint>
#include <vector>

#include "base/color.h"
#include "document/movie_records.h"
#include "media/pixels/picture_operation.h"
#include "media/pixels/pixel_scaler.h"
#include "media/pixels/work_surface.h"

namespace composer {

// Whether the fourth byte of an overlay's pixels is their alpha (pictures with transparency, videos
// that carry it) or carries nothing (the overlay is opaque where no transparent colour holds it).
enum class OverlayAlpha { None, Straight };

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
    // The same, each kept overlay pixel mixed into the base by its fourth byte as straight alpha.
    void Blend(uint32_t* base, const uint32_t* overlay, std::size_t count) const;
    // Copies pixels[0 .. count - 1] into marked[], each transparent one replaced by transparentPixel;
    // returns how many were transparent.
    std::size_t Mark(const uint32_t* pixels, uint32_t* marked, std::size_t count,
                     uint32_t transparentPixel) const;
    // Copies pixels[0 .. count - 1] into covered[] premultiplied by their coverage, which goes into
    // the fourth byte: 0 for a transparent colour, else the pixel's own alpha (its fourth byte) when
    // `alpha` says it has one, else 255. A pixel of coverage 255 is copied as it is, with 0xFF on top.
    void Cover(const uint32_t* pixels, uint32_t* covered, std::size_t count, OverlayAlpha alpha) const;

  private:
    // Calls keep(p, pixel) for every pixel no range holds and drop(p) for the others.
    template <typename Keep, typename Drop>
    void Walk(const uint32_t* pixels, std::size_t count, Keep keep, Drop drop) const {
        if (words_ == 1) {
            // The usual case, a handful of colours: one word per channel value.
            const uint64_t* red = red_.data();
            const uint64_t* green = green_.data();
            const uint64_t* blue = blue_.data();
            for (std::size_t p = 0; p < count; ++p) {
                const uint32_t pixel = pixels[p];
                if (red[(pixel >> 16) & 0xFF] & green[(pixel >> 8) & 0xFF] & blue[pixel & 0xFF]) {
                    drop(p);
                } else {
                    keep(p, pixel);
                }
            }
            return;
        }
        for (std::size_t p = 0; p < count; ++p) {
            if (Transparent(pixels[p])) {
                drop(p);
            } else {
                keep(p, pixels[p]);
            }
        }
    }

    void Allocate(std::size_t entries);
    void Add(const ToleranceRange& range, std::size_t entry);
    std::size_t words_ = 0;                     // 64-entry groups
    std::vector<uint64_t> red_, green_, blue_;  // [channel value x words_ + group]
};

// Lays the overlay over the base: every overlay pixel that no transparent range holds replaces
// the base pixel with all four bytes; with no entries the overlay covers the base entirely. Works
// on the first pixelCount pixels, limited to the shorter buffer.
void ApplyOverlayPixels(PixelBuffer& base, const PixelBuffer& overlay, int64_t pixelCount,
                        const std::vector<TransColorRec>& transColors, int32_t transColorCount);

// One overlay pixel over one base pixel by the overlay's alpha (its fourth byte, not premultiplied):
// each colour channel becomes over x a + under x (1 - a), rounded to the nearest. At alpha 255 the
// result is the overlay pixel with all four bytes, at 0 the base pixel, both exactly; in between the
// base keeps its fourth byte.
uint32_t BlendPixel(uint32_t under, uint32_t over);

// Like ApplyOverlayPixels for an overlay whose fourth byte is alpha: a pixel of a transparent colour
// leaves the base as it is whatever its alpha; every other pixel is mixed in with BlendPixel. An
// overlay that is opaque throughout lays exactly as ApplyOverlayPixels does.
void BlendOverlayPixels(PixelBuffer& base, const PixelBuffer& overlay, int64_t pixelCount,
                        const std::vector<TransColorRec>& transColors, int32_t transColorCount);

// Premultiplies one pixel's colour by `alpha` (rounded to the nearest) and puts alpha on top.
uint32_t PremultiplyPixel(uint32_t pixel, uint32_t alpha);

// Lays an overlay whose pixels are premultiplied by their coverage (the fourth byte) over the base:
// each colour channel becomes over + under x (1 - a), rounded to the nearest; the base keeps its
// fourth byte. Coverage 255 gives the overlay's colour and 0 the base's, both exactly. A colour
// above its coverage (the overshoot of an interpolating filter at an edge) is taken as the coverage,
// so a transparent side never lights up. Works on the first pixelCount pixels of the shorter buffer.
void LayCoveredPixels(PixelBuffer& base, const PixelBuffer& overlay, int64_t pixelCount);

// An overlay's picture for the filtered render: the kept region of its pixels (margins cut off) is
// given its coverage on the source pixels (transparent colours and its own alpha, Cover), then scaled
// to outWidth x outHeight together with it into `covered` (rows bottom-up), ready for
// LayCoveredPixels: edges come out smooth and no transparent colour bleeds into them. `source` is a
// work buffer for the region's covered pixels. False when the picture gives no pixels or the scaler
// cannot scale between the sizes.
bool CropScaleOverlay(IPicture* picture, int32_t outWidth, int32_t outHeight, const CropMargins& margins,
                      const OverlayRanges& ranges, OverlayAlpha alpha, PixelScaler& scaler,
                      PixelBuffer& source, PixelBuffer& covered);

}  // namespace composer
