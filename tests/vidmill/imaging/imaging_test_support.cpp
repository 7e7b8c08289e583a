#include "imaging_test_support.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace vidmill::imaging::testing {
namespace {

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string Field(const std::string& text, const std::string& key) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    return {};
}

void PutPixel(cb::Bitmap& image, int x, int y, std::array<std::uint8_t, 3> bgr) {
    const int bytesPerPixel = image.bitsPerPixel() / 8;
    std::uint8_t* pixel = image.topRow(y) + x * bytesPerPixel;
    for (std::size_t c = 0; c < 3; ++c) pixel[c] = bgr[c];
    if (bytesPerPixel == 4) pixel[3] = 0;  // not alpha: a frame's fourth byte is usually zero
}

std::array<std::uint8_t, 3> PaletteColour(int index) {
    return {static_cast<std::uint8_t>(index * 37), static_cast<std::uint8_t>(255 - index * 11),
            static_cast<std::uint8_t>(index * 101)};
}

}  // namespace

std::string ScratchPath(const std::string& name) {
    const char* root = std::getenv("CB_TEST_TMP");
    const std::filesystem::path folder =
        std::filesystem::path(root ? root : "/tmp") / ("vidmill-imaging-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / name;
    std::filesystem::remove_all(path);
    return path.string();
}

std::string RunCommand(const std::string& command) {
    struct PipeClose {
        void operator()(std::FILE* pipe) const { pclose(pipe); }
    };
    std::unique_ptr<std::FILE, PipeClose> pipe(popen((command + " 2>/dev/null").c_str(), "r"));
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::string output;
    std::array<char, 65536> chunk{};
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe.get())) > 0)
        output.append(chunk.data(), got);
    return output;
}

cb::Bitmap PatternBitmap(int width, int height, int bitsPerPixel) {
    cb::Bitmap image(width, height, bitsPerPixel);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            PutPixel(image, x, y,
                     {static_cast<std::uint8_t>(x * 7 + y), static_cast<std::uint8_t>(y * 5),
                      static_cast<std::uint8_t>((x + y) * 3)});
    return image;
}

cb::Bitmap FewColoursBitmap(int width, int height, int bitsPerPixel, int colours) {
    cb::Bitmap image(width, height, bitsPerPixel);
    if (bitsPerPixel == 8)
        for (int i = 0; i < 256; ++i) {
            const auto bgr = PaletteColour(i);
            image.palette()[static_cast<std::size_t>(i)] = {bgr[0], bgr[1], bgr[2], 0};
        }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int index = (x / 3 + y * 5) % colours;
            if (bitsPerPixel == 8)
                image.topRow(y)[x] = static_cast<std::uint8_t>(index);
            else
                PutPixel(image, x, y, PaletteColour(index));
        }
    return image;
}

std::vector<std::uint8_t> ToBgr24(const cb::Bitmap& image) {
    std::vector<std::uint8_t> bgr;
    bgr.reserve(static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height()) * 3);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (image.bitsPerPixel() == 8) {
                const cb::RgbQuad& entry = image.palette()[image.topRow(y)[x]];
                bgr.insert(bgr.end(), {entry.blue, entry.green, entry.red});
            } else {
                const std::uint8_t* pixel = image.topRow(y) + x * (image.bitsPerPixel() / 8);
                bgr.insert(bgr.end(), pixel, pixel + 3);
            }
        }
    return bgr;
}

ImageFacts ProbeImage(const std::string& path) {
    const std::string text = RunCommand(
        "ffprobe -v error -select_streams v:0 -show_entries stream=codec_name,pix_fmt,width,height "
        "-of default=noprint_wrappers=1 " +
        Quoted(path));
    ImageFacts facts;
    facts.codecName = Field(text, "codec_name");
    facts.pixelFormat = Field(text, "pix_fmt");
    const std::string width = Field(text, "width");
    const std::string height = Field(text, "height");
    facts.width = width.empty() ? 0 : std::stoi(width);
    facts.height = height.empty() ? 0 : std::stoi(height);
    return facts;
}

std::vector<std::uint8_t> DecodeBgr24(const std::string& path) {
    const std::string bytes =
        RunCommand("ffmpeg -v error -i " + Quoted(path) + " -frames:v 1 -f rawvideo -pix_fmt bgr24 -");
    return {bytes.begin(), bytes.end()};
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace vidmill::imaging::testing
