#include "render/movie_render.h"

#include <sys/stat.h>

#include <algorithm>
#include <exception>
#include <optional>

#include "base/failure.h"
#include "base/files.h"
#include "base/interaction.h"
#include "base/rounding.h"
#include "document/movie_db.h"
#include "document/output_repair.h"
#include "frame_composer.h"
#include "media/velc_avi_reader_class.h"
#include "media/velc_avi_writer_class.h"
#include "render/mix_output_audio.h"
#include "render_layers.h"

namespace composer {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr int32_t kProgressStep = 10;

// A file marked read-only is the user's way of keeping it: it is not deleted to make room for a
// movie, although the folder would allow it.
bool ReadOnlyFile(const std::string& path) {
    struct stat facts {};
    return ::stat(path.c_str(), &facts) == 0 && (facts.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// Deletes an old output file. False when it is still there.
bool RemoveOldOutput(const std::string& fileName) {
    if (!FileExists(fileName)) return true;
    if (ReadOnlyFile(fileName)) return false;
    DeleteFileChecked(fileName);
    return !FileExists(fileName);
}

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

// The pointer and the progress bar for the length of a run; both are put back on every way out.
class RunScreen {
  public:
    RunScreen() {
        cursor_.emplace();
        UI().ProgressClear();
    }
    ~RunScreen() { UI().ProgressHide(); }
    RunScreen(const RunScreen&) = delete;
    RunScreen& operator=(const RunScreen&) = delete;
    // The default pointer again, before a message is shown.
    void RestorePointer() { cursor_.reset(); }

  private:
    std::optional<WaitCursor> cursor_;
};

// What stopped a run after the file was created: what failed and why, with the file left incomplete.
[[noreturn]] void FailIncomplete(const std::string& what, const std::string& reason,
                                 const std::string& fileName) {
    throw Failure("The movie could not be written: " + what + kLineEnd + reason + kLineEnd + "The file " +
                  fileName + " is incomplete.");
}

// Runs one step of the writer; a refusal stops the run with its reason.
template <typename Step>
void WriterStep(const std::string& what, const std::string& fileName, Step&& step) {
    std::string reason;
    try {
        if (step()) return;
        reason = "The output file is not open.";
    } catch (const Failure& refused) {
        reason = refused.what();
    }
    FailIncomplete(what, reason, fileName);
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

// Adds the mixed sound (when there is any); fails when the movie would lack the sound it should have.
void AddSoundTrack(const MovieDbRec& movie, const MoviePlan& plan, double startSeconds, double endSeconds,
                   const std::string& soundFile, VelcAviWriterClass& writer, const std::string& fileName) {
    if (soundFile.empty()) {
        if (!SoundExpected(movie, plan, startSeconds, endSeconds)) return;
        FailIncomplete("its sound track could not be made.", "The movie has no sound.", fileName);
    }
    WriterStep("its sound track was refused.", fileName, [&] {
        writer.WriteAVI_AddAudio(soundFile);
        return true;
    });
}

// The writer's close does not say whether the file could be completed (its index is written last,
// when a full disk shows too): the finished file must open with every frame written.
void CheckFinishedMovie(const std::string& fileName, const FrameRange& range) {
    const int32_t written = std::max(range.last - range.first + 1, 0);
    if (written == 0) return;
    VelcAviReaderClass reader;
    if (reader.ReadAvi_OpenFile(fileName) && reader.FrameCount == written) return;
    FailIncomplete("the finished file does not read back with its " + std::to_string(written) + " frames.",
                   "It could not be completed.", fileName);
}

// Writes frames first .. last; fails at the first frame the writer refuses.
void WriteFrames(MovieDbRec& movie, const MoviePlan& plan, const FrameRange& range,
                 VelcAviWriterClass& writer, std::string& warnings, const std::string& fileName) {
    RenderLayers layers(movie, warnings);
    FrameComposer composer(movie, layers);
    const int32_t frameCount = range.last - range.first + 1;
    for (int32_t f = range.first; f <= range.last; ++f) {
        const cb::ComPtr<IPicture> picture = composer.Compose(plan.FrameRows[static_cast<std::size_t>(f)]);
        WriterStep("frame " + std::to_string(f) + " was refused.", fileName,
                   [&] { return writer.WriteAvi_AddPicture(picture.get()); });
        const int32_t done = f - range.first + 1;
        if (done % kProgressStep == 0) {
            UI().ProgressFraction(static_cast<float>(done) / static_cast<float>(frameCount));
        }
    }
    UI().ProgressFraction(1.0);
}

}  // namespace

bool RenderMovie(MovieDbRec& movie, const MoviePlan& plan, const std::string& fileName, double startSeconds,
                 double endSeconds, RenderOptions& options) {
    RunScreen screen;
    if (!RemoveOldOutput(fileName)) {
        screen.RestorePointer();
        MsgBox("The file " + fileName + kLineEnd + "already exists and could not be deleted" + kLineEnd +
               "please delete it and try again");
        return false;
    }
    VelcAviWriterClass writer;
    if (!writer.WriteAvi_CreateNewFile(fileName, movie.OutWidth, movie.OutHeight, movie.OutFps,
                                       options.compressor, options.showCompressorDialog)) {
        screen.RestorePointer();
        MsgBox("Failed to create file" + std::string(kLineEnd) + fileName + kLineEnd + writer.LastFailure);
        return false;
    }
    std::string warnings;
    movie.OutputPath = fileName;

    const int32_t lastRow = std::min(plan.TotalFrames, static_cast<int32_t>(plan.FrameRows.size()) - 1);
    const FrameRange range = FramesOfRange(startSeconds, endSeconds, movie.OutFps, lastRow);
    std::string soundFile;
    std::optional<std::string> failure;
    try {
        WriteFrames(movie, plan, range, writer, warnings, fileName);
        soundFile = MixOutputAudio(movie, plan.AudioEvents, plan.AudioEventCount, startSeconds, endSeconds,
                                   BlockLimitForBudget(options.memoryBudget));
        AddSoundTrack(movie, plan, startSeconds, endSeconds, soundFile, writer, fileName);
        writer.WriteAVI_CloseFile();
        CheckFinishedMovie(fileName, range);
    } catch (...) {
        failure = CurrentFailureText();
    }
    writer.WriteAVI_CloseFile();
    // The mixed sound is in the movie now (or not wanted): its temporary file goes.
    if (!soundFile.empty()) DeleteFileChecked(soundFile);

    screen.RestorePointer();
    if (!warnings.empty()) MsgBox(warnings);
    if (failure) MsgBox(*failure);
    return !failure;
}

bool SaveMovie(MovieDbRec& movie, const std::string& fileName, RenderOptions& options) {
    RepairOutputSettings(movie);
    const MoviePlan plan = BuildMoviePlan(movie);
    if (plan.MovieDuration == 0) {
        MsgBox("Movie duration is zero", MsgButtons::OK, "Save Movie failed");
        return false;
    }
    return RenderMovie(movie, plan, fileName, 0, plan.MovieDuration, options);
}

bool SavePartMovie(MovieDbRec& movie, const std::string& fileName, double startSeconds, double endSeconds,
                   RenderOptions& options) {
    RepairOutputSettings(movie);
    const MoviePlan plan = BuildMoviePlan(movie);
    if (plan.MovieDuration == 0) {
        MsgBox("Movie duration is zero", MsgButtons::OK, "Save Part Movie failed");
        return false;
    }
    if (endSeconds > plan.MovieDuration) endSeconds = plan.MovieDuration;
    if (!(startSeconds >= 0 && startSeconds < endSeconds)) {
        MsgBox("Invalid start/end time", MsgButtons::OK, "Save Part Movie failed");
        return false;
    }
    return RenderMovie(movie, plan, fileName, startSeconds, endSeconds, options);
}

bool SaveMovie(const std::string& fileName, RenderOptions& options) {
    return SaveMovie(MainDb, fileName, options);
}

bool SavePartMovie(const std::string& fileName, double startSeconds, double endSeconds,
                   RenderOptions& options) {
    return SavePartMovie(MainDb, fileName, startSeconds, endSeconds, options);
}

}  // namespace composer
