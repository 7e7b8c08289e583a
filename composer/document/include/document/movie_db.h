#pragma once
// The basic operations on a movie record. Each takes the record it works on; the program's movie is
// the session's (document/session.h).
#include "document/movie_records.h"

namespace composer {

// Where the current clip stands.
enum class TrackKind : int32_t {
    None = 0,      // on no track
    Arranged = 1,  // the clip of arranged entry `position`
    Overlay = 2,   // overlay `overlayPosition` of arranged entry `position`
    Unused = 3,    // entry `position` of the unused shelf
};

struct TrackPlace {
    TrackKind kind = TrackKind::None;
    int32_t position = 0;
    int32_t overlayPosition = 0;
};

// The first place of CurClip, in the order: each arranged entry's clip, then that entry's overlays,
// then the unused shelf. None when CurClip stands nowhere (or is 0).
TrackPlace FindCurClip(const MovieDbRec& movie);

// Makes a clip current, clamped to 1 .. ClipCount (0 when there are no clips).
void SelectClip(MovieDbRec& movie, int32_t index);

// No transparent colours: TransColorCount 0, TransColors holding only entry 0. Called on every clip
// slot that an adding operation creates, before the other fields are filled.
void InitClipColors(ClipRec& clip);

// Empties a movie: no clips, no tracks, no current clip, no project or output path, named
// "New Movie". The output settings stay as they are.
void ClearMovie(MovieDbRec& movie);

// The clip `index` names, or nullptr when it names none (a damaged record may hold any index).
const ClipRec* ClipAt(const MovieDbRec& movie, int32_t index);

}  // namespace composer
