#pragma once
// The movie render: writes the output movie, frame after frame, from the timeline plan. Each frame
// is the arranged clip that plays then (cropped and stretched to the output size) with the overlay
// clips laid over it in their order, leaving out their transparent colours; the mixed sound of the
// same time range is attached at the end. Runs on the calling thread from start to end and reaches
// the user through the interaction seam only for the wait cursor and the progress bar: what it has
// to say is handed back in its report, for the command that started it to show (ShowMessages).
//
// Frame f of the output covers movie time (f - 1) / OutFps onward.
#include <string>
#include <vector>

#include "base/interaction.h"
#include "document/movie_plan.h"
#include "document/movie_records.h"
#include "render/render_options.h"

namespace composer {

// What a run gives the command that started it.
struct RenderReport {
    bool written = false;  // the movie was written completely (unreadable sources allowed)
    // The sources the movie had to do without, one line each ("cannot read PATH: REASON").
    std::vector<std::string> unreadableSources;
    // What to tell the user, in this order: a refusal before anything was written; or the warnings
    // of the run, the sources missing or unreadable, and why the run failed. Nothing after a stop.
    std::vector<UserMessage> messages;

    explicit operator bool() const { return written; }
};

// The whole movie into `fileName`. A movie of duration 0 gives "Movie duration is zero" (title
// "Save Movie failed") and writes nothing; so do output settings no movie can be made with
// (OutputSettingsProblem) and a movie too long to plan (MoviePlanTooLong), with their texts.
// The report says whether the movie was written completely and lists the sources it had to do
// without (see RenderMovie).
RenderReport SaveMovie(MovieDbRec& movie, const std::string& fileName, RenderOptions& options);

// The time range [startSeconds, endSeconds] into `fileName`; an end past the movie is lowered to
// its end. "Movie duration is zero" or "Invalid start/end time" (title "Save Part Movie failed")
// when there is nothing to write, and the refusals of SaveMovie.
RenderReport SavePartMovie(MovieDbRec& movie, const std::string& fileName, double startSeconds,
                           double endSeconds, RenderOptions& options);

// The render run over a plan built from `movie`, with the options of the command that started it
// (the writer replaces a compressor code it cannot use in options.compressor):
// - a movie is never written over what it is made from: an output that is (links and ".." seen
//   through) the file of one of its clips or its project file is refused with a message naming it;
// - an existing output that is read-only or cannot be replaced stops the run with "The file <name>
//   / already exists and could not be deleted / please delete it and try again" before anything is
//   written; a file the writer cannot create gives "Failed to create file";
// - the movie is written beside the output under a name of its own and takes the output's name only
//   when it is complete and reads back with all its frames: a run that fails or is stopped leaves
//   whatever was there as it was, and no partial file;
// - frames round(start x OutFps + 1) .. round(end x OutFps + 1) (halves to even), kept within
//   1 .. TotalFrames, are composed and written; the progress bar advances every 10 frames;
// - the sound of the range (MixOutputAudio) from the time of the first frame written, (first - 1) /
//   OutFps, becomes the sound track, so that a range starting between frames keeps its sound with them;
// - OutputPath takes the file name once the file is created;
// - crop margins that leave no picture (top + bottom >= height - 2, left + right >= width - 2) are
//   ignored in the frames where they fail, with one warning line per frame and margin pair, all
//   shown together at the end (a source that did not open has no margins to check);
// - when the writer refuses a frame or the sound track, or a disk fills up (the message then names
//   the folder and "No space left on device"), the run stops there and the user is told what failed;
// - a stop asked for by a signal (cb::StopSignal) or by the command that started the run
//   (options.stopRequest, from another thread) ends the run before the next frame, silently; the
//   output keeps what it had, and so does OutputPath.
// Source frames or pictures that cannot be read give a blank frame (black under overlays) or leave
// the overlay out, and sounds that cannot be read are left out of the mix; each such source is
// named once, with the first reason found ("cannot read PATH: frame 12 does not decode"), in one
// message at the end and in the report's unreadableSources. The report says whether the movie was
// written completely (a movie written with unreadable sources counts as written); every message
// named here is in its messages, none is shown by the run.
RenderReport RenderMovie(MovieDbRec& movie, const MoviePlan& plan, const std::string& fileName,
                         double startSeconds, double endSeconds, RenderOptions& options);

}  // namespace composer
