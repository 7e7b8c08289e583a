#pragma once
// A video frame as its decoder gave it (its planes, not converted into a picture), passed from a
// clip's reader to a movie writer that codes the same pictures again: the render then skips two
// colour conversions of every frame a clip gives unchanged.
#include <cstdint>
#include <memory>

struct AVFrame;

namespace composer {

// Null when there is none; the frame is never changed by those who hold it.
using DecodedFrame = std::shared_ptr<const AVFrame>;

// Whether the frame is 8-bit 4:2:0 in the studio range with BT.709 colours, as the movies to share
// are coded. A frame whose colours are not named counts as BT.709 when it is at least 720 rows high
// (as players show it), else as BT.601.
bool IsBt709Video420(const AVFrame& frame);

// The colour space (an AVColorSpace value) a movie of that many rows is coded in: BT.709 from 720
// rows up, else BT.601 (SMPTE 170M), as standard-definition video is coded and as players read a
// movie of that size.
int MovieColourSpace(int32_t rows);

// Whether the frame is 8-bit 4:2:0 in the studio range with the colours of `colourSpace`, read as
// ColourSpaceOf reads them (BT.601's two names are one matrix).
bool IsVideo420In(const AVFrame& frame, int colourSpace);

// The colour space a frame's colours are read in: its own when named, else the usual one for its
// height (an AVColorSpace value).
int ColourSpaceOf(const AVFrame& frame);

}  // namespace composer
