// Speed of reading video clips from MP4 files through the media layer.
//
//   container_access_bench [WIDTH HEIGHT SECONDS]
//       Makes (untimed, with the ffmpeg command line) an H.264 MP4 of SECONDS (default 40) at
//       30 fps and WIDTH x HEIGHT (default 1280 x 720) with one key frame every 250 frames, then:
//       - opening the file (the packet index),
//       - reading every frame in order (frames per second; the seeks this took, which must be 0),
//       - reading 60 frames at random positions right away, while the jumps have the reader index
//         the clip in the background: the median and the worst milliseconds per frame;
//       - how long the index took, then 60 more frames at random positions from the indexed clip;
//       - stepping back one frame at a time over 260 frames, from a key frame's last frame across the
//         key frame, a step every 40 ms as a held arrow key gives them: the median and the worst
//         milliseconds per step.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "media/containers/container_video_reader.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void PrintTimes(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%s: median %.1f ms, worst %.1f ms per frame (goal: under 50 ms)\n", what,
                times[times.size() / 2], times.back());
}

std::string MakeMovie(int width, int height, int seconds) {
    const std::string path = (std::filesystem::temp_directory_path() / "container_access_bench.mp4").string();
    const std::string command = "ffmpeg -v error -y -f lavfi -i testsrc2=s=" + std::to_string(width) + "x" +
                                std::to_string(height) + ":r=30:d=" + std::to_string(seconds) +
                                " -c:v libx264 -preset veryfast -g 250 -keyint_min 250 -sc_threshold 0 "
                                "-pix_fmt yuv420p '" +
                                path + "'";
    if (std::system(command.c_str()) != 0) return "";
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    const int width = argc > 2 ? std::atoi(argv[1]) : 1280;
    const int height = argc > 2 ? std::atoi(argv[2]) : 720;
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 40;
    const std::string path = MakeMovie(width, height, seconds);
    if (path.empty()) {
        std::fprintf(stderr, "ffmpeg could not make the test movie\n");
        return 1;
    }
    auto start = Clock::now();
    composer::ContainerVideoReader reader(path);
    const double openSeconds = SecondsSince(start);
    std::printf("%d x %d H.264 MP4, %d frames at %.3f fps, key frame every 250 frames\n", reader.Width(),
                reader.Height(), reader.FrameCount(), reader.FramesPerSecond());
    std::printf("open (packet index): %.1f ms\n", openSeconds * 1000);

    start = Clock::now();
    for (int n = 0; n < reader.FrameCount(); ++n) reader.Frame(n);
    const double sequential = SecondsSince(start);
    std::printf("sequential: %.1f frames/s, %lld seeks\n", reader.FrameCount() / sequential,
                static_cast<long long>(reader.SeekCount()));

    std::mt19937 random(42);
    std::uniform_int_distribution<int> anyFrame(0, reader.FrameCount() - 1);
    std::vector<double> times;
    const auto readAtRandom = [&] {
        times.clear();
        for (int i = 0; i < 60; ++i) {
            const int frame = anyFrame(random);
            const auto asked = Clock::now();
            reader.Frame(frame);
            times.push_back(SecondsSince(asked) * 1000);
        }
    };
    const auto firstJump = Clock::now();
    readAtRandom();
    PrintTimes("random access while the clip is indexed", times);
    const bool complete = reader.WaitForIndex();
    std::printf("index %s %.1f s after the first jump\n", complete ? "complete" : "ended incomplete",
                SecondsSince(firstJump));
    readAtRandom();
    PrintTimes("random access, indexed", times);

    // A held arrow key steps back every 40 ms; the reader has the time between steps for itself.
    const int top = std::min(reader.FrameCount(), 1000) - 1;
    times.clear();
    const int64_t seeksBefore = reader.SeekCount();
    for (int frame = top; frame > top - 260 && frame >= 0; --frame) {
        start = Clock::now();
        reader.Frame(frame);
        times.push_back(SecondsSince(start) * 1000);
        std::this_thread::sleep_until(start + std::chrono::milliseconds(40));
    }
    PrintTimes("stepping back", times);
    std::printf("stepping back: %lld seeks over %zu steps\n",
                static_cast<long long>(reader.SeekCount() - seeksBefore), times.size());
    std::filesystem::remove(path);
    return 0;
}
