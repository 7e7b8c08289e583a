#include "app/render_command.h"

#include <cstdio>
#include <exception>

#include "app/startup.h"
#include "base/app_state.h"
#include "base/duration.h"
#include "document/open_project.h"
#include "media/library_call.h"
#include "media/media_source_probe.h"
#include "render/movie_render.h"
#include "vidmill/vidmill.h"

namespace composer::app {

namespace {

// The compressor of one run: the setting's value comes back afterwards, unless the writer had to
// replace a code that came from the setting itself.
class CompressorOverride {
  public:
    explicit CompressorOverride(const std::string& name) {
        if (const auto code = CompressorCode(name)) {
            saved_ = OutCompressor;
            OutCompressor = *code;
        }
    }
    ~CompressorOverride() {
        if (saved_) OutCompressor = *saved_;
    }
    CompressorOverride(const CompressorOverride&) = delete;
    CompressorOverride& operator=(const CompressorOverride&) = delete;

  private:
    std::optional<int32_t> saved_;
};

// A render without the AVI library would only say that the file could not be created; headless,
// the reason is named before anything is loaded.
bool LibraryAvailable() {
    try {
        CreateLibraryObject<vidmill::IAviWriter>(vidmill::CLSID_AviWriter);
        return true;
    } catch (const LibraryError& error) {
        std::fprintf(stderr, "cinebrix-composer: %s (register it with: regsvr libvidmill.so)\n",
                     error.what());
        return false;
    }
}

bool LoadAndRender(const CommandLine& line) {
    if (!LibraryAvailable()) return false;
    MediaSourceProbe probe;
    ScopedSourceProbe installed(probe);
    if (!OpenProjectFromCommandLine(line.projectText)) {
        std::fprintf(stderr, "cinebrix-composer: cannot load the project %s\n", line.projectText.c_str());
        return false;
    }
    CompressorOverride compressor(line.compressor);
    const bool written =
        line.part ? SavePartMovie(line.outputPath, ParseDuration(line.partStart), ParseDuration(line.partEnd))
                  : SaveMovie(line.outputPath);
    if (written) {
        std::fprintf(stderr, "cinebrix-composer: wrote %s\n", line.outputPath.c_str());
    } else {
        std::fprintf(stderr, "cinebrix-composer: the movie was not written\n");
    }
    return written;
}

}  // namespace

int RunRenderCommand(const CommandLine& line) {
    bool written = false;
    // Nothing may end the program without its exit steps, which remove the work folder.
    try {
        RunStartupSteps();
        written = LoadAndRender(line);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "cinebrix-composer: %s\n", error.what());
        written = false;
    }
    RunExitSteps();
    return written ? 0 : 1;
}

}  // namespace composer::app
