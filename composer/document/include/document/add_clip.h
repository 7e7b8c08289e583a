#pragma once
// PictureDBMod: the operations the menus and the mixer apply to the movie's clips. Each works on the
// current clip of the movie it is given (CurClip, located with FindCurClip) and does nothing when
// there is none or it stands on no track. After a change it asks the view seam to redraw what changed
// and makes the right clip current. Questions and messages go through the interaction seam; source
// files are read through a SourceProbe.
#include <cstdint>
#include <string>
#include <vector>

#include "base/outcome.h"
#include "document/movie_db.h"
#include "document/source_probe.h"

namespace composer {

// Adds a clip from a file and places it:
//   placement None (0): a new arranged entry at the end;
//   Arranged (1): a new arranged entry at `position` (0 = at the end; past the end = at the end);
//   Overlay (2): an overlay of arranged entry `position` (below 1 = 1, past the end = the last
//     entry) at `overlayPosition` (0 or past the end = at the end);
//   Unused (3): onto the unused shelf at `position`, as for Arranged.
// The place used is written back into position and overlayPosition. A missing file is refused with
// kClipFileMissing; a file of no clip kind (ClipTypeOfFile), a source the probe cannot
// read, a video without frames, or an overlay with no arranged entry to attach to
// is refused with the reason, nothing changed. The clip is named after the file ("Audio_" + name for a
// sound); a file that an earlier clip already uses gives name + "_New_" + the clip's index. A video with a
// sound track also gets a sound clip "Audio of " + its name, placed next to it (the overlay of its
// new arranged entry, the overlay after it, or the shelf entry after it) and decoded at once.
// The (video) clip becomes current. Gives the index of the added clip.
Outcome<int32_t> AddClip(MovieDbRec& movie, const std::string& path, TrackKind placement, int32_t& position,
                         int32_t& overlayPosition, SourceProbe& probe = Sources());

// What a command says of a file AddClip refused: path CR LF "Failed to add this file", then ": " and
// the reason when there is one.
std::string FailedToAddMessage(const std::string& path, const std::string& reason);

// What AddClip says of a file that is missing or not a regular file.
inline constexpr const char* kClipFileMissing = "the file is missing or not a regular file";

// The messages a command shows, in order, for a file AddClip refused for `reason`: "File not found"
// CR LF + path first when the file is missing (kClipFileMissing), then FailedToAddMessage.
std::vector<std::string> RefusedClipMessages(const std::string& path, const std::string& reason);

}  // namespace composer
