#pragma once
// The clip values a stored movie can hold: what adding a clip and editing it in the clip and mask
// windows can produce. A clip is a video, a sound or a picture; crops are 0 or more pixels; delays,
// picture durations and source frame rates are finite and not negative; a video or picture has a
// size. A project that holds anything else was damaged or written by hand: like impossible output
// settings, it is refused at load instead of rendered with a clip silently dropped or misdrawn.
#include <string>

#include "document/movie_records.h"

namespace composer {

// "" when the clip's stored values are possible; otherwise what is wrong, naming the field and its
// value ("Crop Top -5: a crop is 0 or more pixels").
std::string ClipValuesProblem(const ClipRec& clip);

// The one check a loaded movie passes: its output settings (OutputSettingsProblem), then each clip
// in order, the first problem naming the clip ("Clip 2 (intro.avi): Crop Top -5: ..."); "" when
// none.
std::string MovieValuesProblem(const MovieDbRec& movie);

}  // namespace composer
