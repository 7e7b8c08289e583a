#pragma once
// The program's state for one run: the movie being composed and the choices that outlive a movie.
// The program's entry point owns one; the windows, the commands and the headless commands are handed it (or
// only its movie) by reference: below the entry point only the run's folders and name counter stay global.
//
// Every change of the movie goes through EditMovie, which counts it: whoever keeps a revision can tell
// later whether the movie changed since.
#include <cstdint>
#include <string>

#include "base/app_state.h"
#include "document/file_choice.h"
#include "document/movie_records.h"

namespace composer {

// The three file dialogs of the main window, each with its remembered file.
struct FileDialogMemories {
    FileDialogMemory clips;     // the four clip choices
    FileDialogMemory output;    // the output movie
    FileDialogMemory projects;  // project files
};

class Session {
  public:
    const MovieDbRec& Movie() const { return movie_; }
    // The movie to change; counts a change whether or not the caller then changes something.
    MovieDbRec& EditMovie();
    // Replaces the whole movie (a project opened, a render's results taken back); counts a change.
    void ReplaceMovie(MovieDbRec movie);
    // Goes up by one with every change of the movie; starts at 0.
    uint64_t Revision() const { return revision_; }

    // A render works on a copy of the movie (taken with Movie()) and of the settings it needs, on any
    // thread, so that nothing it does reaches the session while it runs. When it has ended, this is
    // the one place its results come back, on the session's thread: the output path, the output
    // settings as the render repaired them, and the sound caches it decoded for clips that are still
    // the same (same index, same file). Counts as a change.
    void TakeRenderResults(const MovieDbRec& rendered);

    OutputChoices output;   // the compressor and the coding of the output movie
    TestPlaySpan testPlay;  // the part test play's place and length
    MixerView view;         // the mixer's scroll places and the clip window's frame step
    FileDialogMemories dialogs;
    NoticeFlags notices;                          // the notices already shown in this run
    int32_t memoryBudget = kMinimumMemoryBudget;  // bytes in-memory buffers may use (the memory check's)
    bool showUserGuide = true;                    // whether user-guide tips are shown at all
    std::string helpFolder;  // the help pages the help commands open; "" when none was set

  private:
    MovieDbRec movie_;
    uint64_t revision_ = 0;
};

}  // namespace composer
