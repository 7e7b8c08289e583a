#pragma once
// The demo movie: which clips the demo folder holds and how the project places them.
#include <string>

#include "document/movie_records.h"

namespace demo {

// Writes the demo's clips into `folder` (which must exist): bars.avi (a moving pattern with a
// sound track), ball.avi (a ball on a plain key-colour ground), badge.bmp and chord.wav.
// Throws std::runtime_error when a file cannot be written.
void WriteDemoClips(const std::string& folder);

// The demo movie over the clips in `folder`. It uses every kind of placement: a video and a
// picture on the arranged track; a video overlay and a picture overlay with delays and
// transparent colours (one with a tolerance); a sound file and a video's sound track as sound
// overlays; a crop on the video and on the picture overlay; a trimmed range of the video; a
// picture duration. The picture overlay reaches past the last arranged clip, so the movie ends
// with the overlay over black.
composer::MovieDbRec DemoMovie(const std::string& folder);

}  // namespace demo
