#include "read_back_check.h"

#include "cbplatform/bstr.h"
#include "cbplatform/read_back_frames.h"
#include "tool_support.h"

namespace vidmill::tool {
namespace {

// Why the file does not play back; empty when it does.
std::string PlaybackProblem(const std::string& path) {
    try {
        auto reader = Create<IAviReader>(4);
        const cb::Bstr name(path);
        Check(reader->Open(name.get()), "Open");
        cb::ComPtr<IAviFrames> frames;
        LONG count = 0;
        double framesPerSecond = 0;
        Check(reader->get_Frames(frames.put()), "Frames");
        Check(frames->get_Count(&count), "Count");
        Check(reader->get_FramesPerSecond(&framesPerSecond), "FramesPerSecond");
        for (const std::int32_t index : cb::ReadBackFrames(path, count, framesPerSecond)) {
            cb::ComPtr<IAviFrame> frame;
            cb::ComPtr<IPicture> picture;
            try {
                Check(frames->get_Item(index, frame.put()), "Item");
                Check(frame->Picture(picture.put()), "Picture");
            } catch (const CommandFailed& failure) {
                return "frame " + std::to_string(index) + " does not decode (" + failure.message + ")";
            }
        }
    } catch (const CommandFailed& failure) {
        return failure.message;
    }
    return {};
}

}  // namespace

void CheckReadsBack(const std::string& path, LONG compressorHandler) {
    const std::string problem = PlaybackProblem(path);
    if (problem.empty()) return;
    throw CommandFailed{"the file written with the compressor " + FourCCText(compressorHandler) +
                        " does not play back: " + problem};
}

}  // namespace vidmill::tool
