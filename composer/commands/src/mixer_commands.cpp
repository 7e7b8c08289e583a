#include "commands/mixer_commands.h"

#include "base/duration.h"
#include "base/interaction.h"
#include "base/text_number.h"
#include "base/view.h"
#include "commands/test_play_answers.h"
#include "document/add_clip.h"
#include "document/file_choice.h"
#include "document/movie_db.h"

namespace composer {

namespace {

// Where an Add puts its clip; kind None when there is nowhere.
TrackPlace AddPlace(const MovieDbRec& movie, MixerAdd where) {
    switch (where) {
        case MixerAdd::ArrangedEnd:
            return {TrackKind::Arranged, 0, 0};
        case MixerAdd::UnusedEnd:
            return {TrackKind::Unused, 0, 0};
        case MixerAdd::AtCurrentClip:
            return FindCurClip(movie);
    }
    return {};
}

// Adds one file at a place; a file that cannot be added is named in a message.
bool AddFileAt(Session& session, const std::string& path, TrackPlace place) {
    const Outcome<int32_t> added =
        AddClip(session.EditMovie(), path, place.kind, place.position, place.overlayPosition);
    if (added) return true;
    for (const std::string& message : RefusedClipMessages(path, added.Reason())) MsgBox(message);
    return false;
}

void RedrawBothBoxes() {
    DrawMovieTracks();
    DrawUnusedTrack();
}

}  // namespace

bool MixerAddCommand(Session& session, MixerAdd where) {
    const TrackPlace place = AddPlace(session.Movie(), where);
    if (place.kind == TrackKind::None) return false;
    const std::string path = ChooseAnyClipFile(session.dialogs.clips);
    if (path.empty() || !AddFileAt(session, path, place)) return false;
    RedrawBothBoxes();
    return true;
}

int AddDroppedFiles(Session& session, const std::vector<std::string>& paths, MixerAdd where) {
    if (where == MixerAdd::AtCurrentClip) return 0;
    int added = 0;
    for (const std::string& path : paths)
        added += AddFileAt(session, path, AddPlace(session.Movie(), where)) ? 1 : 0;
    if (added > 0) RedrawBothBoxes();
    return added;
}

void AskTestPlayStart(TestPlaySpan& span) {
    const auto answer =
        InputBox("Enter position at which to play a short part test play\r\n(duration in seconds)", "",
                 FormatNumber(span.startSeconds));
    if (const auto seconds = TestPlayStartAnswer(answer)) span.startSeconds = *seconds;
}

void AskTestPlayDuration(TestPlaySpan& span) {
    const auto answer =
        InputBox("Enter duration for a short part test play\r\n(duration in seconds, maximum 20 seconds)", "",
                 FormatNumber(span.durationSeconds));
    if (const auto seconds = TestPlayDurationAnswer(answer)) span.durationSeconds = *seconds;
}

std::string TestPlayStartCaption(const TestPlaySpan& span) {
    return "at " + FormatDuration(span.startSeconds);
}
std::string TestPlayDurationCaption(const TestPlaySpan& span) {
    return "for " + FormatDuration(span.durationSeconds);
}

std::string MovieAddHelp(const MovieDbRec& movie) {
    if (movie.ClipCount == 0)
        return "Click to add a new clip. Video, Picture or Audio. This is the first command to use.";
    if (movie.ArrangedCount > 0) return "Adds a new clip to arranged at the end. Video, Picture or Audio.";
    return "Adds a new clip to arranged. Video, Picture or Audio.";
}

std::string UnusedAddHelp(const MovieDbRec& movie) {
    if (movie.UnusedCount > 0) return "Adds a new clip to unused at the end. Video, Picture or Audio.";
    return "Adds a new clip to unused. Video, Picture or Audio.";
}

}  // namespace composer
