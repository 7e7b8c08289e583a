// Whole-process benchmark of the AVI writer.
//
//   vidmill_writer_bench [speed [FRAMES [ROUNDS]]]
//                                         frames per second writing FRAMES frames of 352 x 288
//                                         with "MSVC" and "DIB " by the library
//                                         (the engine alone and through the component's AddFrame)
//                                         and the ffmpeg command line encoding the same raw 32-bit
//                                         frames with the same encoder, best of ROUNDS (3) runs,
//                                         by wall clock and by processor time;
//                                         then the peak memory of writing short and long files
//   vidmill_writer_bench memory FRAMES HANDLER
//                                         writes FRAMES frames and prints the peak resident size
//
// The frames are read from one raw file by both sides, so both pay for reading their input.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cbplatform/bstr.h"
#include "cbplatform/gdi.h"
#include "frame/tag_code.h"
#include "writer/avi_writer_engine.h"
#include "writer/avi_writer_object.h"

namespace {

constexpr int kWidth = 352;
constexpr int kHeight = 288;
constexpr std::size_t kRawFrameBytes = std::size_t{kWidth} * kHeight * 4;

std::string ScratchFolder() {
    const char* root = std::getenv("TMPDIR");
    const std::filesystem::path folder = std::filesystem::path(root ? root : "/tmp") / "vidmill-writer-bench";
    std::filesystem::create_directories(folder);
    return folder.string();
}

// A moving picture with smooth areas and edges, as a camera clip has: top-down BGRA.
void PaintFrame(std::vector<std::uint8_t>& pixels, int index) {
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t* pixel = &pixels[(std::size_t(y) * kWidth + x) * 4];
            const int cx = x - (index * 3) % kWidth;
            const int cy = y - (index * 2) % kHeight;
            const bool inBox = cx > 0 && cx < 96 && cy > 0 && cy < 64;
            pixel[0] = static_cast<std::uint8_t>(inBox ? 230 : x / 2 + index);
            pixel[1] = static_cast<std::uint8_t>(inBox ? 40 : y + index / 2);
            pixel[2] = static_cast<std::uint8_t>(inBox ? 60 : (x + y) / 3);
            pixel[3] = 255;
        }
    }
}

std::string MakeRawFrames(int frames) {
    const std::string path = ScratchFolder() + "/frames-" + std::to_string(frames) + ".bgra";
    if (std::filesystem::exists(path) && std::filesystem::file_size(path) == kRawFrameBytes * frames)
        return path;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::vector<std::uint8_t> pixels(kRawFrameBytes);
    for (int i = 0; i < frames; ++i) {
        PaintFrame(pixels, i);
        std::fwrite(pixels.data(), 1, pixels.size(), file);
    }
    std::fclose(file);
    return path;
}

// Top-down BGRA into the writer's bottom-up frame of 24 or 32 bits.
void CopyIntoFrame(const std::uint8_t* source, cb::Bitmap& frame) {
    const int bytesPerPixel = frame.bitsPerPixel() / 8;
    for (int y = 0; y < kHeight; ++y) {
        const std::uint8_t* from = source + std::size_t(y) * kWidth * 4;
        std::uint8_t* to = frame.topRow(y);
        for (int x = 0; x < kWidth; ++x, from += 4, to += bytesPerPixel) std::memcpy(to, from, 3);
    }
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Writes the frames of the raw file (or generated ones when rawPath is empty) and returns seconds.
double WriteWithLibrary(const std::string& rawPath, int frames, const char* handler, int keyFrameRate,
                        const std::string& outPath) {
    const auto start = std::chrono::steady_clock::now();
    vidmill::writer::AviWriterEngine writer;
    writer.properties().setCompressorHandler(vidmill::TagCode(handler));
    writer.properties().setKeyFrameRate(keyFrameRate);
    writer.createNew(outPath, kWidth, kHeight);
    std::vector<std::uint8_t> pixels(kRawFrameBytes);
    std::FILE* raw = rawPath.empty() ? nullptr : std::fopen(rawPath.c_str(), "rb");
    for (int i = 0; i < frames; ++i) {
        if (raw != nullptr) {
            if (std::fread(pixels.data(), 1, pixels.size(), raw) != pixels.size()) std::abort();
        } else {
            PaintFrame(pixels, i % 250);
        }
        CopyIntoFrame(pixels.data(), writer.frameBitmap());
        writer.writeCurrentFrame();
    }
    if (raw != nullptr) std::fclose(raw);
    writer.close();
    return Seconds(start);
}

// The same through the component a caller uses: each frame handed over as a device context.
double WriteWithComponent(const std::string& rawPath, int frames, const char* handler, int keyFrameRate,
                          const std::string& outPath) {
    const auto start = std::chrono::steady_clock::now();
    auto writer = cb::ComPtr<IDispatch>::Adopt(vidmill::NewAviWriter(vidmill::Counting::NotCounted))
                      .as<vidmill::IAviWriter>();
    writer->put_CompressorHandler(vidmill::FourCC(handler));
    writer->put_KeyFrameRate(keyFrameRate);
    const cb::Bstr name(outPath);
    if (FAILED(writer->CreateNew(name.get(), kWidth, kHeight, 0))) std::abort();
    cb::Bitmap source(kWidth, kHeight, 32);
    const cb::DeviceContext dc(source);
    std::vector<std::uint8_t> pixels(kRawFrameBytes);
    std::FILE* raw = std::fopen(rawPath.c_str(), "rb");
    for (int i = 0; i < frames; ++i) {
        if (std::fread(pixels.data(), 1, pixels.size(), raw) != pixels.size()) std::abort();
        for (int y = 0; y < kHeight; ++y)
            std::memcpy(source.topRow(y), pixels.data() + std::size_t(y) * kWidth * 4,
                        std::size_t{kWidth} * 4);
        if (FAILED(writer->AddFrame(dc.handle(), 0, 0, 0, 0))) std::abort();
    }
    std::fclose(raw);
    if (FAILED(writer->Close())) std::abort();
    return Seconds(start);
}

double WriteWithFfmpeg(const std::string& rawPath, const std::string& codecArguments,
                       const std::string& outPath) {
    const std::string command = "ffmpeg -v error -y -f rawvideo -pix_fmt bgra -s " + std::to_string(kWidth) +
                                "x" + std::to_string(kHeight) + " -r 25 -i '" + rawPath + "' " +
                                codecArguments + " '" + outPath + "'";
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "ffmpeg failed: %s\n", command.c_str());
    return Seconds(start);
}

// Processor seconds (user and system) used so far by this process or by its finished children.
double ProcessorSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The best wall-clock and processor seconds of one side over its runs.
struct Best {
    double wall = 1e9;
    double processor = 1e9;
    template <typename Run>
    void measure(int who, Run run) {
        const double before = ProcessorSeconds(who);
        wall = std::min(wall, run());
        processor = std::min(processor, ProcessorSeconds(who) - before);
    }
};

// Each side runs `rounds` times, taking turns, and keeps its best times. The machine is shared:
// the best wall-clock run is the one least disturbed, and processor time (ffmpeg's counted as a
// child's) does not count the waits at all.
int Speed(int frames, int rounds) {
    const std::string raw = MakeRawFrames(frames);
    const std::string folder = ScratchFolder();
    struct Row {
        const char* handler;
        int keyFrameRate;
        const char* ffmpegArguments;
    };
    const Row rows[] = {
        {"MSVC", 25, "-c:v msvideo1 -keyint_min 25"},
        {"MSVC", 0, "-c:v msvideo1 -keyint_min 0"},
        {"DIB ", 0, "-c:v rawvideo -pix_fmt bgr24"},
    };
    std::printf("%d frames, best of %d runs; frames per second of wall clock and [of processor time]\n",
                frames, rounds);
    std::printf("%-6s %-9s %20s %20s %20s %13s %13s\n", "codec", "key every", "engine", "AddFrame", "ffmpeg",
                "engine/ffmpeg", "AddFrame/ff.");
    for (const Row& row : rows) {
        Best ffmpeg, engine, component;
        for (int round = 0; round < rounds; ++round) {
            ffmpeg.measure(RUSAGE_CHILDREN,
                           [&] { return WriteWithFfmpeg(raw, row.ffmpegArguments, folder + "/ffmpeg.avi"); });
            engine.measure(RUSAGE_SELF, [&] {
                return WriteWithLibrary(raw, frames, row.handler, row.keyFrameRate, folder + "/library.avi");
            });
            component.measure(RUSAGE_SELF, [&] {
                return WriteWithComponent(raw, frames, row.handler, row.keyFrameRate,
                                          folder + "/component.avi");
            });
        }
        const auto rates = [&](const Best& best) {
            char text[64];
            std::snprintf(text, sizeof text, "%.1f [%.1f]", frames / best.wall, frames / best.processor);
            return std::string(text);
        };
        const auto ratios = [](const Best& side, const Best& reference) {
            char text[64];
            std::snprintf(text, sizeof text, "%.2f [%.2f]", reference.wall / side.wall,
                          reference.processor / side.processor);
            return std::string(text);
        };
        std::printf("%-6s %-9d %20s %20s %20s %13s %13s\n", row.handler, row.keyFrameRate,
                    rates(engine).c_str(), rates(component).c_str(), rates(ffmpeg).c_str(),
                    ratios(engine, ffmpeg).c_str(), ratios(component, ffmpeg).c_str());
        std::fflush(stdout);
    }
    return 0;
}

// Each size is written by a process of its own, so that every peak is that file's alone.
void MemoryTable(const char* self) {
    struct Row {
        const char* handler;
        int frames;
    };
    for (const Row& row : {Row{"DIB ", 1500}, Row{"DIB ", 15000}, Row{"MSVC", 300}, Row{"MSVC", 3000}}) {
        const std::string command = std::string("'") + self + "' memory " + std::to_string(row.frames) +
                                    " '" + row.handler + "' 2>/dev/null";
        std::fflush(stdout);
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
    }
    std::filesystem::remove_all(ScratchFolder());
}

int Memory(int frames, const char* handler) {
    WriteWithLibrary("", frames, handler, 25, ScratchFolder() + "/memory.avi");
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%s %d frames: peak resident %ld KiB\n", handler, frames, usage.ru_maxrss);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "speed";
    if (mode == "speed") {
        const int status = Speed(argc > 2 ? std::atoi(argv[2]) : 1500, argc > 3 ? std::atoi(argv[3]) : 3);
        MemoryTable(argv[0]);
        return status;
    }
    if (mode == "memory" && argc > 3) return Memory(std::atoi(argv[2]), argv[3]);
    std::fprintf(stderr, "usage: %s speed [FRAMES [ROUNDS]] | memory FRAMES HANDLER\n", argv[0]);
    return 2;
}
