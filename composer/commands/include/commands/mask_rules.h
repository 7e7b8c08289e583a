#pragma once
// What the mask window decides without a widget: its working copy of a clip's crop edges and
// transparent colours, the checks of the crop and tolerance boxes, the colour-list edits and the
// list's rows, and the display colours read from the settings.
#include <cstdint>
#include <string>
#include <vector>

#include "base/color.h"
#include "document/movie_records.h"
#include "media/pixels/picture_operation.h"

namespace composer {

// The copy the window edits; OK writes it back into the clip, Cancel drops it.
struct MaskEdit {
    CropMargins crop;
    std::vector<TransColorRec> colors = std::vector<TransColorRec>(1);  // 1 .. count
    int32_t count = 0;
    int32_t current = 0;           // the current colour, 0 = none
    int32_t currentTolerance = 0;  // given to the next colour added
};

MaskEdit MaskEditOf(const ClipRec& clip);
void WriteMaskEdit(const MaskEdit& edit, ClipRec& clip);

enum class CropEdge { Top = 0, Bottom = 1, Left = 2, Right = 3 };
struct CropEntry {
    CropEdge edge;
    std::string text;
};

int32_t& CropValue(CropMargins& crop, CropEdge edge);

// The changed crop boxes of a width x height picture, checked in order: a negative value gives
// "Crop can not be less then zero", one beyond its limit (top below height - 2, bottom, left and
// right up to size - 2) "Crop can not go near or more then size", and the edge keeps its value;
// then left + right and top + bottom that come near the size reset both edges of that direction
// to 0 with their messages. Returns whether any box was applied (the preview is redrawn).
bool ApplyCropEntries(MaskEdit& edit, const std::vector<CropEntry>& changed, int32_t width, int32_t height);

// The tolerance box: with a current colour, a whole number 0 .. 99 becomes its tolerance and the
// current tolerance; anything else is ignored. Returns whether it was stored.
bool ApplyTolerance(MaskEdit& edit, const std::string& text);

// A clicked pixel's colour as a new entry with the current tolerance; it becomes the current colour.
void AddTransparentColor(MaskEdit& edit, RgbBytes color);

// The current entry takes a colour (red in bits 0-7). False without a current colour.
bool RecolorCurrent(MaskEdit& edit, int32_t color);

// "Delete this color?" (Yes / No); Yes removes the current entry. Returns whether it was removed.
bool DeleteCurrentColor(MaskEdit& edit);

// The colour list's rows: entry k lies at y = (k - scroll - 1) x 22 + 2 .. + 20.
inline constexpr int kColorRowPitch = 22;
int ColorRowTop(int32_t entry, int scroll);
// The entry whose row holds y, or 0.
int32_t ColorEntryAt(int y, int scroll, int32_t count);

// The preview's whole-number enlargement: a small picture is shown up to 4 times its size, as far
// as it stays within 640 x 480; a larger one at its own size.
int MaskPreviewZoom(int32_t width, int32_t height);

// The display colours: a stored value outside 0 .. 16,777,215 becomes the grey of 128
// (transparent, "TransColor") or 192 (crop, "CropColor").
int32_t StoredDisplayColor(const std::string& stored, int grey);

}  // namespace composer
