#include "writer_test_support.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

namespace vidmill::writer::testing {

std::string ScratchPath(const std::string& name) { return cb::testing::ScratchFile("vidmill-writer", name); }

namespace {

std::array<std::uint8_t, 3> PatternPixel(int x, int y, int index) {
    return {static_cast<std::uint8_t>(x * 7 + index * 13), static_cast<std::uint8_t>(y * 5 + index),
            static_cast<std::uint8_t>((x + y) * 3 + index * 3)};
}

// "key=value" lines of ffprobe's default writer without section wrappers.
std::string Field(const std::string& text, const std::string& key) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    return {};
}

int IntField(const std::string& text, const std::string& key) {
    const std::string value = Field(text, key);
    return value.empty() || value == "N/A" ? 0 : std::stoi(value);
}

}  // namespace

void PaintPattern(cb::Bitmap& frame, int index) {
    const int bytesPerPixel = frame.bitsPerPixel() / 8;
    for (int y = 0; y < frame.height(); ++y) {
        std::uint8_t* row = frame.topRow(y);
        for (int x = 0; x < frame.width(); ++x) {
            const auto pixel = PatternPixel(x, y, index);
            for (int c = 0; c < 3; ++c) row[x * bytesPerPixel + c] = pixel[static_cast<std::size_t>(c)];
        }
    }
}

std::vector<std::uint8_t> PatternBgr24(int width, int height, int bitsPerPixel, int index) {
    cb::Bitmap frame(width, height, bitsPerPixel);
    PaintPattern(frame, index);
    return ToBgr24(frame);
}

std::vector<std::uint8_t> ToBgr24(const cb::Bitmap& frame) {
    const int bytesPerPixel = frame.bitsPerPixel() / 8;
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(frame.width()) * static_cast<std::size_t>(frame.height()) * 3);
    for (int y = 0; y < frame.height(); ++y) {
        const std::uint8_t* row = frame.topRow(y);
        for (int x = 0; x < frame.width(); ++x)
            out.insert(out.end(), row + x * bytesPerPixel, row + x * bytesPerPixel + 3);
    }
    return out;
}

VideoFacts ProbeVideo(const std::string& path) {
    const std::string text = RunCommand(
        "ffprobe -v error -select_streams v:0 -count_packets -show_entries "
        "stream=codec_name,width,height,r_frame_rate,nb_read_packets -of default=nw=1 " +
        Quoted(path));
    return {Field(text, "codec_name"), IntField(text, "width"), IntField(text, "height"),
            Field(text, "r_frame_rate"), IntField(text, "nb_read_packets")};
}

std::pair<std::uint32_t, std::uint32_t> VideoScaleAndRate(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string head(65536, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    const std::size_t at = head.find("vids");
    if (at == std::string::npos || at < 8 || head.compare(at - 8, 4, "strh") != 0 || at + 28 > head.size())
        return {};
    const auto word = [&](std::size_t offset) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | static_cast<unsigned char>(head[offset + static_cast<std::size_t>(i)]);
        return value;
    };
    return {word(at + 20), word(at + 24)};
}

std::vector<bool> KeyFrameFlags(const std::string& path) {
    std::istringstream lines(RunCommand(
        "ffprobe -v error -select_streams v:0 -show_entries packet=flags -of csv=p=0 " + Quoted(path)));
    std::vector<bool> flags;
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty()) flags.push_back(line[0] == 'K');
    }
    return flags;
}

std::vector<std::uint8_t> DecodeBgr24(const std::string& path) {
    return RunCommandBytes("ffmpeg -v error -i " + Quoted(path) + " -map 0:v:0 -f rawvideo -pix_fmt bgr24 -");
}

SoundFacts ProbeSound(const std::string& path) {
    const std::string text = RunCommand(
        "ffprobe -v error -select_streams a:0 -show_entries "
        "stream=codec_name,sample_rate,channels -of default=nw=1 " +
        Quoted(path));
    SoundFacts facts{Field(text, "codec_name"), IntField(text, "sample_rate"), IntField(text, "channels"), 0};
    if (facts.channels > 0) {
        const auto samples = RunCommandBytes("ffmpeg -v error -i " + Quoted(path) + " -map 0:a:0 -f s16le -");
        facts.sampleFrames = static_cast<std::int64_t>(samples.size()) / (2 * facts.channels);
    }
    return facts;
}

bool SoundAfterVideo(const std::string& path) {
    std::istringstream lines(
        RunCommand("ffprobe -v error -show_entries packet=codec_type,pos -of csv=p=0 " + Quoted(path)));
    long long firstSound = -1;
    long long lastVideo = -1;
    int soundPackets = 0;
    std::string line;
    while (std::getline(lines, line)) {
        const auto comma = line.find(',');
        if (comma == std::string::npos) continue;
        const long long pos = std::stoll(line.substr(comma + 1));
        if (line.rfind("audio", 0) == 0) {
            ++soundPackets;
            if (firstSound < 0 || pos < firstSound) firstSound = pos;
        }
        if (line.rfind("video", 0) == 0) lastVideo = std::max(lastVideo, pos);
    }
    return soundPackets > 1 && firstSound > lastVideo;
}

std::string MakeToneFile(const std::string& name, double seconds, int sampleRate, int channels,
                         const std::string& codec) {
    const std::string path = ScratchPath(name);
    RunCommand("ffmpeg -v error -y -f lavfi -i sine=frequency=440:sample_rate=" + std::to_string(sampleRate) +
               ":duration=" + std::to_string(seconds) + " -ac " + std::to_string(channels) + " -c:a " +
               codec + " " + Quoted(path));
    return path;
}

}  // namespace vidmill::writer::testing
