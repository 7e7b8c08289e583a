#include "render/movie_render.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>

#include "base/disk_full.h"
#include "base/duration.h"
#include "base/failure.h"
#include "base/files.h"
#include "base/interaction.h"
#include "base/rounding.h"
#include "cbplatform/file_checks.h"
#include "cbplatform/staged_file.h"
#include "cbplatform/stop_signals.h"
#include "document/movie_db.h"
#include "document/output_limits.h"
#include "document/output_repair.h"
#include "frame_composer.h"
#include "media/library/velc_avi_reader_class.h"
#include "media/movie_writer.h"
#include "output_target.h"
#include "playback_check.h"
#include "render/mix_output_audio.h"
#include "render/source_problems.h"
#include "render_layers.h"

namespace composer {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr int32_t kProgressStep = 10;

// The output as the user named it, and the file beside it that the movie is written to first.
struct OutputFiles {
    std::string name;
    std::string written;
};

struct FrameRange {
    int32_t first = 1;
    int32_t last = 0;
};

// Frames round(start x fps + 1) .. round(end x fps + 1), halves to even, within 1 .. totalFrames.
FrameRange FramesOfRange(double startSeconds, double endSeconds, double fps, int32_t totalFrames) {
    FrameRange range;
    range.first = std::max(RoundToInt32(startSeconds * fps + 1.0), 1);
    range.last = std::min(RoundToInt32(endSeconds * fps + 1.0), totalFrames);
    return range;
}

// The movie time of the first frame written. The sound of the range starts there too: a part asked
// for from between two frames begins with the frame at or after its start, and its sound with it.
double FirstFrameTime(const FrameRange& range, double fps) { return (range.first - 1) / fps; }

// The pointer and the progress bar for the length of a run; both are put back on every way out,
// before the command shows what the run gives.
class RunScreen {
  public:
    RunScreen() { UI().ProgressClear(); }
    ~RunScreen() { UI().ProgressHide(); }
    RunScreen(const RunScreen&) = delete;
    RunScreen& operator=(const RunScreen&) = delete;

  private:
    WaitCursor cursor_;
};

// Why a run stopped after the file was begun: what failed and why; the output keeps what it had.
std::string IncompleteText(const std::string& what, const std::string& reason, const std::string& fileName) {
    return "The movie could not be written: " + what + kLineEnd + reason + kLineEnd + "The file " + fileName +
           " was left as it was.";
}

[[noreturn]] void FailIncomplete(const std::string& what, const std::string& reason,
                                 const std::string& fileName) {
    throw Failure(IncompleteText(what, reason, fileName));
}

// A stop asked for by a signal, or by whoever started the run (the Cancel of the windows).
bool StopAsked(const std::atomic<bool>* request) {
    return cb::StopSignal() != 0 || (request != nullptr && request->load());
}

// Runs one step of the writer; a refusal stops the run with its reason (and the folder, when its
// disk is full).
template <typename Step>
void WriterStep(const std::string& what, const OutputFiles& files, Step&& step) {
    std::string reason;
    try {
        if (step()) return;
        reason = "The output file is not open.";
    } catch (const Failure& refused) {
        reason = refused.what();
    }
    FailIncomplete(what, WriteFailureReason(reason, cb::FolderOf(files.written)), files.name);
}

// Whether the mix had sound to give: an event of a clip whose sound was decoded overlaps the range.
// The mix answers "" both for no sound and for sound it could not write (it tells the user then).
bool SoundExpected(const MovieDbRec& movie, const MoviePlan& plan, double startSeconds, double endSeconds) {
    for (int32_t i = 1; i <= plan.AudioEventCount && i < static_cast<int32_t>(plan.AudioEvents.size()); ++i) {
        const AudioEvent& event = plan.AudioEvents[static_cast<std::size_t>(i)];
        if (event.Clip < 1 || event.Clip > movie.ClipCount) continue;
        const bool decoded = !movie.Clips[static_cast<std::size_t>(event.Clip)].CacheLeftFile.empty();
        if (decoded && endSeconds >= event.StartTime && startSeconds <= event.EndTime) return true;
    }
    return false;
}

// Mixes the sound of the range into a WAV file (empty when the movie has none); fails when the movie
// would lack the sound it should have, and when a disk fills up while the sound is made.
std::string MixedSound(MovieDbRec& movie, const MoviePlan& plan, double startSeconds, double endSeconds,
                       int32_t blockLimit, const OutputFiles& files, SourceProblems& problems) {
    std::string soundFile;
    try {
        soundFile = MixOutputAudio(movie, plan.AudioEvents, plan.AudioEventCount, startSeconds, endSeconds,
                                   blockLimit, &problems);
    } catch (const DiskFullError& full) {
        FailIncomplete("its sound track could not be made.", full.what(), files.name);
    }
    if (soundFile.empty() && SoundExpected(movie, plan, startSeconds, endSeconds))
        FailIncomplete("its sound track could not be made.", "The movie has no sound.", files.name);
    return soundFile;
}

// Mixes the sound of the range and gives it to the writer (when there is any). The mixed sound's
// file is left in `soundFile` for the caller to remove.
void AddSoundTrack(MovieDbRec& movie, const MoviePlan& plan, double startSeconds, double endSeconds,
                   int32_t blockLimit, MovieWriter& writer, const OutputFiles& files, std::string& soundFile,
                   SourceProblems& problems) {
    soundFile = MixedSound(movie, plan, startSeconds, endSeconds, blockLimit, files, problems);
    if (soundFile.empty()) return;
    WriterStep("its sound track was refused.", files, [&] {
        writer.AddSound(soundFile);
        return true;
    });
}

// The finished file must play back with every frame written before it takes the output's name: a
// file whose frames do not decode is no movie, however many frames its index counts.
void CheckReadsBack(const FrameRange& range, const OutputFiles& files, const MovieWriter& writer,
                    const std::atomic<bool>* stop) {
    const int32_t written = std::max(range.last - range.first + 1, 0);
    if (written == 0 || StopAsked(stop)) return;
    const std::optional<std::string> problem = PlaybackProblem(files.written, written);
    if (!problem) return;
    FailIncomplete("the finished file does not play back; its frames were made by the compressor " +
                       writer.CodingName() + ".",
                   *problem, files.name);
}

// Where the frames and the sound of a movie go, and what is noted on the way.
struct RenderTarget {
    const FrameRange& range;
    const OutputFiles& files;
    std::string& warnings;
    SourceProblems& problems;
    std::string& soundFile;
};

// Writes frames first .. last; fails at the first frame the writer refuses. A stop asked for ends
// the frames before the next one. Sources that cannot be read are noted. A writer that takes frames
// as a clip's decoder gave them is handed those, which spares converting frames that pass unchanged.
void WriteFrames(MovieDbRec& movie, const MoviePlan& plan, const RenderTarget& target, MovieWriter& writer,
                 const RenderOptions& options) {
    const std::atomic<bool>* stop = options.stopRequest;
    RenderLayers layers(movie, target.warnings, &target.problems);
    FrameComposer composer(movie, layers, options.sampling);
    const FrameRange& range = target.range;
    const int32_t frameCount = range.last - range.first + 1;
    const bool decodedFrames = writer.TakesDecodedFrames();
    for (int32_t f = range.first; f <= range.last; ++f) {
        if (StopAsked(stop)) return;
        const FrameRow& row = plan.FrameRows[static_cast<std::size_t>(f)];
        const std::string refused = "frame " + std::to_string(f) + " was refused.";
        const DecodedFrame decoded = decodedFrames ? composer.Decoded(row) : nullptr;
        bool coded = false;
        if (decoded)
            WriterStep(refused, target.files, [&] {
                coded = writer.AddDecoded(*decoded);
                return true;  // a frame the writer does not take as it is is composed instead
            });
        if (!coded) {
            const cb::ComPtr<IPicture> picture = composer.Compose(row);
            WriterStep(refused, target.files, [&] {
                writer.AddPicture(picture.get());
                return true;
            });
        }
        const int32_t done = f - range.first + 1;
        if (done % kProgressStep == 0) {
            UI().ProgressFraction(static_cast<float>(done) / static_cast<float>(frameCount));
        }
    }
    UI().ProgressFraction(1.0);
}

// The movie through its writer: the mixed sound where the writer wants it (before the frames for a
// muxer that lays it in beside them, after them for the library's AVI writer), the frames, then the
// file completed (its index is written last, when a full disk shows too) and read back.
void WriteMovie(MovieDbRec& movie, const MoviePlan& plan, double startSeconds, double endSeconds,
                const RenderOptions& options, MovieWriter& writer, const RenderTarget& target) {
    const OutputFiles& files = target.files;
    const std::string notice = writer.Notice();
    if (!notice.empty()) target.warnings += notice + kLineEnd;
    const auto addSound = [&] {
        AddSoundTrack(movie, plan, startSeconds, endSeconds, BlockLimitForBudget(options.memoryBudget),
                      writer, files, target.soundFile, target.problems);
    };
    if (writer.SoundBeforeFrames()) addSound();
    WriterStep("it could not be created.", files, [&] {
        writer.Start();
        return true;
    });
    WriteFrames(movie, plan, target, writer, options);
    if (StopAsked(options.stopRequest)) return;
    if (!writer.SoundBeforeFrames()) addSound();
    WriterStep("it could not be completed.", files, [&] {
        writer.Finish();
        return true;
    });
    CheckReadsBack(target.range, files, writer, options.stopRequest);
}

// The sources the movie lacks, one line each, for the message at the end of the run.
std::string ProblemsMessage(const std::vector<std::string>& lines) {
    std::string text = "The movie was written with sources missing or unreadable:";
    for (const std::string& line : lines) text += kLineEnd + line;
    return text;
}

// A run that wrote nothing, for `text` (shown with `title`; "" for the program title).
RenderReport Refused(std::string text, std::string title = "") {
    RenderReport report;
    report.messages.push_back({std::move(text), std::move(title)});
    return report;
}

// The plan of a movie that can be rendered; nothing, with the reason in `refusal`, when it cannot:
// output settings no movie can be made with, a plan too long to hold, or no duration at all.
std::optional<MoviePlan> RenderablePlan(MovieDbRec& movie, const char* title, RenderReport& refusal) {
    RepairOutputSettings(movie);
    const std::string problem = OutputSettingsProblem(movie);
    if (!problem.empty()) {
        refusal = Refused(problem, title);
        return std::nullopt;
    }
    try {
        MoviePlan plan = BuildMoviePlan(movie);
        if (plan.MovieDuration == 0) {
            refusal = Refused("Movie duration is zero", title);
            return std::nullopt;
        }
        return plan;
    } catch (const MoviePlanTooLong& tooLong) {
        refusal = Refused(tooLong.what(), title);
        return std::nullopt;
    }
}

}  // namespace

RenderReport RenderMovie(MovieDbRec& movie, const MoviePlan& plan, const std::string& fileName,
                         double startSeconds, double endSeconds, RenderOptions& options) {
    RunScreen screen;
    if (const std::optional<std::string> refusal = OutputRefusal(movie, fileName)) return Refused(*refusal);
    if (const std::optional<std::string> refusal = CompressorSizeRefusal(movie, fileName, options))
        return Refused(*refusal);
    // The movie is written beside the output and takes its name only when it is complete and
    // checked: whatever was there stays until then, and stays for good when the run fails or stops.
    std::optional<cb::StagedFile> staged = cb::StagedFile::Reserve(fileName);
    std::string notCreated = staged ? "" : cb::StagedFile::FailureText(fileName, errno);
    std::unique_ptr<MovieWriter> writer;
    if (staged) {
        MovieWriterSettings settings{movie.OutWidth,
                                     movie.OutHeight,
                                     movie.OutFps,
                                     options.compressor,
                                     options.showCompressorDialog,
                                     options.keyFrameInterval,
                                     options.share};
        try {
            writer = CreateMovieWriter(staged->path(), fileName, settings);
        } catch (...) {
            notCreated = CurrentFailureText();
        }
        options.compressor = settings.compressor;
    }
    if (!writer)
        return Refused("Failed to create file" + std::string(kLineEnd) + fileName + kLineEnd + notCreated);
    const OutputFiles files{fileName, staged->path()};
    std::string warnings;
    const std::string previousOutput = movie.OutputPath;
    movie.OutputPath = fileName;

    const int32_t lastRow = std::min(plan.TotalFrames, static_cast<int32_t>(plan.FrameRows.size()) - 1);
    const FrameRange range = FramesOfRange(startSeconds, endSeconds, movie.OutFps, lastRow);
    const double soundStart = FirstFrameTime(range, movie.OutFps);
    std::string soundFile;
    std::optional<std::string> failure;
    SourceProblems problems;
    try {
        const RenderTarget target{range, files, warnings, problems, soundFile};
        WriteMovie(movie, plan, soundStart, endSeconds, options, *writer, target);
    } catch (...) {
        failure = CurrentFailureText();
    }
    writer.reset();  // a file not finished is closed before it is removed
    // The mixed sound is in the movie now (or not wanted): its temporary file goes.
    if (!soundFile.empty()) DeleteFileChecked(soundFile);
    // A stop asked for by the user is no failure to report; the command that ran the render says
    // that it stopped. Once the movie has its name, the run is done.
    const bool stopped = StopAsked(options.stopRequest);
    if (!failure && !stopped && !staged->commit()) {
        failure = IncompleteText("it could not take the name of the file.", std::strerror(errno), fileName);
    }

    RenderReport report;
    if (stopped) {
        movie.OutputPath = previousOutput;  // the movie was not written
        return report;
    }
    if (!warnings.empty()) report.messages.push_back({warnings, ""});
    report.unreadableSources = problems.Lines();
    if (!report.unreadableSources.empty())
        report.messages.push_back({ProblemsMessage(report.unreadableSources), ""});
    if (failure) report.messages.push_back({*failure, ""});
    report.written = !failure;
    return report;
}

RenderReport SaveMovie(MovieDbRec& movie, const std::string& fileName, RenderOptions& options) {
    RenderReport refusal;
    const std::optional<MoviePlan> plan = RenderablePlan(movie, "Save Movie failed", refusal);
    if (!plan) return refusal;
    return RenderMovie(movie, *plan, fileName, 0, plan->MovieDuration, options);
}

RenderReport SavePartMovie(MovieDbRec& movie, const std::string& fileName, double startSeconds,
                           double endSeconds, RenderOptions& options) {
    RenderReport refusal;
    const std::optional<MoviePlan> plan = RenderablePlan(movie, "Save Part Movie failed", refusal);
    if (!plan) return refusal;
    if (endSeconds > plan->MovieDuration) endSeconds = plan->MovieDuration;
    if (!(startSeconds >= 0 && startSeconds < endSeconds))
        return Refused("Invalid start/end time" + std::string(kLineEnd) + "The movie is " +
                           FormatDuration(plan->MovieDuration) + " long.",
                       "Save Part Movie failed");
    return RenderMovie(movie, *plan, fileName, startSeconds, endSeconds, options);
}

}  // namespace composer
