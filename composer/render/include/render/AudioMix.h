#pragma once
// The movie's sound track: every sound playing in the rendered range, decoded once into per-channel
// file-backed buffers, brought to the output rate, channels and bits, placed at its start time and
// added with clipping, then written as a temporary WAV file for the render driver.
//
// The decoded and converted buffers of a clip are cached in its record (CacheLeftFile,
// CacheRightFile, CacheBits, CacheChannels, CacheRate, CacheFrames) and reused by later renders as
// long as the output format is unchanged; a rate change always starts again from the samples as
// decoded from the clip's WAV file.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "document/FileCarrBuffClass.h"
#include "document/audio_event.h"
#include "document/movie_records.h"

namespace composer {

// Decodes clip `clipIndex`'s AudioFile into buffers whose files are named in its cache fields, with
// the wait cursor shown. On failure the cache names are left empty.
void DecodeClipAudio(MovieDbRec& movie, int32_t clipIndex);

// The sound of the range [startSeconds, endSeconds] as a new WAV file in the work folder, in the
// movie's OutChannels, OutBits and OutRate; "" when no sound plays in the range or the file cannot
// be written. events are AudioEvents 1 .. eventCount of the timeline plan (entry 0 unused).
std::string MixOutputAudio(MovieDbRec& movie, const std::vector<AudioEvent>& events, int32_t eventCount,
                           double startSeconds, double endSeconds);

// The lowest and highest sample for a bit depth: -128 .. 127 for 8, -32768 .. 32767 otherwise.
struct SampleLimits {
    int32_t lowest;
    int32_t highest;
};
SampleLimits LimitsForBits(int32_t bits);

// The buffer at another rate by cubic interpolation (Bernstein weights over 101 phases); the first
// output sample is the first input sample.
std::unique_ptr<FileCarrBuffClass> ResampleBuffer(int32_t fromRate, int32_t toRate, int32_t bits,
                                                  FileCarrBuffClass& source);

// A clip's channel files for another channel count: one to two uses the mono file for both, two to
// one keeps the left file alone.
struct ChannelFiles {
    std::string Left;
    std::string Right;
};
ChannelFiles ConvertChannels(int32_t fromChannels, int32_t toChannels, const ChannelFiles& files);

// The buffer at another bit depth: 8 to 16 multiplies by 256; 16 to 8 divides by 256 and rounds
// (halves to even). Any other pair copies the values.
std::unique_ptr<FileCarrBuffClass> ConvertBits(int32_t fromBits, int32_t toBits, FileCarrBuffClass& source);

// One input of the mix: its samples and the time of its first sample.
struct MixInput {
    FileCarrBuffClass* buffer = nullptr;
    double startTime = 0.0;
};
// The inputs added into one buffer covering [rangeStart, rangeEnd] at `rate`: sums formed in a
// wider integer and clipped to the limits of `bits`; samples outside the range are not written.
std::unique_ptr<FileCarrBuffClass> MixBuffers(std::span<const MixInput> inputs, double rangeStart, double rangeEnd,
                                              int32_t bits, int32_t rate);

// Keeps a buffer's file on disk after the buffer is released, and returns its path.
std::string KeepBufferFile(FileCarrBuffClass& buffer);
// A buffer holding a copy of the named file of 16-bit values.
std::unique_ptr<FileCarrBuffClass> OpenBufferFile(const std::string& path);

}  // namespace composer
