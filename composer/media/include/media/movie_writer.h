#pragma once
// MovieWriter: where the render puts a movie, whatever file it becomes. Two kinds stand behind it:
// an AVI file through the library's writer, and a movie to share (MP4, Matroska, WebM) through
// FFmpeg's muxers. The render drives both the same way:
//
//   CreateMovieWriter -> [AddSound when SoundBeforeFrames] -> Start -> AddPicture / AddDecoded
//   per frame -> [AddSound when not SoundBeforeFrames] -> Finish
//
// Every failure throws Failure with the reason; destroying a writer that did not finish leaves an
// incomplete file for its caller to remove.
#include <cstdint>
#include <memory>
#include <string>

#include "cbplatform/ipicture.h"
#include "media/containers/container_movie_writer.h"
#include "media/pixels/decoded_frame.h"

namespace composer {

struct MovieWriterSettings {
    int32_t width = 0;
    int32_t height = 0;
    double framesPerSecond = 0;
    // AVI: the library's compressor code, settled as CheckCompressor settles it (the code written
    // is left here); 0 lets the library's dialog choose when showCompressorDialog.
    int32_t compressor = 0;
    bool showCompressorDialog = false;
    int32_t keyFrameInterval = 0;  // AVI: 0 = KeyFrameIntervalFor the compressor
    ShareSettings share;           // movies to share: their own coding choices
};

class MovieWriter {
  public:
    virtual ~MovieWriter() = default;

    // What the user should know about how the movie is written (its frame size rounded up); "" for
    // nothing.
    virtual std::string Notice() const = 0;
    // Whether the sound track is given before the frames (a muxer lays it in beside them) or after
    // them (the library's AVI writer adds it behind the frames).
    virtual bool SoundBeforeFrames() const = 0;
    // The sound track: a PCM WAV file, at most once, at the point SoundBeforeFrames says.
    virtual void AddSound(const std::string& wavFile) = 0;
    // Ready for frames: everything the file needs before its first frame is settled.
    virtual void Start() = 0;
    // Whether AddDecoded may take a frame as a clip's decoder gave it; when false the render
    // composes every frame as a picture.
    virtual bool TakesDecodedFrames() const = 0;
    // The picture (its top-left width x height) as the next frame.
    virtual void AddPicture(IPicture* picture) = 0;
    // The frame as a clip's decoder gave it, when it can be coded as it is; false, nothing written,
    // when it cannot (the render then composes the frame as a picture).
    virtual bool AddDecoded(const AVFrame& frame) = 0;
    // Completes the file.
    virtual void Finish() = 0;
    // The coding of the frames, as a message names it ("MSVC", "H.264", "VP9").
    virtual std::string CodingName() const = 0;
};

// A writer of the movie to be named outputName, written at writtenPath (the staged file beside
// it): a movie to share when the name ends in .mp4, .mkv or .webm, else an AVI file. The AVI file
// is created here; throws Failure with the reason when it cannot be.
std::unique_ptr<MovieWriter> CreateMovieWriter(const std::string& writtenPath, const std::string& outputName,
                                               MovieWriterSettings& settings);

}  // namespace composer
