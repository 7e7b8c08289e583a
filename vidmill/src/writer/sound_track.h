// The sound track of the file being written: the first sound stream of a WAV or AVI file,
// copied in its stored format (no re-encoding), optionally cut at the time of the last frame.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "writer/ffmpeg_owners.h"
#include "writer/packet_spool.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vidmill::writer {

// Where a sound stream ends when it is cut at the last video frame written so far: the sample
// at that frame's time, plus one. Sound stored in fixed blocks (PCM, ADPCM) is cut after the
// block holding that sample, the unit the stream counts its samples in; other sound after the
// packet that starts at or before it. No frames written yet: nothing to cut by.
struct SoundCut {
    std::int64_t keepBytes = -1;        // blocks: bytes kept from the start; -1 = no limit
    std::int64_t lastSampleFrame = -1;  // other sound: last sample frame whose packet is kept; -1 = no limit
};
SoundCut CutAtLastFrame(const AVCodecParameters& parameters, std::int64_t framesWritten, int videoRate);

class SoundTrack {
  public:
    // Reads the first sound stream of path into a spool in spoolFolder. Throws Error with the
    // sound messages of the writer. With cutWav the stream is cut at the last of framesWritten
    // frames of the given rate.
    static std::unique_ptr<SoundTrack> Read(const std::string& path, bool cutWav, std::int64_t framesWritten,
                                            int videoRate, const std::string& spoolFolder);

    const AVCodecParameters& parameters() const { return *parameters_; }
    AVRational timeBase() const { return timeBase_; }
    PacketSpool& packets() { return packets_; }

  private:
    explicit SoundTrack(const std::string& spoolFolder) : packets_(spoolFolder) {}
    CodecParametersPtr parameters_;
    AVRational timeBase_{1, 1};
    PacketSpool packets_;
};

}  // namespace vidmill::writer
