#pragma once
// The program's state for one run: the movie being composed and the choices that outlive a movie.
// The program's entry point owns one; the windows, the commands and the headless commands are handed
// it (or only its movie) by reference, so nothing below the entry point keeps state of its own.
//
// Every change of the movie goes through EditMovie, which counts it: whoever keeps a revision can tell
// later whether the movie changed since.
#include <cstdint>

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
    // Goes up by one with every EditMovie and ReplaceMovie; starts at 0.
    uint64_t Revision() const { return revision_; }

    OutputChoices output;   // the compressor and the coding of the output movie
    TestPlaySpan testPlay;  // the part test play's place and length
    MixerView view;         // the mixer's scroll places and the clip window's frame step
    FileDialogMemories dialogs;

  private:
    MovieDbRec movie_;
    uint64_t revision_ = 0;
};

}  // namespace composer
