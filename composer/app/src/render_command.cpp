#include "app/render_command.h"

#include <cstdio>
#include <exception>

#include "app/startup.h"
#include "base/app_state.h"
#include "base/duration.h"
#include "base/failure.h"
#include "cbplatform/stop_signals.h"
#include "document/open_project.h"
#include "media/library_call.h"
#include "media/media_source_probe.h"
#include "render/movie_render.h"
#include "vidmill/vidmill.h"

namespace composer::app {

namespace {

// The settings' options, with the compressor the command line names instead of the stored one.
RenderOptions OptionsOf(const CommandLine& line) {
    RenderOptions options = RenderOptionsFromSettings();
    if (const auto code = CompressorCode(line.compressor)) options.compressor = *code;
    return options;
}

// A render without the AVI library would only say that the file could not be created; headless,
// the reason is named before anything is loaded.
bool LibraryAvailable() {
    try {
        CreateLibraryObject<vidmill::IAviWriter>(vidmill::CLSID_AviWriter);
        return true;
    } catch (const Failure& error) {
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
    RenderOptions options = OptionsOf(line);
    const bool written = line.part ? SavePartMovie(line.outputPath, ParseDuration(line.partStart),
                                                   ParseDuration(line.partEnd), options)
                                   : SaveMovie(line.outputPath, options);
    if (written) {
        std::fprintf(stderr, "cinebrix-composer: wrote %s\n", line.outputPath.c_str());
    } else if (cb::StopSignal() == 0) {
        std::fprintf(stderr, "cinebrix-composer: the movie was not written\n");
    }
    return written;
}

}  // namespace

int RunRenderCommand(const CommandLine& line) {
    const bool written = RunCommand(SettingsFiles::OnlyRead, [&] {
        RunStartupSteps();
        return LoadAndRender(line);
    });
    const int signal = cb::StopSignal();
    if (signal != 0 && !written) {
        std::fprintf(stderr, "cinebrix-composer: the render was stopped; %s was left as it was\n",
                     line.outputPath.c_str());
        return 128 + signal;
    }
    return written ? 0 : 1;
}

}  // namespace composer::app
