#include "picture_movie.h"

#include "document/movie_db.h"

namespace composer {

MovieDbRec PictureMovie(const std::vector<std::string>& files, const std::vector<TestEntry>& arranged,
                        const std::vector<int32_t>& unused) {
    MovieDbRec movie;
    ClearMovie(movie);
    for (const std::string& file : files) {
        ClipRec clip;
        clip.ClipType = ClipPicture;
        clip.FilePath = file;
        clip.ClipName = file.substr(file.find_last_of('/') + 1);
        clip.SrcWidth = 64;
        clip.SrcHeight = 48;
        clip.CurFrame = 1;
        clip.PicDuration = 1.0;
        movie.Clips.push_back(clip);
        ++movie.ClipCount;
    }
    for (const TestEntry& entry : arranged) {
        ArrangeRec rec;
        rec.ClipIndex = entry.clip;
        rec.Overlays.insert(rec.Overlays.end(), entry.overlays.begin(), entry.overlays.end());
        rec.OverlayCount = static_cast<int32_t>(entry.overlays.size());
        movie.Arranged.push_back(rec);
        ++movie.ArrangedCount;
    }
    movie.Unused.insert(movie.Unused.end(), unused.begin(), unused.end());
    movie.UnusedCount = static_cast<int32_t>(unused.size());
    movie.CurClip = movie.ClipCount > 0 ? 1 : 0;
    return movie;
}

}  // namespace composer
