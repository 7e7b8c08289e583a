#include "containers/share_movie_writer.h"

#include "base/failure.h"

namespace composer {

ShareMovieWriter::ShareMovieWriter(std::string path, ShareFormat format, const MovieWriterSettings& settings)
    : path_(std::move(path)), format_(format), settings_(settings) {}

std::string ShareMovieWriter::Notice() const {
    return ShareFrameSizeRounding(settings_.width, settings_.height);
}

void ShareMovieWriter::Start() {
    writer_.emplace(path_, format_, settings_.width, settings_.height, settings_.framesPerSecond, soundFile_,
                    settings_.share);
}

ContainerMovieWriter& ShareMovieWriter::started() {
    if (!writer_) throw Failure("The output file is not open.");
    return *writer_;
}

void ShareMovieWriter::AddPicture(IPicture* picture) { started().AddPicture(picture); }

bool ShareMovieWriter::AddDecoded(const AVFrame& frame) { return started().AddDecoded(frame); }

void ShareMovieWriter::Finish() { started().Finish(); }

std::string ShareMovieWriter::CodingName() const {
    return format_ == ShareFormat::WebM || settings_.share.video == ShareVideo::Vp9 ? "VP9" : "H.264";
}

}  // namespace composer
