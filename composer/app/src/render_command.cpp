#include "app/render_command.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "base/duration.h"
#include "base/failure.h"
#include "base/interaction.h"
#include "cbplatform/file_checks.h"
#include "cbplatform/stop_signals.h"
#include "document/clip_file_kinds.h"
#include "document/movie_db.h"
#include "document/open_project.h"
#include "media/containers/container_movie_writer.h"
#include "media/library/library_call.h"
#include "media/library/velc_avi_writer_class.h"
#include "media/media_source_probe.h"
#include "render/movie_render.h"
#include "render/output_name.h"
#include "vidmill/vidmill.h"

namespace composer::app {

namespace {

constexpr int kExitWritten = 0;
constexpr int kExitNotWritten = 1;
constexpr int kExitWrongCommandLine = 2;
constexpr int kExitWrittenWithoutSources = 3;

// The settings' options, with the compressor and the coding the command line names instead of the
// stored ones ("H264" or "VP90" as the compressor still picks the coding of a movie to share).
RenderOptions OptionsOf(const Session& session, const CommandLine& line) {
    RenderOptions options = RenderOptionsFromSettings(session);
    if (const auto code = CompressorCode(line.compressor)) {
        options.compressor = *code;
        options.share.video = ShareVideoOfCompressor(*code);
    }
    if (!line.codec.empty()) options.share.video = line.codec == "vp9" ? ShareVideo::Vp9 : ShareVideo::H264;
    return options;
}

// Whether the render needs the AVI library before the project is loaded: for an AVI output, and
// for a compressor named on the command line (the library lists them).
bool LibraryNeededForOutput(const CommandLine& line) {
    return ShareFormatOfFile(line.outputPath) == ShareFormat::None || !line.compressor.empty();
}

// Whether a loaded movie has a clip the library reads (an AVI file, its pictures or its sound).
bool LibraryNeededForClips(const MovieDbRec& movie) {
    for (int32_t i = 1; i <= movie.ClipCount && i < static_cast<int32_t>(movie.Clips.size()); ++i)
        if (IsAviFile(movie.Clips[static_cast<std::size_t>(i)].FilePath)) return true;
    return false;
}

// --codec names the coding of a movie to share; an AVI movie's is its compressor, and WebM holds
// only VP9.
bool CodecUsable(const CommandLine& line) {
    if (line.codec.empty()) return true;
    const ShareFormat format = ShareFormatOfFile(line.outputPath);
    std::string problem;
    if (format == ShareFormat::None)
        problem = "is for .mp4, .mkv and .webm movies; an AVI movie's coding is its --compressor";
    else if (format == ShareFormat::WebM && line.codec != "vp9")
        problem = "h264 cannot be written in a .webm movie (WebM holds VP9)";
    if (!problem.empty()) std::fprintf(stderr, "cinebrix-composer: --codec %s\n", problem.c_str());
    return problem.empty();
}

// A render without the AVI library would only say that the file could not be created; headless,
// the reason is named before anything is written (before the project is loaded when the output
// needs the library).
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

// A compressor named on the command line must be one the library lists as able to write: a
// typing slip is not turned silently into another compressor, as the setting's value would be.
bool CompressorUsable(const std::string& name) {
    const std::optional<int32_t> code = CompressorCode(name);
    if (!code) return false;
    int32_t checked = *code;
    VelcAviWriterClass::CheckCompressor(checked);
    if (checked == *code) return true;
    std::fprintf(stderr,
                 "cinebrix-composer: the compressor \"%s\" is not installed or cannot write movies; "
                 "\"vidmill compressors\" lists the compressors (those with writing=yes can be used)\n",
                 name.c_str());
    return false;
}

// An output name whose ending is no movie's is a slip of the command line, told before anything is
// loaded or written. The project itself named as the output is left to the render, which refuses it
// as what the movie is made from: the more telling reason.
bool OutputNameUsable(const CommandLine& line) {
    if (cb::SameFile(line.outputPath, ProjectPathFromCommandLine(line.projectText))) return true;
    const std::optional<std::string> refusal = OutputNameRefusal(line.outputPath);
    if (refusal) MsgBox(*refusal);
    return !refusal;
}

int LoadAndRender(Session& session, const CommandLine& line) {
    if (!OutputNameUsable(line) || !CodecUsable(line)) return kExitWrongCommandLine;
    if (LibraryNeededForOutput(line) && !LibraryAvailable()) return kExitNotWritten;
    if (!line.compressor.empty() && !CompressorUsable(line.compressor)) return kExitWrongCommandLine;
    MediaSourceProbe probe(&session.notices);
    ScopedSourceProbe installed(probe);
    if (!OpenProjectFromCommandLine(session, line.projectText)) {
        std::fprintf(stderr, "cinebrix-composer: cannot load the project %s\n", line.projectText.c_str());
        return kExitNotWritten;
    }
    if (!LibraryNeededForOutput(line) && LibraryNeededForClips(session.Movie()) && !LibraryAvailable())
        return kExitNotWritten;
    RenderOptions options = OptionsOf(session, line);
    // The render works on its copy, as a render from the windows does, and hands its results back.
    MovieDbRec movie = session.Movie();
    const RenderReport report = line.part
                                    ? SavePartMovie(movie, line.outputPath, ParseDuration(line.partStart),
                                                    ParseDuration(line.partEnd), options)
                                    : SaveMovie(movie, line.outputPath, options);
    ShowMessages(report.messages);
    session.TakeRenderResults(movie);
    const std::vector<std::string>& unreadable = report.unreadableSources;
    if (!report.written) {
        if (cb::StopSignal() == 0) std::fprintf(stderr, "cinebrix-composer: the movie was not written\n");
        return kExitNotWritten;
    }
    if (!unreadable.empty()) {
        // The list itself was shown with the render's messages, once per source.
        std::fprintf(stderr, "cinebrix-composer: wrote %s with %zu source(s) missing or unreadable\n",
                     line.outputPath.c_str(), unreadable.size());
        return kExitWrittenWithoutSources;
    }
    std::fprintf(stderr, "cinebrix-composer: wrote %s\n", line.outputPath.c_str());
    return kExitWritten;
}

}  // namespace

int RunRenderCommand(Session& session, const CommandLine& line) {
    int status = kExitNotWritten;
    RunCommand(session, SettingsFiles::OnlyRead, [&] {
        RunStartupSteps(session);
        status = LoadAndRender(session, line);
        return status == kExitWritten || status == kExitWrittenWithoutSources;
    });
    const int signal = cb::StopSignal();
    if (signal != 0 && status == kExitNotWritten) {
        std::fprintf(stderr, "cinebrix-composer: the render was stopped; %s was left as it was\n",
                     line.outputPath.c_str());
        return 128 + signal;
    }
    return status;
}

}  // namespace composer::app
