#include "media/movie_writer.h"

#include "containers/share_movie_writer.h"
#include "library/avi_movie_writer.h"

namespace composer {

std::unique_ptr<MovieWriter> CreateMovieWriter(const std::string& writtenPath, const std::string& outputName,
                                               MovieWriterSettings& settings) {
    const ShareFormat format = ShareFormatOfFile(outputName);
    if (format != ShareFormat::None) return std::make_unique<ShareMovieWriter>(writtenPath, format, settings);
    return std::make_unique<AviMovieWriter>(writtenPath, settings);
}

}  // namespace composer
