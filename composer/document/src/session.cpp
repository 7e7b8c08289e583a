#include "document/session.h"

#include <utility>

namespace composer {

MovieDbRec& Session::EditMovie() {
    ++revision_;
    return movie_;
}

void Session::ReplaceMovie(MovieDbRec movie) {
    ++revision_;
    movie_ = std::move(movie);
}

}  // namespace composer
