#pragma once
// A movie to share of the render (MP4, Matroska, WebM), through ContainerMovieWriter. The muxer
// needs the sound track before the first frame, so the file is made at Start, with the sound given.
#include <optional>
#include <string>

#include "media/containers/container_movie_writer.h"
#include "media/movie_writer.h"

namespace composer {

class ShareMovieWriter final : public MovieWriter {
  public:
    ShareMovieWriter(std::string path, ShareFormat format, const MovieWriterSettings& settings);

    std::string Notice() const override;
    bool SoundBeforeFrames() const override { return true; }
    void AddSound(const std::string& wavFile) override { soundFile_ = wavFile; }
    void Start() override;
    bool TakesDecodedFrames() const override { return true; }
    void AddPicture(IPicture* picture) override;
    bool AddDecoded(const AVFrame& frame) override;
    void Finish() override;
    std::string CodingName() const override;

  private:
    ContainerMovieWriter& started();

    std::string path_;
    ShareFormat format_;
    MovieWriterSettings settings_;
    std::string soundFile_;
    std::optional<ContainerMovieWriter> writer_;
};

}  // namespace composer
