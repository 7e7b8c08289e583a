#include "media/avi_playback.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "base/failure.h"
#include "cbplatform/sound.h"
#include "media/clip_source.h"

namespace composer {

namespace {

double SteadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

AviPlayback::AviPlayback(Clock clock) : clock_(clock ? std::move(clock) : Clock(SteadySeconds)) {}

AviPlayback::~AviPlayback() { Close(); }

bool AviPlayback::Open(const std::string& fileName, std::string& error) {
    Close();
    std::unique_ptr<ClipSource> reader;
    try {
        reader = OpenClipSource(ClipVideo, fileName);
    } catch (const Failure& failure) {
        error = failure.Reason();
        return false;
    }
    if (reader->FrameCount() < 1 || reader->FramesPerSecond() <= 0) {
        error = "The file holds no frames to show.";
        return false;
    }
    frameCount_ = reader->FrameCount();
    fps_ = reader->FramesPerSecond();
    width_ = reader->Width();
    height_ = reader->Height();
    reader_ = std::move(reader);
    if (cb::sound::SoundAvailable()) {
        std::shared_ptr<const cb::sound::SoundBuffer> decoded =
            cb::sound::SoundBuffer::Decode(fileName, nullptr);
        if (decoded && decoded->byteCount() > 0) {
            const cb::sound::PcmFormat& format = decoded->format();
            soundBlockBytes_ = format.BlockBytes();
            soundBytesPerSecond_ = static_cast<double>(format.BlockBytes()) * format.sampleRate;
            soundDuration_ = static_cast<double>(decoded->byteCount()) / soundBytesPerSecond_;
            sound_ = std::make_unique<cb::sound::SoundPlayer>(std::move(decoded));
        }
    }
    return true;
}

void AviPlayback::Close() {
    sound_.reset();
    reader_.reset();
    frameCount_ = 0;
    fps_ = 0;
    width_ = height_ = 0;
    playing_ = soundPlaying_ = false;
    anchorPosition_ = 0;
    soundDuration_ = soundBytesPerSecond_ = 0;
    soundBlockBytes_ = 0;
    lastShown_ = 0;
    lastRead_ = aheadFrame_ = 0;
    ahead_.clear();
    frameProblem_.clear();
    dropped_ = shown_ = 0;
}

double AviPlayback::Duration() const { return fps_ > 0 ? frameCount_ / fps_ : 0.0; }

bool AviPlayback::HasSound() const { return sound_ != nullptr; }

double AviPlayback::SoundSeconds() { return sound_ ? sound_->PlayedSeconds() : 0.0; }

void AviPlayback::Play() {
    if (!IsOpen() || playing_) return;
    if (AtEnd()) Seek(0);
    playing_ = true;
    soundPlaying_ = false;
    if (sound_ && anchorPosition_ < soundDuration_) {
        sound_->Seek(static_cast<std::int64_t>(anchorPosition_ * soundBytesPerSecond_) / soundBlockBytes_ *
                     soundBlockBytes_);
        soundPlaying_ = sound_->Play() == cb::sound::PlayResult::Playing;
    }
    anchorTime_ = clock_();
}

void AviPlayback::Pause() {
    if (!playing_) return;
    anchorPosition_ = Position();
    playing_ = false;
    soundPlaying_ = false;
    if (sound_) sound_->Stop();
}

void AviPlayback::Seek(double seconds) {
    const bool wasPlaying = playing_;
    if (sound_) sound_->Stop();
    playing_ = soundPlaying_ = false;
    anchorPosition_ = std::clamp(seconds, 0.0, Duration());
    lastShown_ = 0;
    if (wasPlaying) Play();
}

double AviPlayback::Position() {
    if (!playing_) return anchorPosition_;
    if (soundPlaying_) {
        // The steady clock stays anchored to the sound, so that it carries on after the sound ends.
        const double heard = SoundSeconds();
        soundPlaying_ = heard < soundDuration_;
        anchorPosition_ = soundPlaying_ ? heard : soundDuration_;
        anchorTime_ = clock_();
    }
    const double position = anchorPosition_ + (clock_() - anchorTime_);
    if (position < Duration()) return position;
    anchorPosition_ = Duration();
    playing_ = soundPlaying_ = false;
    if (sound_) sound_->Stop();
    return anchorPosition_;
}

bool AviPlayback::AtEnd() { return IsOpen() && Position() >= Duration(); }

int32_t AviPlayback::DueFrame() {
    if (!IsOpen()) return 0;
    const double frame = std::floor(Position() * fps_ + 1e-9) + 1;
    return static_cast<int32_t>(std::clamp(frame, 1.0, static_cast<double>(frameCount_)));
}

int32_t AviPlayback::NextFrameToShow() {
    const int32_t due = DueFrame();
    if (due == 0 || due == lastShown_) return 0;
    if (lastShown_ > 0 && due > lastShown_ + 1) dropped_ += due - lastShown_ - 1;
    lastShown_ = due;
    ++shown_;
    return due;
}

bool AviPlayback::ReadFrame(int32_t frame, PixelBuffer& pixels) {
    if (!reader_) return false;
    if (frame == aheadFrame_) {
        pixels.swap(ahead_);
        aheadFrame_ = 0;
    } else if (!Decode(frame, pixels)) {
        return false;
    }
    lastRead_ = frame;
    return true;
}

void AviPlayback::PrepareNext() {
    const int32_t next = lastRead_ + 1;
    if (!reader_ || lastRead_ < 1 || next > frameCount_ || next == aheadFrame_) return;
    aheadFrame_ = Decode(next, ahead_) ? next : 0;
}

bool AviPlayback::Decode(int32_t frame, PixelBuffer& pixels) {
    try {
        reader_->Pixels(frame, pixels);
        return true;
    } catch (const Failure& failure) {
        frameProblem_ = failure.Reason();
        return false;
    }
}

}  // namespace composer
