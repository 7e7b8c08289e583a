#include "media/clip_source.h"

#include <utility>

#include "base/failure.h"
#include "cbplatform/picture.h"
#include "document/clip_file_kinds.h"
#include "media/containers/container_video_reader.h"
#include "media/library/velc_avi_reader_class.h"
#include "media/pixels/image_reader_class.h"
#include "media/pixels/picture_operation.h"

namespace composer {

namespace {

// Runs a read of `file`; a failure that does not name a file is thrown again naming this one.
template <typename Read>
auto NamingTheFile(const std::string& file, Read&& read) -> decltype(read()) {
    try {
        return read();
    } catch (const Failure& failure) {
        if (!failure.File().empty()) throw;
        throw Failure(file, failure.Reason());
    }
}

// An AVI file, read by the AVI library through the program's wrapper of its reader.
class AviClipSource final : public ClipSource {
  public:
    explicit AviClipSource(const std::string& path) {
        reader_.OpenFile(path);
        fileName_ = path;
        width_ = reader_.Width;
        height_ = reader_.Height;
        framesPerSecond_ = reader_.FramesPerSecond;
        frameCount_ = reader_.FrameCount;
    }

    cb::ComPtr<IPicture> Picture(int32_t frame) override {
        cb::ComPtr<IPicture> picture;
        NamingTheFile(fileName_, [&] { reader_.ReadAvi_GetOneFrameAsPicture(frame, picture); });
        if (!picture) throw Failure(fileName_, "the AVI library gave no picture");
        return picture;
    }

    bool CarriesAlpha() const override { return false; }

  private:
    VelcAviReaderClass reader_;
};

// A video in any other container, read by the FFmpeg reader of the media layer.
class ContainerClipSource final : public ClipSource {
  public:
    explicit ContainerClipSource(const std::string& path)
        : reader_(NamingTheFile(path, [&] { return std::make_unique<ContainerVideoReader>(path); })) {
        fileName_ = path;
        width_ = reader_->Width();
        height_ = reader_->Height();
        framesPerSecond_ = reader_->FramesPerSecond();
        frameCount_ = reader_->FrameCount();
        damage_ = reader_->Damage();
        times_ = reader_->Times();
    }

    cb::ComPtr<IPicture> Picture(int32_t frame) override {
        return cb::CreatePicture(NamingTheFile(fileName_, [&] { return reader_->Frame(frame - 1); }));
    }

    DecodedFrame Decoded(int32_t frame) override {
        return NamingTheFile(fileName_, [&] { return reader_->Decoded(frame - 1); });
    }

    bool CarriesAlpha() const override { return true; }

  private:
    std::unique_ptr<ContainerVideoReader> reader_;
};

// A picture file: its one picture for every frame.
class PictureClipSource final : public ClipSource {
  public:
    explicit PictureClipSource(const std::string& path) {
        PictureFile read = ReadPictureFile(path);
        picture_ = std::move(read.picture);
        fileName_ = path;
        width_ = read.width;
        height_ = read.height;
        frameCount_ = 1;
        damage_ = read.damage;
    }

    cb::ComPtr<IPicture> Picture(int32_t) override { return picture_; }

    bool CarriesAlpha() const override { return true; }

  private:
    cb::ComPtr<IPicture> picture_;
};

}  // namespace

DecodedFrame ClipSource::Decoded(int32_t) { return {}; }

void ClipSource::Pixels(int32_t frame, PixelBuffer& pixels) {
    const cb::ComPtr<IPicture> picture = Picture(frame);
    if (!PictureToPixels(picture.get(), width_, height_, pixels))
        throw Failure(fileName_, "frame " + std::to_string(frame) + " cannot be drawn");
}

std::unique_ptr<ClipSource> OpenClipSource(int32_t clipType, const std::string& path) {
    switch (clipType) {
        case ClipVideo:
            if (IsAviFile(path)) return std::make_unique<AviClipSource>(path);
            return std::make_unique<ContainerClipSource>(path);
        case ClipPicture:
            return std::make_unique<PictureClipSource>(path);
        default:
            throw Failure(path, "it is neither a video nor a picture");
    }
}

std::unique_ptr<ClipSource> OpenClipSource(const ClipRec& clip) {
    return OpenClipSource(clip.ClipType, clip.FilePath);
}

}  // namespace composer
