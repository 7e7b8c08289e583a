#pragma once
// The AVI movie of the render, through the library's writer (VelcAviWriterClass).
#include <string>

#include "media/library/velc_avi_writer_class.h"
#include "media/movie_writer.h"

namespace composer {

class AviMovieWriter final : public MovieWriter {
  public:
    // Creates the file (the compressor checked and left in settings.compressor); throws Failure
    // with the library's reason when it cannot.
    AviMovieWriter(const std::string& path, MovieWriterSettings& settings);

    std::string Notice() const override { return ""; }
    bool SoundBeforeFrames() const override { return false; }
    void AddSound(const std::string& wavFile) override;
    void Start() override {}
    bool TakesDecodedFrames() const override { return false; }
    void AddPicture(IPicture* picture) override;
    bool AddDecoded(const AVFrame&) override { return false; }
    void Finish() override;
    std::string CodingName() const override;

  private:
    VelcAviWriterClass writer_;
    int32_t compressor_ = 0;
};

}  // namespace composer
