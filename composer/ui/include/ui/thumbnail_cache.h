#pragma once
// The pictures of the clip boxes: a video clip's frame or a picture clip's picture, read through the
// clip source and scaled to fit a box. Each is decoded once per (file, frame, size) and kept,
// so scrolling and selecting redraw from memory.
#include <QImage>
#include <QSize>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "document/movie_records.h"
#include "media/pixels/pixel_scaler.h"

namespace cb {
class Bitmap;
}

namespace composer {

class ClipSource;

// A bitmap of the platform layer (bottom-up rows, 8, 24 or 32 bits) as an image; null for other depths.
QImage BitmapImage(const cb::Bitmap& bitmap);

class ThumbnailCache {
  public:
    ThumbnailCache();
    ~ThumbnailCache();
    ThumbnailCache(const ThumbnailCache&) = delete;
    ThumbnailCache& operator=(const ThumbnailCache&) = delete;

    // The clip's picture scaled to fit `size` (device pixels), keeping its shape: frame `frame` of
    // a video, the picture of a picture clip. A null image when the source is missing or cannot be
    // read (and for sounds); an unreadable file is remembered like a picture and not read again.
    QImage Thumbnail(const ClipRec& clip, int32_t frame, QSize size);

    // Why the file's pictures could not be read the last time one was asked for; "" when the last
    // read of it gave its picture (or none was tried). The clip window shows it with the strip.
    const std::string& Problem(const std::string& path) const;

    // How many times a source was read (not answered from memory).
    int Decodes() const { return decodes_; }
    void Clear();

    // The most pictures kept; past it the oldest half is forgotten.
    static constexpr std::size_t kMaxEntries = 2000;

  private:
    using Key = std::tuple<std::string, int32_t, int, int>;
    QImage Decode(const ClipRec& clip, int32_t frame);
    QImage VideoFrame(const std::string& path, int32_t frame);

    std::map<Key, QImage> images_;
    std::map<Key, std::size_t> ages_;
    std::map<std::string, std::string> problems_;  // file -> why its last read failed
    std::size_t clock_ = 0;
    int decodes_ = 0;
    PixelScaler scaler_;  // pictures to thumbnail size, filtered
    // The video last read stays open: neighbouring boxes are often frames of the same file.
    std::unique_ptr<ClipSource> video_;
};

}  // namespace composer
