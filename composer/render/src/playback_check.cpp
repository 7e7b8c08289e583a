#include "playback_check.h"

#include "base/failure.h"
#include "cbplatform/read_back_frames.h"
#include "media/clip_source.h"

namespace composer {

std::optional<std::string> PlaybackProblem(const std::string& path, int32_t framesWritten) {
    std::unique_ptr<ClipSource> reader;
    try {
        reader = OpenClipSource(ClipVideo, path);
    } catch (const Failure& failure) {
        return "It does not open: " + failure.Reason();
    }
    if (reader->FrameCount() != framesWritten) {
        return "It reads back with " + std::to_string(reader->FrameCount()) + " of its " +
               std::to_string(framesWritten) + " frames.";
    }
    for (const int32_t index : cb::ReadBackFrames(path, reader->FrameCount(), reader->FramesPerSecond())) {
        try {
            (void)reader->Picture(index + 1);
        } catch (const Failure& failure) {
            return "Frame " + std::to_string(index + 1) + " does not decode: " + failure.Reason();
        }
    }
    return std::nullopt;
}

}  // namespace composer
