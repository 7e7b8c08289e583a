// Packets kept in an unnamed file until the final file is written, so that a long sound track
// never has to be held in memory. The file lies in the output's folder: the writer needs room on
// that disk alone, and a full disk there is the one reason a write fails for want of room.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "cbplatform/file_owner.h"

namespace vidmill::writer {

class PacketSpool {
  public:
    explicit PacketSpool(const std::string& folder);
    bool valid() const { return file_ != nullptr; }
    // Appends the packet's data, timestamps and flags. False on a write failure (errno tells why).
    bool append(const AVPacket& packet);
    // Starts reading from the first packet. False on failure.
    bool rewind();
    // Reads the next packet into `packet` (replacing its content). False at the end or on failure;
    // failed() tells the two apart.
    bool next(AVPacket& packet);
    bool failed() const { return failed_; }

  private:
    cb::FilePtr file_;
    bool failed_ = false;
};

}  // namespace vidmill::writer
