#pragma once
// ContainerVideoReader: the pictures of a video file in any container and codec FFmpeg decodes
// (MP4, MOV, MKV, WebM ...), seen as a sequence of frames at one constant rate, like an AVI clip.
//
// Opening indexes the video stream's packets (nothing is decoded): their presentation times in order
// and which of them are key frames. Frame n is the n-th picture in presentation order, whatever the
// container's timestamps say, so a clip has as many frames as pictures. A file whose pictures come
// at varying intervals (phone videos, recordings with pictures left out) gives their times as well
// (Times), by which a movie places them, so that picture and sound stay together however long the
// clip; its rate is their average, so that its frames at that rate last as long as its pictures.
//
// A video recorded with the camera turned (a phone held upright) is seen upright: its size and its
// frames are those of the pictures turned as its display matrix (or `rotate` tag) says.
//
// Reading the next frame (or one a few frames on) only decodes forward: sequential reads never
// seek. Any other frame is reached from the key frame at or before it. The pictures read last are kept (a
// few at full HD, more when smaller), so stepping back over them costs nothing; stepping back beyond
// them decodes a stretch of pictures below at once and keeps them, and the stretch below that is
// decoded in the background while the steps go through the kept one.
//
// A reader asked twice for a picture it could only reach from a key frame is being browsed (the clip
// window's Jump and Goto, a thumbnail strip): from then on it indexes every picture of the clip in
// the background, coded losslessly one by one in the work folder, and answers any indexed picture
// with one small decode instead. Reading a clip through, as a render does, never starts the index.
#include <cstdint>
#include <memory>
#include <string>

#include "base/picture_times.h"
#include "cbplatform/bitmap.h"
#include "media/pixels/decoded_frame.h"

namespace composer {

class ContainerVideoReader {
  public:
    // Opens the file's main video stream and indexes it. Throws Failure with the reason when the
    // file cannot be read, has no video stream, no decoder for it or no frames.
    explicit ContainerVideoReader(const std::string& path);
    ~ContainerVideoReader();
    ContainerVideoReader(const ContainerVideoReader&) = delete;
    ContainerVideoReader& operator=(const ContainerVideoReader&) = delete;

    int32_t Width() const;
    int32_t Height() const;
    double FramesPerSecond() const;
    int32_t FrameCount() const;
    // When the pictures come at varying intervals: when each is shown (ticks from the first one's
    // start). Null when they come at one rate.
    std::shared_ptr<const PictureTimes> Times() const;
    // What opening found damaged although the file opened: the demuxer reported damage while the
    // pictures were indexed, or they end well before the length the file states (a file cut short
    // reads as a shorter clip). "" when whole.
    const std::string& Damage() const;

    // Frame `index` (0-based, below FrameCount) as a bottom-up 32-bit bitmap of Width x Height. The
    // bitmap stays valid while the caller holds it; the reader decodes into another one then.
    // Throws Failure when the index is outside the clip or the picture cannot be decoded.
    std::shared_ptr<cb::Bitmap> Frame(int32_t index);

    // Frame `index` as the decoder gave it, not converted (a new reference to its planes). Reading
    // on from it never seeks, as with Frame. Null when the pictures are turned to be seen upright:
    // the decoder's planes are not the picture then. Throws Failure like Frame.
    DecodedFrame Decoded(int32_t index);

    // Waits until the background index of the pictures has ended. True when every picture is
    // indexed; false at once when no index was started.
    bool WaitForIndex();

    // How often the reader has positioned the file at a key frame since it was opened.
    int64_t SeekCount() const;

  private:
    int32_t PictureOf(int32_t index) const;

    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace composer
