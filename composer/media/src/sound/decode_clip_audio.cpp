#include "media/sound/decode_clip_audio.h"

#include "base/files.h"
#include "base/interaction.h"
#include "media/sound/wav_oper_mod.h"

namespace composer {
namespace {

// Buffer files the clip names and nothing else will read again.
void DeleteCacheFiles(ClipRec& clip) {
    if (!clip.CacheLeftFile.empty()) DeleteFileChecked(clip.CacheLeftFile);
    if (!clip.CacheRightFile.empty() && clip.CacheRightFile != clip.CacheLeftFile)
        DeleteFileChecked(clip.CacheRightFile);
    clip.CacheLeftFile.clear();
    clip.CacheRightFile.clear();
}

}  // namespace

void DecodeClipAudio(MovieDbRec& movie, int32_t clipIndex, int32_t blockLimit) {
    if (clipIndex < 1 || clipIndex > movie.ClipCount) return;
    ClipRec& clip = movie.Clips[static_cast<size_t>(clipIndex)];
    WaitCursor busy;
    // A decode starts from nothing: the buffers of an earlier decode or conversion are superseded.
    DeleteCacheFiles(clip);
    WaveBuffers buffers;
    if (!LoadWaveSamples(clip.AudioFile, buffers, blockLimit)) return;
    clip.CacheLeftFile = KeepBufferFile(*buffers.Left);
    if (clip.AudioChannels == 2) {
        // A stereo clip whose file turned out mono hears that channel on both sides.
        clip.CacheRightFile = buffers.Right ? KeepBufferFile(*buffers.Right) : clip.CacheLeftFile;
    }
    clip.CacheBits = clip.AudioBits;
    clip.CacheChannels = clip.AudioChannels;
    clip.CacheRate = clip.AudioRate;
    clip.CacheFrames = clip.AudioFrames;
}

}  // namespace composer
