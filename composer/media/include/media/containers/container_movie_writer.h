#pragma once
// ContainerMovieWriter: a movie people can share, written through FFmpeg's muxer: MP4 or Matroska
// with H.264 video and AAC sound, WebM with VP9 video and Opus sound. Pictures are coded as 4:2:0
// (every player takes it) in the High profile; an MP4 keeps its index at the front, so that a
// browser starts playing before the whole file is there. The sound comes from a PCM WAV file given
// at the start and is laid in beside the frames as they are written.
//
// Lifecycle: constructed (file created, header written) -> AddPicture any number of times ->
// Finish (everything flushed, the file complete). A writer destroyed without Finish leaves an
// incomplete file for its caller to remove.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cbplatform/com_types.h"
#include "cbplatform/ipicture.h"
#include "media/pixels/decoded_frame.h"

namespace composer {

enum class ShareFormat { None, Mp4, Matroska, WebM };

// The shared format an output file's name asks for (.mp4, .mkv, .webm); None for any other name.
ShareFormat ShareFormatOfFile(const std::string& path);

// The most pixels a frame of a movie to share may have: 4096 x 4096 in all. The encoders keep
// dozens of frames in flight for their look-ahead and threads, so a frame of 8192 x 8192 would take
// gigabytes for each second of the movie.
inline constexpr int64_t kLargestSharePixels = int64_t{4096} * 4096;

// Why a movie to share cannot have frames of width x height; "" when it can.
std::string ShareFrameSizeProblem(int32_t width, int32_t height);

// The frame size a movie to share of width x height is written at: each side rounded up to even,
// as 4:2:0 pictures need (the scaler makes the added row or column).
std::pair<int32_t, int32_t> ShareWrittenSize(int32_t width, int32_t height);

// The warning that a movie to share is written at another size than its own ("The movie's frame size
// 351 x 287 is written as 352 x 288: ..."); "" when its size is written as it is.
std::string ShareFrameSizeRounding(int32_t width, int32_t height);

// The video coding of a movie to share: the format's own (H.264; VP9 in WebM), or the one chosen.
enum class ShareVideo { FormatDefault, H264, Vp9 };

// The coding a compressor's handler code asks for ("H264", "VP90"); FormatDefault for any other.
ShareVideo ShareVideoOfCompressor(int32_t handler);

// The limits of the coding choices: frames between key frames, and the constant rate factor (0 is
// lossless, 51 the smallest file).
inline constexpr int32_t kMostFramesBetweenKeys = 1000;
inline constexpr int32_t kWorstShareQuality = 51;

// The x264 speed presets, fastest first.
const std::vector<std::string>& ShareSpeeds();

struct ShareSettings {
    int32_t quality = 20;                  // constant rate factor of the video: lower is better and larger
    std::string speed = "medium";          // the H.264 encoder's preset
    int32_t soundBitsPerSecond = 160'000;  // AAC; Opus takes 128 kb/s
    ShareVideo video = ShareVideo::FormatDefault;  // WebM holds VP9 whatever is asked
};

class ContainerMovieWriter {
  public:
    // Creates `path` in `format` for frames of width x height at framesPerSecond, with the sound of
    // `soundFile` (a PCM WAV file; none when empty). Throws Failure saying why it cannot.
    ContainerMovieWriter(const std::string& path, ShareFormat format, int32_t width, int32_t height,
                         double framesPerSecond, const std::string& soundFile, const ShareSettings& settings);
    ~ContainerMovieWriter();
    ContainerMovieWriter(const ContainerMovieWriter&) = delete;
    ContainerMovieWriter& operator=(const ContainerMovieWriter&) = delete;

    // Codes the picture (its top-left width x height) as the next frame, with the sound up to the
    // frame's end. Throws Failure when it cannot.
    void AddPicture(IPicture* picture);

    // Codes a frame as a clip's decoder gave it, when it can be coded as it is (the movie's size,
    // 4:2:0 with the movie's colours: IsVideo420In with MovieColourSpace of its height); false,
    // nothing written, when it cannot.
    // Throws Failure when the encoder fails.
    bool AddDecoded(const AVFrame& frame);

    // Codes the rest of the sound, flushes the encoders and completes the file. Throws Failure.
    void Finish();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace composer
