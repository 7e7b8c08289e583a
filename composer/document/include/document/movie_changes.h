#pragma once
// Whether the movie changed since it was opened or last saved: the program asks before New, Open
// or closing would drop those changes. A change is anything the project file stores except where the
// movie is kept and last rendered to and which clip is current (choosing a clip is not an edit).
#include <cstdint>
#include <vector>

#include "document/movie_records.h"

namespace composer {

class SavedMovieMark {
  public:
    // Remembers the movie as it is now (after New, Open and Save).
    void Mark(const MovieDbRec& movie);
    // Whether the movie differs from the one last marked. A mark never set counts as a new movie.
    bool Changed(const MovieDbRec& movie) const;

  private:
    std::vector<int32_t> words_;
};

// The movie's project words with the current clip, the project path and the output path left out.
std::vector<int32_t> EditedWords(const MovieDbRec& movie);

}  // namespace composer
