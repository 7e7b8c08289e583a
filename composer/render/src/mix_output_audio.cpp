// The sound track of a render: selection of the sounds in the range, their conversion to the output
// format (cached in the clip records), the mix and the WAV file.
#include "render/mix_output_audio.h"

#include <algorithm>
#include <exception>
#include <map>

#include "base/disk_full.h"
#include "base/files.h"
#include "base/folders.h"
#include "base/interaction.h"
#include "base/rounding.h"
#include "media/sound/decode_clip_audio.h"
#include "media/sound/wav_oper_mod.h"
#include "render/mix_buffers.h"
#include "render/resample_buffer.h"
#include "render/sample_conversion.h"

namespace composer {
namespace {

// Replaces a cache file by a converted one; the file it replaces is no longer read by anybody.
void ReplaceCacheFile(std::string& cacheFile, std::string newFile, const std::string& otherChannelFile) {
    if (cacheFile != otherChannelFile) DeleteFileChecked(cacheFile);
    cacheFile = std::move(newFile);
}

// Converts the clip's left buffer, and the right one when it is a separate stereo channel.
template <typename Conversion>
void ConvertCachedChannels(ClipRec& clip, int32_t blockLimit, Conversion convert) {
    const bool sharedChannel = clip.CacheRightFile == clip.CacheLeftFile;
    const std::string oldLeft = clip.CacheLeftFile;
    ReplaceCacheFile(clip.CacheLeftFile, KeepBufferFile(*convert(*OpenBufferFile(oldLeft, blockLimit))), "");
    if (clip.CacheChannels != 2 || clip.CacheRightFile.empty()) return;
    if (sharedChannel)
        clip.CacheRightFile = clip.CacheLeftFile;  // a mono sound heard on both sides: converted once
    else
        ReplaceCacheFile(clip.CacheRightFile,
                         KeepBufferFile(*convert(*OpenBufferFile(clip.CacheRightFile, blockLimit))), "");
}

void MatchRate(MovieDbRec& movie, int32_t clipIndex, int32_t blockLimit) {
    ClipRec& clip = movie.Clips[static_cast<size_t>(clipIndex)];
    if (clip.CacheRate == movie.OutRate) return;
    // Resampling always starts from the samples as decoded, never from an earlier resampling.
    if (clip.CacheRate != clip.AudioRate) DecodeClipAudio(movie, clipIndex, blockLimit);
    if (clip.CacheRate == movie.OutRate || clip.CacheLeftFile.empty()) return;
    const int32_t fromRate = clip.CacheRate, bits = clip.CacheBits, toRate = movie.OutRate;
    ConvertCachedChannels(clip, blockLimit, [&](FileCarrBuffClass& buffer) {
        return ResampleBuffer(fromRate, toRate, bits, buffer);
    });
    clip.CacheRate = movie.OutRate;
}

void MatchChannels(const MovieDbRec& movie, ClipRec& clip) {
    if (clip.CacheChannels == movie.OutChannels || clip.CacheLeftFile.empty()) return;
    const ChannelFiles files =
        ConvertChannels(clip.CacheChannels, movie.OutChannels, {clip.CacheLeftFile, clip.CacheRightFile});
    if (files.Right.empty() && clip.CacheRightFile != clip.CacheLeftFile)
        DeleteFileChecked(clip.CacheRightFile);
    clip.CacheLeftFile = files.Left;
    clip.CacheRightFile = files.Right;
    clip.CacheChannels = movie.OutChannels;
}

void MatchBits(const MovieDbRec& movie, ClipRec& clip, int32_t blockLimit) {
    if (clip.CacheBits == movie.OutBits || clip.CacheLeftFile.empty()) return;
    const int32_t fromBits = clip.CacheBits, toBits = movie.OutBits;
    ConvertCachedChannels(clip, blockLimit,
                          [&](FileCarrBuffClass& buffer) { return ConvertBits(fromBits, toBits, buffer); });
    clip.CacheBits = movie.OutBits;
}

// Step 3: the events whose clip has decoded sound and that overlap the range, both ends included.
// A sound in the range whose samples cannot be had is noted as unreadable.
std::vector<AudioEvent> SelectSegments(MovieDbRec& movie, const std::vector<AudioEvent>& events,
                                       int32_t eventCount, double startSeconds, double endSeconds,
                                       int32_t blockLimit, SourceProblems* problems) {
    std::vector<AudioEvent> selected;
    for (int32_t i = 1; i <= eventCount && i < static_cast<int32_t>(events.size()); ++i) {
        const AudioEvent& event = events[static_cast<size_t>(i)];
        if (event.Clip < 1 || event.Clip > movie.ClipCount) continue;
        const ClipRec& clip = movie.Clips[static_cast<size_t>(event.Clip)];
        // A clip without a sound file (missing, or refused when the project was loaded) has
        // nothing to decode.
        if (clip.CacheLeftFile.empty() && !clip.AudioFile.empty())
            DecodeClipAudio(movie, event.Clip, blockLimit);
        const bool inRange = !(endSeconds < event.StartTime || startSeconds > event.EndTime);
        // The sound found damaged or unreadable when it was read is named with what was found.
        if (!clip.AudioProblem.empty() && inRange && problems)
            problems->Note(clip.FilePath, clip.AudioProblem);
        if (clip.CacheLeftFile.empty() && inRange && problems)
            problems->Note(clip.FilePath, FileExists(clip.FilePath)
                                              ? "its sound cannot be read"
                                              : "the file is missing or not a regular file");
        if (clip.CacheLeftFile.empty() || !inRange) continue;
        selected.push_back(event);
    }
    return selected;
}

enum class Channel { Left, Right };

// The samples of an event's buffer that are heard: all of them, or the stretch of a video's own sound
// that goes with the video's used pictures.
MixInput HeardPart(const AudioEvent& event, FileCarrBuffClass* buffer, int32_t rate) {
    MixInput input{buffer, event.StartTime};
    input.skippedSamples = std::max<int64_t>(RoundToInt64(event.SourceStart * rate), 0);
    if (event.HeardLength >= 0) input.heardSamples = RoundToInt64(event.HeardLength * rate);
    return input;
}

// Step 6 for one channel: the clips' buffers of that channel mixed at their start times. A clip
// heard in several segments is opened once.
std::unique_ptr<FileCarrBuffClass> MixChannel(const MovieDbRec& movie,
                                              const std::vector<AudioEvent>& selected, Channel channel,
                                              double startSeconds, double endSeconds, int32_t blockLimit) {
    std::map<std::string, std::unique_ptr<FileCarrBuffClass>> opened;
    std::vector<MixInput> inputs;
    for (const AudioEvent& event : selected) {
        const ClipRec& clip = movie.Clips[static_cast<size_t>(event.Clip)];
        if (clip.CacheLeftFile.empty()) continue;
        const std::string& file = channel == Channel::Left ? clip.CacheLeftFile : clip.CacheRightFile;
        auto& buffer = opened[file];
        if (!buffer) buffer = OpenBufferFile(file, blockLimit);
        inputs.push_back(HeardPart(event, buffer.get(), movie.OutRate));
    }
    return MixBuffers(inputs, startSeconds, endSeconds, movie.OutBits, movie.OutRate, blockLimit);
}

// Steps 5 to 7: the channels mixed from the cached buffers and written as a WAV file.
std::string MixAndWrite(const MovieDbRec& movie, const std::vector<AudioEvent>& selected, double startSeconds,
                        double endSeconds, int32_t blockLimit) {
    const auto left = MixChannel(movie, selected, Channel::Left, startSeconds, endSeconds, blockLimit);
    std::unique_ptr<FileCarrBuffClass> right;
    if (movie.OutChannels == 2)
        right = MixChannel(movie, selected, Channel::Right, startSeconds, endSeconds, blockLimit);
    const std::string wavFile = NewTempFileName("wav");
    if (!WriteWaveFile(wavFile, movie.OutChannels, movie.OutBits, movie.OutRate, *left, right.get()))
        return "";
    return wavFile;
}

}  // namespace

std::string MixOutputAudio(MovieDbRec& movie, const std::vector<AudioEvent>& events, int32_t eventCount,
                           double startSeconds, double endSeconds, int32_t blockLimit,
                           SourceProblems* problems) {
    if (eventCount == 0) return "";
    UI().ProgressText(" processing audio, please wait ..");
    try {
        const std::vector<AudioEvent> selected =
            SelectSegments(movie, events, eventCount, startSeconds, endSeconds, blockLimit, problems);
        if (selected.empty()) return "";
        for (const AudioEvent& event : selected) {
            MatchRate(movie, event.Clip, blockLimit);
            ClipRec& clip = movie.Clips[static_cast<size_t>(event.Clip)];
            MatchChannels(movie, clip);
            MatchBits(movie, clip, blockLimit);
        }
        return MixAndWrite(movie, selected, startSeconds, endSeconds, blockLimit);
    } catch (const DiskFullError&) {
        // A full disk is no sound to leave out: the render that needs this sound fails with it.
        throw;
    } catch (const std::exception& error) {
        MsgBox(error.what(), MsgButtons::OK, "Wave file write error");
        return "";
    }
}

}  // namespace composer
