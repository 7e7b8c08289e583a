#pragma once
// The current-clip panel's texts and frame strip, decided without a widget: the window title, the
// frames the strip shows with their labels, and the facts of each clip kind. The clip window paints them.
#include <cstdint>
#include <string>
#include <vector>

#include "document/movie_records.h"

namespace composer {

// " Current Clip: [None]", or " Current Clip: " + name + " [" + path + "]".
std::string ClipPanelTitle(const MovieDbRec& movie);

// The strip's frames: from CurFrame (1 when 0), one every `scale` frames, 190 units apart while a
// 180-unit frame fits `width` and the number does not pass FrameCount.
inline constexpr int kStripPitch = 190;
inline constexpr int kStripFrameWidth = 180;
std::vector<int32_t> StripFrames(const ClipRec& clip, int32_t scale, int width);

// The label under a strip frame: its number within the used range + "/" + its time from the
// range's start, or "Not used" outside the range.
std::string StripFrameLabel(const ClipRec& clip, int32_t frame);

// The facts beside the strip, one text per line; for a missing source file " File not found".
std::vector<std::string> ClipFacts(const ClipRec& clip, bool fileExists);

}  // namespace composer
