#pragma once
// AviPlayback: plays a video file for the play window. Frames come through the clip source,
// the sound through the platform's sound layer, and the picture follows the sound: the clock is
// what the sound device has played while sound plays, a steady clock otherwise (a file without
// sound, a machine without a sound device, or after the sound ended). The caller asks which frame
// is due and shows it; frames the clock passed before they could be shown are counted as dropped.
//
// Lifecycle: closed -> Open true -> open (Play, Pause, Seek, frames) -> Close -> closed.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "media/pixels/work_surface.h"

namespace cb::sound {
class SoundPlayer;
}

namespace composer {

class ClipSource;

class AviPlayback {
  public:
    // Seconds of a steady clock; tests and benchmarks may give their own.
    using Clock = std::function<double()>;
    explicit AviPlayback(Clock clock = {});
    ~AviPlayback();
    AviPlayback(const AviPlayback&) = delete;
    AviPlayback& operator=(const AviPlayback&) = delete;

    // Opens a file, paused at its start. False with the reason in `error` when the clip source cannot
    // open it or it holds no frames. A sound track that does not decode leaves the file silent.
    bool Open(const std::string& fileName, std::string& error);
    void Close();
    bool IsOpen() const { return frameCount_ > 0; }

    int32_t FrameCount() const { return frameCount_; }
    double FramesPerSecond() const { return fps_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    double Duration() const;
    bool HasSound() const;
    // Whether the sound is heard through a device (false: the steady clock runs the picture).
    bool SoundPlaying() const { return soundPlaying_; }

    // Plays from the position (from the start once the end was reached); pauses; moves the position.
    void Play();
    void Pause();
    bool Playing() const { return playing_; }
    void Seek(double seconds);

    // The clock: seconds from the start, within 0 .. Duration. Reaching the end pauses.
    double Position();
    bool AtEnd();

    // The frame (1-based) the clock stands at.
    int32_t DueFrame();
    // The due frame when it is not the one shown last, else 0; frames skipped on the way are
    // added to DroppedFrames(). Seeking and opening start counting afresh.
    int32_t NextFrameToShow();
    int64_t DroppedFrames() const { return dropped_; }
    int64_t ShownFrames() const { return shown_; }

    // Decodes a frame (1-based) into bottom-up pixels of Width x Height. False when it cannot be read;
    // FrameProblem then says why.
    // The frame PrepareNext decoded ahead is handed over without decoding.
    bool ReadFrame(int32_t frame, PixelBuffer& pixels);
    // Decodes the frame after the one read last, so that it can be shown the moment it falls due
    // (the picture's lag to the clock is then not its decode time). Call after showing a frame.
    void PrepareNext();
    // Why the last frame that could not be read failed; "" when every frame read since opening did.
    const std::string& FrameProblem() const { return frameProblem_; }

  private:
    double SoundSeconds();
    bool Decode(int32_t frame, PixelBuffer& pixels);

    Clock clock_;
    std::unique_ptr<ClipSource> reader_;
    std::unique_ptr<cb::sound::SoundPlayer> sound_;
    double soundDuration_ = 0;
    double soundBytesPerSecond_ = 0;
    int32_t soundBlockBytes_ = 0;
    int32_t frameCount_ = 0;
    double fps_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    bool playing_ = false;
    bool soundPlaying_ = false;
    double anchorPosition_ = 0;  // the position when the steady clock was last anchored
    double anchorTime_ = 0;      // the steady clock then
    int32_t lastShown_ = 0;
    int32_t lastRead_ = 0;
    int32_t aheadFrame_ = 0;  // the frame in ahead_, 0 for none
    PixelBuffer ahead_;
    std::string frameProblem_;
    int64_t dropped_ = 0;
    int64_t shown_ = 0;
};

}  // namespace composer
