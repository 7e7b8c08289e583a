#pragma once
// ClipSource: the pictures of one clip's file, whatever holds them. A video clip is read by one of two
// back ends: an AVI file through the AVI library's reader, any other container (MP4, MOV, MKV, WebM
// ...) through the FFmpeg reader of the media layer. A picture clip is its one picture, the same for
// every frame. Whoever needs a clip's size or frames (the source probe, the render's layers, the
// thumbnails, the mask window, the playback) opens it here, so that every one of them reads a file
// the same way and fails with the same reasons.
//
// Frame numbers are 1-based, as in the clip records. Failures are thrown as Failure naming the file
// and the reason; nothing here shows a message.
#include <cstdint>
#include <memory>
#include <string>

#include "base/picture_times.h"
#include "cbplatform/com_types.h"
#include "cbplatform/ipicture.h"
#include "document/movie_records.h"
#include "media/pixels/decoded_frame.h"
#include "media/pixels/work_surface.h"

namespace composer {

class ClipSource {
  public:
    virtual ~ClipSource() = default;
    ClipSource(const ClipSource&) = delete;
    ClipSource& operator=(const ClipSource&) = delete;

    const std::string& FileName() const { return fileName_; }
    // The size of the frames in pixels.
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    // Frames per second; 0 for a picture.
    double FramesPerSecond() const { return framesPerSecond_; }
    // Frames in the clip; 1 for a picture.
    int32_t FrameCount() const { return frameCount_; }
    // What opening found damaged although the file opened (a video cut short, a picture its decoder
    // mended); "" when whole.
    const std::string& Damage() const { return damage_; }
    // Pictures at uneven intervals: their times, by which a movie places them; else null.
    const std::shared_ptr<const PictureTimes>& Times() const { return times_; }

    // Frame `frame` (1-based) as a picture. A picture source gives its picture for every frame.
    // Throws Failure when the frame cannot be read.
    virtual cb::ComPtr<IPicture> Picture(int32_t frame) = 0;

    // Frame `frame` as bottom-up 32-bit pixels of Width x Height in `pixels`. Throws Failure when
    // the frame cannot be read or drawn.
    void Pixels(int32_t frame, PixelBuffer& pixels);

    // Frame `frame` as its decoder gave it, not converted; null when the back end has no such
    // frame (an AVI file, a picture, a video turned to be seen upright). Throws Failure like Picture.
    virtual DecodedFrame Decoded(int32_t frame);

    // Whether the fourth byte of the pictures is alpha: true for a picture and for a video of the
    // FFmpeg reader (opaque ones come with 255 there); false for an AVI file, whose 32-bit frames
    // may carry anything in that byte.
    virtual bool CarriesAlpha() const = 0;

  protected:
    ClipSource() = default;

    std::string fileName_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    double framesPerSecond_ = 0;
    int32_t frameCount_ = 0;
    std::string damage_;
    std::shared_ptr<const PictureTimes> times_;
};

// Opens `path` as a clip of kind `clipType` (ClipVideo or ClipPicture): a video through the back
// end its container needs, a picture through the platform's picture loader. Throws Failure with the
// file and the reason when it is missing, not a regular file, cannot be read, or is no clip kind
// that has pictures.
std::unique_ptr<ClipSource> OpenClipSource(int32_t clipType, const std::string& path);

// The same for a clip record: its kind and its file.
std::unique_ptr<ClipSource> OpenClipSource(const ClipRec& clip);

}  // namespace composer
