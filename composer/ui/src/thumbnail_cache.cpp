#include "ui/thumbnail_cache.h"

#include <algorithm>
#include <vector>

#include "base/failure.h"
#include "base/files.h"
#include "cbplatform/bitmap.h"
#include "cbplatform/picture.h"
#include "media/clip_source.h"
#include "ui/pixel_image.h"

namespace composer {

namespace {

QImage::Format FormatOf(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 32:
            return QImage::Format_RGB32;
        case 24:
            return QImage::Format_BGR888;
        case 8:
            return QImage::Format_Indexed8;
        default:
            return QImage::Format_Invalid;
    }
}

QImage PictureImage(IPicture* picture) {
    const std::shared_ptr<cb::Bitmap> bitmap = cb::PictureBitmap(picture);
    return bitmap ? BitmapImage(*bitmap) : QImage();
}

}  // namespace

QImage BitmapImage(const cb::Bitmap& bitmap) {
    const QImage::Format format = FormatOf(bitmap.bitsPerPixel());
    if (bitmap.empty() || format == QImage::Format_Invalid) return {};
    QImage image(bitmap.width(), bitmap.height(), format);
    const std::size_t rowBytes = static_cast<std::size_t>(bitmap.width()) * (bitmap.bitsPerPixel() / 8);
    for (int y = 0; y < bitmap.height(); ++y) std::copy_n(bitmap.topRow(y), rowBytes, image.scanLine(y));
    if (format == QImage::Format_Indexed8) {
        QList<QRgb> colors;
        for (const cb::RgbQuad& entry : bitmap.palette()) colors << qRgb(entry.red, entry.green, entry.blue);
        image.setColorTable(colors);
    }
    return image;
}

ThumbnailCache::ThumbnailCache() = default;
ThumbnailCache::~ThumbnailCache() = default;

void ThumbnailCache::Clear() {
    images_.clear();
    ages_.clear();
    problems_.clear();
    video_.reset();
}

QImage ThumbnailCache::Thumbnail(const ClipRec& clip, int32_t frame, QSize size) {
    // A missing file is looked for again on every redraw, so a restored file shows at once.
    if (clip.ClipType == ClipAudio || size.isEmpty() || !FileExists(clip.FilePath)) return {};
    const Key key{clip.FilePath, clip.ClipType == ClipVideo ? frame : 0, size.width(), size.height()};
    ages_[key] = ++clock_;
    if (const auto found = images_.find(key); found != images_.end()) return found->second;
    if (images_.size() >= kMaxEntries) {
        std::vector<std::size_t> ages;
        for (const auto& [k, age] : ages_) ages.push_back(age);
        std::nth_element(ages.begin(), ages.begin() + static_cast<std::ptrdiff_t>(ages.size() / 2),
                         ages.end());
        const std::size_t cut = ages[ages.size() / 2];
        std::erase_if(images_, [&](const auto& entry) { return ages_[entry.first] < cut; });
        std::erase_if(ages_, [&](const auto& entry) { return entry.second < cut; });
        ages_[key] = clock_;
    }
    QImage image = Decode(clip, frame);
    if (!image.isNull()) image = ScaledImage(image, image.size().scaled(size, Qt::KeepAspectRatio), scaler_);
    images_[key] = image;
    return image;
}

const std::string& ThumbnailCache::Problem(const std::string& path) const {
    static const std::string none;
    const auto found = problems_.find(path);
    return found == problems_.end() ? none : found->second;
}

QImage ThumbnailCache::Decode(const ClipRec& clip, int32_t frame) {
    ++decodes_;
    try {
        QImage image = clip.ClipType == ClipVideo ? VideoFrame(clip.FilePath, frame)
                                                  : PictureImage(OpenClipSource(clip)->Picture(1).get());
        problems_.erase(clip.FilePath);
        return image;
    } catch (const Failure& failure) {
        // A source that cannot be read shows an empty box, and the reason for the clip window.
        problems_[clip.FilePath] = failure.Reason();
        return {};
    }
}

QImage ThumbnailCache::VideoFrame(const std::string& path, int32_t frame) {
    if (!video_ || video_->FileName() != path) {
        video_.reset();
        video_ = OpenClipSource(ClipVideo, path);
    }
    return PictureImage(video_->Picture(std::clamp(frame, 1, std::max(video_->FrameCount(), 1))).get());
}

}  // namespace composer
