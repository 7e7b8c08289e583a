#include "library/avi_movie_writer.h"

#include "base/failure.h"
#include "vidmill/vidmill.h"

namespace composer {

AviMovieWriter::AviMovieWriter(const std::string& path, MovieWriterSettings& settings) {
    writer_.CreateNewFile(path, settings.width, settings.height, settings.framesPerSecond,
                          settings.compressor, settings.showCompressorDialog, settings.keyFrameInterval);
    compressor_ = settings.compressor;
}

void AviMovieWriter::AddSound(const std::string& wavFile) { writer_.WriteAVI_AddAudio(wavFile); }

void AviMovieWriter::AddPicture(IPicture* picture) {
    if (!writer_.WriteAvi_AddPicture(picture)) throw Failure("The output file is not open.");
}

void AviMovieWriter::Finish() {
    if (const std::optional<std::string> refused = writer_.WriteAVI_CloseFile()) throw Failure(*refused);
}

std::string AviMovieWriter::CodingName() const { return vidmill::HandlerText(compressor_); }

}  // namespace composer
