#pragma once
// The mixer's commands that are not moves of the track arrays (those are in document/track_moves.h):
// adding clips at a place, the part test play's two questions, and the texts that depend on the
// movie. They work on the session's movie through the seams, so they run and are tested without a window.
#include <string>
#include <vector>

#include "document/movie_records.h"
#include "document/session.h"

namespace composer {

enum class MixerAdd {
    ArrangedEnd,    // the "Add" at the end of the arranged row
    UnusedEnd,      // the "Add" at the end of the unused row
    AtCurrentClip,  // the "Add" of a command strip: at the current clip's place
};

// The clip dialog, then the clip added there; a file that cannot be added gives path CR LF
// "Failed to add this file" and why (FailedToAddMessage). With AtCurrentClip and no current clip on a track,
// nothing. Redraws both boxes after a clip was added. Returns whether one was.
bool MixerAddCommand(Session& session, MixerAdd where);

// Files dropped from the file manager onto a box: each added at the end of the arranged row
// (ArrangedEnd) or of the shelf (UnusedEnd), in their order, as the "Add" commands add them; a file
// that cannot be added is named in a message and the others are still added. Returns how many were.
int AddDroppedFiles(Session& session, const std::vector<std::string>& paths, MixerAdd where);

// "Enter position at which to play a short part test play" CR LF "(duration in seconds)", then
// the span's start from the answer.
void AskTestPlayStart(TestPlaySpan& span);
// "Enter duration for a short part test play" CR LF "(duration in seconds, maximum 20 seconds)",
// then the span's duration from the answer.
void AskTestPlayDuration(TestPlaySpan& span);

// The captions of the part test play's position and length: "at 00", "for 10".
std::string TestPlayStartCaption(const TestPlaySpan& span);
std::string TestPlayDurationCaption(const TestPlaySpan& span);

// The help lines of the two "Add" commands at the ends of the rows, which depend on the movie.
std::string MovieAddHelp(const MovieDbRec& movie);
std::string UnusedAddHelp(const MovieDbRec& movie);

}  // namespace composer
