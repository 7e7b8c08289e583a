#pragma once
// What the movie properties dialog decides without a widget: the checks of OK, the compressor
// list as the dialog offers it, and what an accepted dialog stores into the movie.
#include <cstdint>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "document/movie_records.h"
#include "media/library/compressor_list.h"

namespace composer {

// The first failing check of the frame rate (above 0.1, at most 1000), the width and the height
// (2 .. 20000) as their texts read, with CR LF "Please correct it"; "" when all pass.
std::string MoviePropertiesFailure(const std::string& fpsText, const std::string& widthText,
                                   const std::string& heightText);

// Why the compressor chosen (as the render settles it: CheckCompressor) cannot write frames of the
// size the texts give, as the library says it, with CR LF "Please choose another compressor or
// size"; "" when it can. The library tries one frame of that size in a child process.
std::string CompressorSizeFailure(int32_t compressor, const std::string& widthText,
                                  const std::string& heightText);

struct CompressorChoice {
    int32_t handler = 0;
    std::string name;
};
struct CompressorChoices {
    std::vector<CompressorChoice> entries;  // "No compression" (0) first, then the writing compressors
    std::size_t selected = 0;
};

// The list for the current handler code; code 0 stands for "MSVC". The entry with that code is
// selected, else "No compression".
CompressorChoices CompressorChoicesFor(const std::vector<CompressorEntry>& writing, int32_t current);

// The sampling rates offered, in order.
const std::vector<int32_t>& OfferedSampleRates();

struct MovieProperties {
    std::string title;
    std::string fpsText;
    std::string widthText;
    std::string heightText;
    int32_t compressor = 0;
    int32_t channels = 2;
    int32_t bits = 16;
    int32_t rate = 22050;
    OutputCoding coding;  // key frames and the coding of movies to share
};

// The accepted dialog into the movie and the output compressor. The audio choices are stored too:
// someone who picks 8-bit mono expects 8-bit mono in the movie.
// The coding choices go to `outCoding`, kept with the output settings like the compressor.
void ApplyMovieProperties(const MovieProperties& properties, MovieDbRec& movie, int32_t& outCompressor,
                          OutputCoding& outCoding);

}  // namespace composer
