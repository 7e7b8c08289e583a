// Whole-process benchmark of the AVI reader.
//
//   vidmill_reader_bench [FRAMES]   reads every frame of a FRAMES-frame (default 3000) 352 x 288
//                                   msvideo1 file with a key frame every 12 frames as pictures,
//                                   through AviReader, Frames.Item and Picture; times the ffmpeg
//                                   command line decoding the same file to the null output; then
//                                   fetches 100 frames in random order as pictures.
//
// ffmpeg is timed two ways: its own "rtime" (-benchmark), the decoding loop without start-up, and
// the whole process as a user running it sees it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "cbplatform/bstr.h"
#include "reader/avi_reader_object.h"

namespace {

using vidmill::IAviFrame;
using vidmill::IAviFrames;
using vidmill::IAviReader;
using Clock = std::chrono::steady_clock;
constexpr int kKeyFrameInterval = 12;
constexpr int kRandomFetches = 100;

std::string ScratchFolder() {
    const char* root = std::getenv("TMPDIR");
    const std::filesystem::path folder = std::filesystem::path(root ? root : "/tmp") / "vidmill-reader-bench";
    std::filesystem::create_directories(folder);
    return folder.string();
}

std::string RunCommand(const std::string& command) {
    struct PipeClose {
        void operator()(std::FILE* pipe) const { pclose(pipe); }
    };
    std::unique_ptr<std::FILE, PipeClose> pipe(popen(command.c_str(), "r"));
    std::string output;
    char chunk[4096];
    while (pipe && std::fgets(chunk, sizeof chunk, pipe.get())) output += chunk;
    return output;
}

// A moving test pattern with a clock, scrolling colour bars and noise-free gradients.
std::string MakeFile(int frames) {
    const std::string path = ScratchFolder() + "/msvideo1-352x288-" + std::to_string(frames) + ".avi";
    if (std::filesystem::exists(path)) return path;
    const std::string command =
        "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=352x288:rate=25 -frames:v " +
        std::to_string(frames) + " -c:v msvideo1 -g " + std::to_string(kKeyFrameInterval) + " '" + path + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "cannot run: %s\n", command.c_str());
        std::exit(1);
    }
    return path;
}

struct FfmpegTimes {
    double decodeLoop = 1e9;    // its own "rtime": the decoding loop only
    double wholeProcess = 1e9;  // start to exit, as a user running it sees it
};

// The best of three runs of each.
FfmpegTimes FfmpegDecodeSeconds(const std::string& path) {
    FfmpegTimes best;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        const std::string output = RunCommand("ffmpeg -nostdin -benchmark -threads 1 -i '" + path +
                                              "' -f null - 2>&1 | grep -o 'rtime=[0-9.]*'");
        best.wholeProcess =
            std::min(best.wholeProcess, std::chrono::duration<double>(Clock::now() - start).count());
        if (output.size() > 6) best.decodeLoop = std::min(best.decodeLoop, std::atof(output.c_str() + 6));
    }
    return best;
}

cb::ComPtr<IAviFrames> OpenFrames(cb::ComPtr<IAviReader>& reader, const std::string& path) {
    reader =
        cb::ComPtr<IDispatch>::Adopt(vidmill::NewAviReader(vidmill::Counting::NotCounted)).as<IAviReader>();
    cb::ComPtr<IAviFrames> frames;
    if (reader->Open(cb::Bstr(path).get()) != S_OK || reader->get_Frames(frames.put()) != S_OK) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        std::exit(1);
    }
    return frames;
}

double PictureSeconds(IAviFrames& frames, LONG index) {
    const auto start = Clock::now();
    cb::ComPtr<IAviFrame> frame;
    cb::ComPtr<IPicture> picture;
    if (frames.get_Item(index, frame.put()) != S_OK || frame->Picture(picture.put()) != S_OK) {
        std::fprintf(stderr, "frame %d could not be read\n", static_cast<int>(index));
        std::exit(1);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int frameCount = argc > 1 ? std::atoi(argv[1]) : 3000;
    const std::string path = MakeFile(frameCount);

    cb::ComPtr<IAviReader> reader;
    auto frames = OpenFrames(reader, path);
    double sequential = 0;
    for (LONG i = 0; i < frameCount; ++i) sequential += PictureSeconds(*frames, i);
    const FfmpegTimes ffmpeg = FfmpegDecodeSeconds(path);
    const double ours = frameCount / sequential;
    const double loop = frameCount / ffmpeg.decodeLoop;
    const double process = frameCount / ffmpeg.wholeProcess;
    std::printf("352x288 msvideo1, %d frames, key frame every %d\n", frameCount, kKeyFrameInterval);
    std::printf("sequential pictures:            %6.0f frames/s (%.1f us/frame)\n", ours, 1e6 / ours);
    std::printf("ffmpeg -f null, decoding loop:  %6.0f frames/s (%.1f us/frame), ratio %.2f\n", loop,
                1e6 / loop, ours / loop);
    std::printf("ffmpeg -f null, whole process:  %6.0f frames/s (%.1f us/frame), ratio %.2f\n", process,
                1e6 / process, ours / process);
    std::printf("goal: ratio >= 0.70\n");

    // A fresh reader, so that the first fetch pays for opening the decoder as a caller's would.
    auto randomFrames = OpenFrames(reader, path);
    std::mt19937 random(12345);
    std::uniform_int_distribution<LONG> pick(0, frameCount - 1);
    std::vector<double> times;
    for (int i = 0; i < kRandomFetches; ++i) times.push_back(PictureSeconds(*randomFrames, pick(random)));
    std::sort(times.begin(), times.end());
    double total = 0;
    for (const double t : times) total += t;
    std::printf("%d random pictures: mean %.2f ms, median %.2f ms, max %.2f ms (goal < 5 ms)\n",
                kRandomFetches, 1e3 * total / kRandomFetches, 1e3 * times[times.size() / 2],
                1e3 * times.back());
    return 0;
}
