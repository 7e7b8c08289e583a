#include "sound_test_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>

namespace cb::sound::testing {

std::string ScratchPath(const std::string& name) {
    const char* root = std::getenv("CB_TEST_TMP");
    // One folder per test process, as CTest runs tests side by side.
    const auto folder =
        std::filesystem::path(root && *root ? root : "/tmp") / ("sound-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::remove(folder / name);
    return (folder / name).string();
}

std::string Capture(const std::string& command) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> pipe(popen((command + " 2>/dev/null").c_str(), "r"),
                                                         pclose);
    std::string output;
    char chunk[4096];
    for (std::size_t got; pipe && (got = std::fread(chunk, 1, sizeof chunk, pipe.get())) > 0;)
        output.append(chunk, got);
    return output;
}

bool FfmpegHasEncoder(const std::string& encoder) {
    return Capture("ffmpeg -hide_banner -encoders").find(" " + encoder + " ") != std::string::npos;
}

std::string MakeTone(const std::string& name, double seconds, int sampleRate, int channels,
                     const std::string& encoder) {
    const std::string path = ScratchPath(name);
    std::ostringstream command;
    command << "ffmpeg -v error -y -f lavfi -i sine=frequency=440:sample_rate=" << sampleRate
            << ":duration=" << seconds << " -ac " << channels << " -c:a " << encoder << " '" << path << "'";
    Capture(command.str());
    return std::filesystem::exists(path) ? path : std::string();
}

ProbedSound Probe(const std::string& path) {
    const std::string text = Capture(
        "ffprobe -v error -select_streams a:0 -show_entries "
        "stream=codec_name,channels,sample_rate -of default=nw=1 '" +
        path + "'");
    ProbedSound sound;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "codec_name") sound.codec = value;
        if (key == "channels") sound.channels = std::stoi(value);
        if (key == "sample_rate") sound.sampleRate = std::stoi(value);
    }
    // The decoded length: count the samples ffmpeg produces as raw 16-bit mono.
    const std::string samples =
        Capture("ffmpeg -v error -i '" + path + "' -map 0:a:0 -ac 1 -f s16le -c:a pcm_s16le - | wc -c");
    sound.sampleFrames = samples.empty() ? 0 : std::stoll(samples) / 2;
    return sound;
}

bool RecordingOutput::Start(std::shared_ptr<PcmCursor> cursor) {
    starts_->push_back(cursor->positionBytes());
    std::vector<char> heard(bytesHeard_);
    cursor->Pull(heard.data(), heard.size());
    return true;
}

}  // namespace cb::sound::testing
