#include "document/session.h"

#include <algorithm>
#include <utility>

namespace composer {

MovieDbRec& Session::EditMovie() {
    ++revision_;
    return movie_;
}

void Session::ReplaceMovie(MovieDbRec movie) {
    ++revision_;
    movie_ = std::move(movie);
}

void Session::TakeRenderResults(const MovieDbRec& rendered) {
    MovieDbRec& movie = EditMovie();
    movie.OutputPath = rendered.OutputPath;
    movie.OutFps = rendered.OutFps;
    movie.OutWidth = rendered.OutWidth;
    movie.OutHeight = rendered.OutHeight;
    movie.OutChannels = rendered.OutChannels;
    movie.OutBits = rendered.OutBits;
    movie.OutRate = rendered.OutRate;
    const int32_t clips = std::min(movie.ClipCount, rendered.ClipCount);
    for (int32_t c = 1; c <= clips; ++c) {
        ClipRec& clip = movie.Clips[static_cast<std::size_t>(c)];
        const ClipRec& done = rendered.Clips[static_cast<std::size_t>(c)];
        if (clip.FilePath != done.FilePath) continue;
        clip.AudioFile = done.AudioFile;
        clip.CacheLeftFile = done.CacheLeftFile;
        clip.CacheRightFile = done.CacheRightFile;
        clip.CacheBits = done.CacheBits;
        clip.CacheChannels = done.CacheChannels;
        clip.CacheRate = done.CacheRate;
        clip.CacheFrames = done.CacheFrames;
    }
}

}  // namespace composer
