// The settings of an AVI writer, with the rule each one applies when it is set. They take
// effect at the next CreateNew (KeyFrameRate also while frames are written).
#pragma once

#include <cstdint>

#include "vidmill/vidmill.h"

namespace vidmill::writer {

class WriterProperties {
  public:
    std::uint32_t compressorHandler() const { return compressorHandler_; }
    int quality() const { return quality_; }
    double framesPerSecond() const { return framesPerSecond_; }
    int keyFrameRate() const { return keyFrameRate_; }
    int bytesPerSecond() const { return bytesPerSecond_; }
    int interFrames() const { return interFrames_; }
    bool showDialog() const { return showDialog_; }

    // Any value; 0 lets the user choose in the options dialog.
    void setCompressorHandler(std::uint32_t handler) { compressorHandler_ = handler; }
    // Clamped to 0..10000.
    void setQuality(int quality);
    // Negative values are stored as 0.
    void setFramesPerSecond(double framesPerSecond);
    void setKeyFrameRate(int keyFrameRate);
    void setBytesPerSecond(int bytesPerSecond);
    // Negative values are stored as 0; ignored while writing (the writer passes writing = true).
    void setInterFrames(int interFrames, bool writing);
    void setShowDialog(bool showDialog) { showDialog_ = showDialog; }

    // The stream rate over a scale of 1000: frames per second * 1000, rounded half to even.
    int streamRate() const;

  private:
    std::uint32_t compressorHandler_ = MsVideo1Compressor;
    int quality_ = 7000;
    double framesPerSecond_ = 25.0;
    int keyFrameRate_ = 0;
    int bytesPerSecond_ = 0;
    int interFrames_ = 0;
    bool showDialog_ = false;
};

}  // namespace vidmill::writer
