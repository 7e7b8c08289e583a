#include "document/movie_changes.h"

#include "document/movie_db.h"
#include "document/project_words.h"

namespace composer {

std::vector<int32_t> EditedWords(const MovieDbRec& movie) {
    MovieDbRec comparable = movie;
    comparable.CurClip = 0;
    comparable.ProjectPath.clear();
    comparable.OutputPath.clear();
    return MovieToWords(comparable);
}

void SavedMovieMark::Mark(const MovieDbRec& movie) { words_ = EditedWords(movie); }

bool SavedMovieMark::Changed(const MovieDbRec& movie) const {
    if (words_.empty()) {
        MovieDbRec blank = movie;
        ClearMovie(blank);
        return EditedWords(blank) != EditedWords(movie);
    }
    return words_ != EditedWords(movie);
}

}  // namespace composer
