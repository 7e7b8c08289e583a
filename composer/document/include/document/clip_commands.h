#pragma once
// The clip commands of the menus and the mixer: clone, delete and rename the current clip. Each works
// on the current clip of the movie it is given (CurClip, located with FindCurClip) and does nothing
// when there is none or it stands on no track; after a change it asks the view seam to redraw.
#include "document/movie_db.h"

namespace composer {

// A copy of the current clip right after it on the same track, named + "_Clone", with an empty sound
// cache so that it decodes its own sound; the copy becomes current.
void CloneClip(MovieDbRec& movie);

// Deletes the current clip after "Are you sure to delete this clip?" (title "Delete clip"). An arranged
// clip with overlays is refused with "There are " n " overlay (dependent) clips." CR LF "Drop them or
// delete them before deleting this clip." (title "Delete Failed"). Later clips move one index down
// and every stored index follows; the clip now at the same place (or the last one of that track, or
// for an overlay its arranged clip) becomes current.
void DeleteClip(MovieDbRec& movie);

// Asks "Enter new name for clip" (title "Rename Clip", the current name as default); an empty answer
// or Cancel changes nothing.
void RenameClip(MovieDbRec& movie);

}  // namespace composer
