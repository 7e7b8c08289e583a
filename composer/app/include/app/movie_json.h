#pragma once
// The movie as one JSON object, as `cinebrix-composer --info` prints it: the record's field names as
// keys, the 1-based arrays without their unused entry 0, the counts implied by the arrays' lengths.
#include <string>

#include "document/movie_records.h"

namespace composer::app {

std::string MovieJson(const MovieDbRec& movie);

}  // namespace composer::app
