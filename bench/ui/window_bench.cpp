// How the clip windows keep up with the user.
//
//   window_bench mask
//       The mask window's preview of a 1280 x 720 frame after a tolerance change: the preview
//       built with the render's colour ranges and turned into the image that is painted, median
//       of 31 runs (goal: within 16 ms, one frame at 60 Hz).
//   window_bench play FILE.avi [SECONDS]
//       Plays FILE.avi with the play window's player for SECONDS (default 60) the way the window
//       does (a 5 ms tick, the due frame decoded and turned into an image) and prints how far the
//       picture lagged behind the clock at worst and on average, and the share of frames dropped
//       (goals: within 40 ms, at most 1 %). Needs the AVI library registered (CB_REGISTRY). The
//       clock is the sound's when a sound device plays the file's sound, else a steady clock.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "media/avi_playback.h"
#include "media/mask_preview.h"
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

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "mask") return MaskBench();
    if (what == "play" && argc > 2) return PlayBench(argv[2], argc > 3 ? std::atof(argv[3]) : 60.0);
    std::fprintf(stderr, "usage: window_bench mask | play FILE.avi [SECONDS]\n");
    return 2;
}
