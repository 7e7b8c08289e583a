// The log of the media libraries behind the platform layer and the library. A program that reports
// problems in its own words switches it off, so that codec chatter never reaches its users; what
// the libraries report about damage while a file is read is still heard by whoever listens for it.
#pragma once

#include <string>
#include <vector>

#include "cbplatform/com_types.h"

struct AVFrame;

namespace cb {

// From now on the media libraries print nothing but fatal errors, for the whole process.
CB_PLATFORM_API void QuietMediaLog();

// Listens, on the calling thread and while it lives, for the errors the media libraries report
// about the given contexts (a demuxer's format context, a decoder's codec context): a strip of a
// picture that ran out of its data, a page whose check sum does not match, a file that ended before
// its last cluster. Many decoders only log such damage and still give a picture or sound, so this
// is how a reader learns that what it got is not what the file should hold. Decoders that run on
// threads of their own report there: readers that listen decode on the calling thread. Whether
// anything is printed is still the log level's choice.
class CB_PLATFORM_API MediaErrorListener {
  public:
    MediaErrorListener();
    ~MediaErrorListener();
    MediaErrorListener(const MediaErrorListener&) = delete;
    MediaErrorListener& operator=(const MediaErrorListener&) = delete;

    // Adds a context whose errors count from now on.
    void Listen(const void* context);
    // The first error reported, as the library worded it (without the line end); "" when none.
    const std::string& First() const { return first_; }
    // Called by the log hook for an error on this thread.
    void Heard(const void* context, const std::string& message);

  private:
    std::vector<const void*> contexts_;
    std::string first_;
};

// Why a decoded picture or sound frame is damaged by its decoder's own account (error flags set
// while decoding it, or marked corrupt); "" when it is whole.
CB_PLATFORM_API std::string FrameDamage(const AVFrame& frame);

}  // namespace cb
