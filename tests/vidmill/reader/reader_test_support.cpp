#include "reader_test_support.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

namespace vidmill::reader::testing {

std::string ScratchPath(const std::string& name) { return cb::testing::ScratchFile("vidmill-reader", name); }

std::string MakeAvi(const std::string& name, int width, int height, int frames, const std::string& rate,
                    const std::string& videoArguments, const std::string& soundArguments) {
    const std::string path = ScratchPath(name);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const double seconds =
        frames / std::stod(rate.substr(0, rate.find('/'))) *
        (rate.find('/') == std::string::npos ? 1.0 : std::stod(rate.substr(rate.find('/') + 1)));
    std::string command =
        "ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i testsrc2=size=" + size + ":rate=" + rate;
    if (!soundArguments.empty())
        command += " -f lavfi -i sine=frequency=440:sample_rate=22050:duration=" + std::to_string(seconds);
    command += " -frames:v " + std::to_string(frames) + " " + videoArguments;
    if (!soundArguments.empty()) command += " " + soundArguments;
    command += " " + Quoted(path);
    if (std::system(command.c_str()) != 0) throw std::runtime_error("ffmpeg failed: " + command);
    return path;
}

std::string ProbeField(const std::string& path, const std::string& stream, const std::string& field) {
    std::string value =
        RunCommand("ffprobe -v error -select_streams " + stream + " -show_entries stream=" + field +
                   " -of default=noprint_wrappers=1:nokey=1 " + Quoted(path));
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) value.pop_back();
    return value;
}

std::vector<std::vector<std::uint8_t>> DecodeBgra(const std::string& path, int width, int height) {
    const auto bytes = RunCommandBytes("ffmpeg -nostdin -v error -i " + Quoted(path) +
                                       " -map 0:v:0 -vsync passthrough -f rawvideo -pix_fmt bgra -");
    const std::size_t frameBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    std::vector<std::vector<std::uint8_t>> frames;
    for (std::size_t offset = 0; frameBytes > 0 && offset + frameBytes <= bytes.size(); offset += frameBytes)
        frames.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                            bytes.begin() + static_cast<std::ptrdiff_t>(offset + frameBytes));
    return frames;
}

std::vector<std::uint8_t> TopDownBgra(const cb::Bitmap& frame) {
    std::vector<std::uint8_t> pixels;
    const std::size_t rowBytes = static_cast<std::size_t>(frame.width()) * 4;
    pixels.reserve(rowBytes * static_cast<std::size_t>(frame.height()));
    for (int y = 0; y < frame.height(); ++y)
        pixels.insert(pixels.end(), frame.topRow(y), frame.topRow(y) + rowBytes);
    return pixels;
}

int LargestColourDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    if (a.size() != b.size()) return 256;
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (i % 4 != 3) largest = std::max(largest, std::abs(int{a[i]} - int{b[i]}));
    return largest;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace vidmill::reader::testing
