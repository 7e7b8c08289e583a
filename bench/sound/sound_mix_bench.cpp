// Whole-process benchmark of the output sound mix against sox doing the same work.
//
//   sound_mix_bench [SECONDS] [MEMORY_BUDGET]
//       makes a SECONDS-long 44.1 kHz stereo tone and a second 44.1 kHz stereo sound half as long
//       (default one hour), then mixes both into one 22.05 kHz stereo track: first with the
//       program's mixer (decode, resample, mix, write; then a second render that reuses the cache),
//       then with `sox -m ... -r 22050`. Prints wall time and peak resident size of each process.
//       MEMORY_BUDGET is the program's memory budget in bytes (default: the budget the program gives
//       itself on this machine, as at its start; the mix's buffer windows stay 4 MiB at most).
//   sound_mix_bench mix A.wav B.wav SECONDS MEMORY_BUDGET WORK_FOLDER
//       the program's side alone (run as a child process so that its peak size is its own).
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/memory.h"
#include "document/file_carr_buff_class.h"
#include "media/sound/wav_reader_class.h"
#include "render/mix_output_audio.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct RunResult {
    double wallSeconds = 0;
    long peakKibibytes = 0;
    int status = -1;
};

// Runs a program to its end; its wall time and peak resident size.
RunResult Run(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    RunResult result;
    std::fflush(stdout);  // the child's lines come after ours
    const auto start = Clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return result;
    rusage usage{};
    wait4(child, &result.status, 0, &usage);
    result.wallSeconds = SecondsSince(start);
    result.peakKibibytes = usage.ru_maxrss;
    return result;
}

std::string MakeSound(const std::string& folder, const std::string& name, const std::string& source,
                      double seconds) {
    const std::string path = folder + "/" + name;
    const auto bytes = static_cast<std::uintmax_t>(seconds * 44100) * 4 + 44;
    if (std::filesystem::exists(path) && std::filesystem::file_size(path) >= bytes &&
        std::filesystem::file_size(path) < bytes + 1024)
        return path;  // made by an earlier run
    const std::string command = "ffmpeg -v error -y -f lavfi -i '" + source +
                                ":d=" + std::to_string(seconds) + "' -ac 2 -ar 44100 -c:a pcm_s16le '" +
                                path + "'";
    if (std::system(command.c_str()) != 0) std::exit(2);
    return path;
}

composer::ClipRec SoundClip(const std::string& path) {
    composer::WavReaderClass reader;
    if (!reader.ReadWav_OpenFile(path)) std::exit(3);
    composer::ClipRec clip;
    clip.ClipType = composer::ClipAudio;
    clip.FilePath = clip.AudioFile = path;
    clip.AudioBits = reader.Bits;
    clip.AudioChannels = reader.Channels;
    clip.AudioRate = reader.SampleRate;
    clip.AudioFrames = reader.Frames;
    clip.AudioDuration = reader.Duration;
    return clip;
}

int MixInProcess(char** argv) {
    const double seconds = std::atof(argv[4]);
    const int32_t blockLimit = composer::BlockLimitForBudget(std::atoi(argv[5]));
    composer::WorkFolder = argv[6];
    std::filesystem::create_directories(composer::WorkFolder);
    composer::MovieDbRec movie;
    movie.OutChannels = 2;
    movie.OutBits = 16;
    movie.OutRate = 22050;
    std::vector<composer::AudioEvent> events(1);
    for (const char* path : {argv[2], argv[3]}) {
        movie.Clips.push_back(SoundClip(path));
        ++movie.ClipCount;
        events.push_back({movie.ClipCount, 0.0, movie.Clips.back().AudioDuration});
    }
    auto start = Clock::now();
    const std::string first = composer::MixOutputAudio(movie, events, 2, 0.0, seconds, blockLimit);
    const double firstSeconds = SecondsSince(start);
    start = Clock::now();
    const std::string second = composer::MixOutputAudio(movie, events, 2, 0.0, seconds, blockLimit);
    const double secondSeconds = SecondsSince(start);
    std::printf("  first render %.2f s (decode, resample, mix, write), second render %.2f s (cached)\n",
                firstSeconds, secondSeconds);
    std::printf("  output %s, %ju bytes\n", first.c_str(),
                static_cast<std::uintmax_t>(std::filesystem::file_size(first)));
    return first.empty() || second.empty() ? 1 : 0;
}

// The memory budget the program takes on this machine.
int32_t MachineBudget() {
    const auto figures = composer::ReadMemoryFigures();
    return figures ? composer::JudgeMemory(*figures).budget : composer::kMinimumMemoryBudget;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 7 && std::string(argv[1]) == "mix") return MixInProcess(argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3600.0;
    const std::string budget = argc > 2 ? argv[2] : std::to_string(MachineBudget());
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/cb-sound-bench";
    std::filesystem::create_directories(folder);
    std::printf("making %.0f s of 44.1 kHz stereo and a second sound of %.0f s ...\n", seconds, seconds / 2);
    const std::string a = MakeSound(folder, "tone.wav", "sine=frequency=440:sample_rate=44100", seconds);
    const std::string b =
        MakeSound(folder, "noise.wav", "anoisesrc=sample_rate=44100:amplitude=0.3", seconds / 2);

    const std::string work = folder + "/work";
    std::filesystem::remove_all(work);
    std::printf("program mixer (memory budget %s bytes, buffer windows of %d values):\n", budget.c_str(),
                composer::BlockLimitForBudget(std::atoi(budget.c_str())));
    const RunResult ours = Run({"/proc/self/exe", "mix", a, b, std::to_string(seconds), budget, work});
    std::printf("  whole process %.2f s, peak resident %.1f MiB\n", ours.wallSeconds,
                ours.peakKibibytes / 1024.0);
    std::filesystem::remove_all(work);

    const std::string soxOut = folder + "/sox-mix.wav";
    const RunResult sox = Run({"sox", "-m", "-v", "1", a, "-v", "1", b, "-r", "22050", soxOut});
    std::printf("sox -m ... -r 22050:\n  whole process %.2f s, peak resident %.1f MiB\n", sox.wallSeconds,
                sox.peakKibibytes / 1024.0);
    std::printf("time ratio program / sox: %.2f\n", ours.wallSeconds / sox.wallSeconds);
    return ours.status == 0 && sox.status == 0 ? 0 : 1;
}
