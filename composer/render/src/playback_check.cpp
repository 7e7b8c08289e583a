#include "playback_check.h"

#include "base/failure.h"
#include "cbplatform/read_back_frames.h"
#include "media/velc_avi_reader_class.h"

namespace composer {

std::optional<std::string> PlaybackProblem(const std::string& path, int32_t framesWritten) {
    VelcAviReaderClass reader;
    if (!reader.ReadAvi_OpenFile(path)) return "It does not open: " + reader.LastFailure;
    if (reader.FrameCount != framesWritten) {
        return "It reads back with " + std::to_string(reader.FrameCount) + " of its " +
               std::to_string(framesWritten) + " frames.";
    }
    for (const int32_t index : cb::ReadBackFrames(path, reader.FrameCount, reader.FramesPerSecond)) {
        const std::string frame = "Frame " + std::to_string(index + 1) + " does not decode";
        try {
            cb::ComPtr<IPicture> picture;
            if (!reader.ReadAvi_GetOneFrameAsPicture(index + 1, picture) || !picture) return frame + ".";
        } catch (const Failure& failure) {
            return frame + ": " + failure.what();
        }
    }
    return std::nullopt;
}

}  // namespace composer
