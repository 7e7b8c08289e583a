#pragma once
// The plain data words of a project file: the movie record as 32-bit words before enciphering,
// and back. Strings travel as string blocks: C, L, then the L bytes packed four to a word (first
// byte lowest, the last word padded with zeros) in C - 1 words, C = round-half-to-even(L / 4 + 2);
// an empty string is the block 1, 0. The bytes are the string's UTF-8 bytes (so ASCII texts are
// one byte per character); bytes that are not valid UTF-8 are read as Windows-1252.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/failure.h"
#include "document/movie_records.h"

namespace composer {

// The string block of a text: C + 1 words, word 0 = C, word 1 = L.
std::vector<int32_t> StrToWords(const std::string& text);

// The text of a string block (word 0 = C, word 1 = L, then the bytes). L <= 0 gives "". Throws
// Failure when L bytes do not fit in the block's C - 1 words or the block is shorter than C + 1.
std::string WordsToStr(std::span<const int32_t> block);

// D(0 .. N) of a movie, D(0) = N: the counts, the output settings (word 7 the height, word 8 the
// width), the movie name, project path and output path, one group per clip, one per arranged entry,
// then the unused shelf. The derived and cached fields of the clips are not stored.
std::vector<int32_t> MovieToWords(const MovieDbRec& movie);

// The movie of D(1 .. N) (words[0] is ignored). Every count and length is checked against the words
// that remain before anything is sized by it, and every clip index on a track must name a clip;
// otherwise Failure. Extra words after the shelf are ignored.
MovieDbRec WordsToMovie(const std::vector<int32_t>& words);

}  // namespace composer
