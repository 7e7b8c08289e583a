#pragma once
// Writers of the demo's media files: an AVI file (Video-1 frames, optional 16-bit PCM sound) made
// with FFmpeg, and plain 24-bit BMP and 16-bit PCM WAV files written byte by byte.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace demo {

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

// A picture held top row first.
struct Image {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Rgb> pixels;  // width x height, row 0 = top
    Rgb& At(int32_t row, int32_t column) { return pixels[static_cast<std::size_t>(row) * width + column]; }
};

// Fills the image of frame `frame` (0-based); the image has the clip's size.
using FrameDrawer = std::function<void(int32_t frame, Image& image)>;
// The sample (one channel) at sample frame `index`.
using SampleMaker = std::function<int16_t(int64_t index)>;

struct AviClipSpec {
    int32_t width = 0;
    int32_t height = 0;
    int32_t framesPerSecond = 25;
    int32_t frameCount = 0;
    int32_t sampleRate = 0;  // 0: no sound track; otherwise mono 16-bit PCM at this rate
};

// Writes the clip; throws std::runtime_error with FFmpeg's reason when it cannot.
void WriteAviClip(const std::string& path, const AviClipSpec& spec, const FrameDrawer& draw,
                  const SampleMaker& sound);

// A 24-bit uncompressed BMP file. Throws std::runtime_error when it cannot be written.
void WriteBmp(const std::string& path, const Image& image);

// A mono 16-bit PCM WAV file of `frames` samples. Throws std::runtime_error when it cannot be written.
void WriteWav(const std::string& path, int32_t sampleRate, int64_t frames, const SampleMaker& sound);

}  // namespace demo
