// How the clip windows keep up with the user.
//
//   window_bench mask
//       The mask window's preview of a 1280 x 720 frame after a tolerance change: the preview
//       built with the render's colour ranges and turned into the image that is painted, median
//       of 31 runs (goal: within 16 ms, one frame at 60 Hz).
//   window_bench play FILE.avi [SECONDS]
//       Plays FILE.avi with the play window's player for SECONDS (default 60) the way the window
//       does (a 5 ms tick, the due frame turned into an image, the next one decoded ahead) and prints how far
//       the picture lagged behind the clock at worst and on average, and the share of frames dropped (goals:
//       within 40 ms, at most 1 %). Needs the AVI library registered (CB_REGISTRY). The clock is the sound's
//       when a sound device plays the file's sound, else a steady clock.
//   window_bench step FILE.avi [SECONDS]
//       Holds the clip window's forward arrow down for SECONDS (default 10) on the video FILE.avi,
//       at one frame a step, and prints how many steps a second the window made against the 25 a
//       second of its 40 ms repeat, with the longest gap between two steps (goal: keeping up with
//       the repeat on a 720p clip). Needs the AVI library registered (CB_REGISTRY). Runs on Qt's
//       offscreen platform unless QT_QPA_PLATFORM says otherwise.
//   window_bench step-back FILE [SECONDS]
//       The same with the back arrow held from the clip's last frame.
#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "base/app_state.h"
#include "base/failure.h"
#include "document/movie_db.h"
#include "document/session.h"
#include "media/avi_playback.h"
#include "media/clip_source.h"
#include "media/pixels/mask_preview.h"
#include "ui/clip_window.h"
#include "ui/pixel_image.h"

namespace {

using Clock = std::chrono::steady_clock;
using composer::PixelBuffer;

double Milliseconds(Clock::duration span) { return std::chrono::duration<double, std::milli>(span).count(); }

int MaskBench() {
    constexpr int kWidth = 1280;
    constexpr int kHeight = 720;
    // A green screen with some grain and a grey disc in the middle.
    PixelBuffer frame(static_cast<std::size_t>(kWidth) * kHeight);
    for (int row = 0; row < kHeight; ++row)
        for (int column = 0; column < kWidth; ++column) {
            const int dx = column - kWidth / 2;
            const int dy = row - kHeight / 2;
            const uint32_t grain = static_cast<uint32_t>((row * 7 + column * 13) % 9);
            frame[composer::PixelIndex(kWidth, kHeight, row, column)] =
                dx * dx + dy * dy < 200 * 200 ? 0xFF808080u : 0xFF00C000u + (grain << 8) + grain;
        }
    std::vector<composer::TransColorRec> colors{{}, {0, 192, 0, 5}, {10, 200, 10, 3}, {250, 250, 250, 1}};
    PixelBuffer preview;
    std::vector<double> runs;
    double share = 0;
    for (int run = 0; run < 31; ++run) {
        colors[1].Tolerance = 3 + run % 5;  // the user typed a new tolerance
        const auto start = Clock::now();
        const composer::MaskPreviewCount count = composer::BuildMaskPreview(
            frame, kWidth, kHeight, {8, 8, 8, 8}, colors, 3, {0xC0C0C0, 0x808080}, preview);
        const QImage image = composer::PixelBufferImage(preview, kWidth, kHeight);
        runs.push_back(Milliseconds(Clock::now() - start));
        share = count.TransparentShare() + (image.isNull() ? 1 : 0);
    }
    std::sort(runs.begin(), runs.end());
    std::printf("mask preview 1280x720: %.2f ms (median of %zu; transparent share %.1f %%)\n",
                runs[runs.size() / 2], runs.size(), share * 100);
    return 0;
}

int PlayBench(const std::string& file, double seconds) {
    composer::AviPlayback player;
    std::string error;
    if (!player.Open(file, error)) {
        std::fprintf(stderr, "window_bench: %s: %s\n", file.c_str(), error.c_str());
        return 1;
    }
    PixelBuffer pixels;
    double worstLag = 0;
    double totalLag = 0;
    int64_t shown = 0;
    player.Play();
    const auto start = Clock::now();
    while (player.Playing() && std::chrono::duration<double>(Clock::now() - start).count() < seconds) {
        const int32_t frame = player.NextFrameToShow();
        if (frame > 0 && player.ReadFrame(frame, pixels)) {
            const QImage image = composer::PixelBufferImage(pixels, player.Width(), player.Height());
            // How late the picture is: the clock now against the time the frame is due.
            const double lag = player.Position() - (frame - 1) / player.FramesPerSecond();
            worstLag = std::max(worstLag, lag);
            totalLag += lag;
            shown += image.isNull() ? 0 : 1;
            player.PrepareNext();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const int64_t dropped = player.DroppedFrames();
    std::printf(
        "played %.1f s of %dx%d at %g fps (%s clock): %lld frames shown, %lld dropped (%.2f %%), "
        "lag worst %.1f ms, mean %.1f ms\n",
        std::chrono::duration<double>(Clock::now() - start).count(), player.Width(), player.Height(),
        player.FramesPerSecond(), player.SoundPlaying() ? "sound" : "steady", static_cast<long long>(shown),
        static_cast<long long>(dropped),
        100.0 * static_cast<double>(dropped) / static_cast<double>(shown + dropped), worstLag * 1000,
        shown > 0 ? totalLag / static_cast<double>(shown) * 1000 : 0.0);
    return 0;
}

void SendMouse(QWidget* widget, QEvent::Type type) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

int StepBench(const std::string& file, double seconds, bool back) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "window_bench";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    std::unique_ptr<composer::ClipSource> probe;
    try {
        probe = composer::OpenClipSource(composer::ClipVideo, file);
    } catch (const composer::Failure& failure) {
        std::fprintf(stderr, "window_bench: %s: %s\n", file.c_str(), failure.Reason().c_str());
        return 1;
    }
    composer::Session session;
    composer::MovieDbRec& movie = session.EditMovie();
    composer::ClearMovie(movie);
    composer::ClipRec clip;
    clip.ClipType = composer::ClipVideo;
    clip.FilePath = file;
    clip.ClipName = "bench";
    clip.SrcWidth = probe->Width();
    clip.SrcHeight = probe->Height();
    clip.SrcFps = probe->FramesPerSecond();
    clip.FrameCount = probe->FrameCount();
    clip.CurFrame = back ? probe->FrameCount() : 1;
    clip.UseFirst = 1;
    clip.UseLast = probe->FrameCount();
    movie.Clips.push_back(clip);
    movie.ClipCount = 1;
    movie.CurClip = 1;
    composer::OneClip_Frm window(session);
    window.resize(1200, 260);
    window.show();
    window.DrawClipPanel();
    QApplication::processEvents();

    // Each change of the first shown frame is one step; the gaps between them are timed.
    std::vector<double> gaps;
    const int32_t firstFrame = session.Movie().Clips[1].CurFrame;
    int32_t lastFrame = firstFrame;
    auto lastStep = Clock::now();
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const int32_t frame = session.Movie().Clips[1].CurFrame;
        if (frame == lastFrame) return;
        const auto now = Clock::now();
        gaps.push_back(Milliseconds(now - lastStep));
        lastStep = now;
        lastFrame = frame;
    });
    QToolButton* arrow = window.Command(back ? "ScrollImg1" : "ScrollImg2");
    const auto start = Clock::now();
    lastStep = start;
    watch.start();
    SendMouse(arrow, QEvent::MouseButtonPress);
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    SendMouse(arrow, QEvent::MouseButtonRelease);
    const double held = std::chrono::duration<double>(Clock::now() - start).count();
    const int32_t steps = std::abs(session.Movie().Clips[1].CurFrame - firstFrame);
    std::sort(gaps.begin(), gaps.end());
    std::printf(
        "held %.1f s on %dx%d (%d frames, %d decoded): %d steps, %.1f a second (the repeat asks %d), "
        "gap median %.1f ms, worst %.1f ms%s\n",
        held, probe->Width(), probe->Height(), probe->FrameCount(),
        static_cast<int>(window.Thumbnails().Decodes()), steps, steps / held,
        1000 / composer::OneClip_Frm::kArrowRepeatMs, gaps.empty() ? 0.0 : gaps[gaps.size() / 2],
        gaps.empty() ? 0.0 : gaps.back(),
        steps + 1 >= probe->FrameCount() ? " (reached the clip's end)" : "");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "mask") return MaskBench();
    if (what == "play" && argc > 2) return PlayBench(argv[2], argc > 3 ? std::atof(argv[3]) : 60.0);
    if (what == "step" && argc > 2) return StepBench(argv[2], argc > 3 ? std::atof(argv[3]) : 10.0, false);
    if (what == "step-back" && argc > 2)
        return StepBench(argv[2], argc > 3 ? std::atof(argv[3]) : 10.0, true);
    std::fprintf(stderr,
                 "usage: window_bench mask | play FILE.avi [SECONDS] | step FILE [SECONDS] | step-back FILE "
                 "[SECONDS]\n");
    return 2;
}
