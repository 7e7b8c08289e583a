#pragma once
// What a render is asked to do beyond the movie itself: the choices of the command that starts it.
#include <atomic>
#include <cstdint>

#include "document/session.h"
#include "media/containers/container_movie_writer.h"
#include "media/pixels/picture_operation.h"

namespace composer {

struct RenderOptions {
    int32_t compressor = 0;             // handler code of the video compressor; 0 = "No compression"
    bool showCompressorDialog = false;  // the library asks for the compressor's options first
    int32_t memoryBudget = 10'000'000;  // bytes the render's in-memory sample buffers may use
    // Set by another thread to stop the run before its next frame (the Cancel of the windows); none
    // when null. Owned by the command that starts the render.
    const std::atomic<bool>* stopRequest = nullptr;
    // Frames between key frames of the movie; 0 = the compressor's own interval, else one a second.
    int32_t keyFrameInterval = 0;
    // How a movie to share (an output named .mp4, .mkv or .webm) is coded.
    ShareSettings share;
    // How pictures change size: filtered, or point-sampled when the output asks for sharp pixels.
    Sampling sampling = Sampling::Filtered;
};

// The options the session's output choices and memory budget give, no dialog. Made where a command
// starts, so the engine itself never reads the program's settings.
RenderOptions RenderOptionsFromSettings(const Session& session);

}  // namespace composer
