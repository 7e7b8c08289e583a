// vidmill info, save-frames and extract-wav: an AviReader from the command line.
#include "reader_commands.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "cbplatform/errorinfo.h"
#include "cbplatform/json_text.h"

namespace vidmill::tool {
namespace {

constexpr LONG kReaderKind = 4;

cb::ComPtr<IAviReader> OpenReader(const std::string& path) {
    auto reader = Create<IAviReader>(kReaderKind);
    Check(reader->Open(cb::Bstr(path).get()), "Open");
    return reader;
}

// Whether the file has a sound track, without copying it: the sound track is looked for before
// the target file is created, so a target in a folder that does not exist tells one from the other.
bool HasSound(IAviReader& reader) {
    std::error_code ignored;
    const auto folder =
        std::filesystem::temp_directory_path(ignored) / "vidmill-no-such-folder-a1f3" / "missing";
    const HRESULT result = reader.ExtractWav(cb::Bstr((folder / "probe.wav").string()).get());
    const std::string message = cb::TakeErrorDescription();
    return SUCCEEDED(result) || message != "AVI file does not contain sound track";
}

std::string Number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

LONG ParseFileFormat(const std::string& text) {
    const std::pair<const char*, LONG> names[] = {
        {"bmp", FileFormatBMP}, {"gif", FileFormatGIF},   {"jpeg", FileFormatJPEG}, {"jpg", FileFormatJPEG},
        {"png", FileFormatPNG}, {"tiff", FileFormatTIFF}, {"tif", FileFormatTIFF}};
    for (const auto& [name, code] : names)
        if (text == name) return code;
    // Numbers go to the library as they are: it names a code outside 0-5 itself.
    char* end = nullptr;
    const long code = std::strtol(text.c_str(), &end, 10);
    if (!text.empty() && !*end) return static_cast<LONG>(code);
    throw CommandFailed{"--format takes 0-5, bmp, gif, jpeg, png or tiff, not \"" + text + "\""};
}

LONG ParseTiffCompression(const std::string& text) {
    if (text == "lzw") return TiffCompressionLZW;
    if (text == "none") return TiffCompressionNone;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end)
        throw CommandFailed{"--tiff-compression takes a number, lzw or none, not \"" + text + "\""};
    return static_cast<LONG>(value);
}

std::pair<LONG, LONG> ParseSize(const std::string& text) {
    int width = 0, height = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &tail) != 2)
        throw CommandFailed{"--size takes WIDTHxHEIGHT, not \"" + text + "\""};
    return {width, height};
}

// The frames --start and --count ask for, all of them frames of the file. The library saves
// nothing, and succeeds, for a count of 0 or less, and writes the frames before one past the end:
// here a request that would save nothing or run past the last frame is refused before any file is
// written.
std::pair<LONG, LONG> FramesToSave(const Options& options, const std::string& file, LONG frameCount) {
    if (frameCount <= 0)
        throw CommandFailed{file + ": Cannot read AVI file because AVI does not contain video frames"};
    const std::string frames =
        file + " has " + std::to_string(frameCount) + " frames (0 to " + std::to_string(frameCount - 1) + ")";
    const long start = options.integer("start", 0);
    if (start < 0 || start >= frameCount)
        throw CommandFailed{"--start " + std::to_string(start) + " is not a frame: " + frames};
    const long count = options.integer("count", frameCount - start);
    if (count < 1) throw CommandFailed{"--count " + std::to_string(count) + " saves no frame"};
    if (count > frameCount - start)
        throw CommandFailed{"--count " + std::to_string(count) + " from frame " + std::to_string(start) +
                            " runs past the last frame: " + frames};
    return {static_cast<LONG>(start), static_cast<LONG>(count)};
}

}  // namespace

int RunInfo(const Arguments& arguments) {
    if (arguments.size() != 1) throw CommandFailed{"usage: vidmill info FILE"};
    auto reader = OpenReader(arguments[0]);
    LONG width = 0, height = 0, handler = 0, quality = 0, bytesPerSecond = 0, frameCount = 0;
    double framesPerSecond = 0;
    cb::ComPtr<IAviFrames> frames;
    Check(reader->get_Width(&width), "Width");
    Check(reader->get_Height(&height), "Height");
    Check(reader->get_FramesPerSecond(&framesPerSecond), "FramesPerSecond");
    Check(reader->get_Frames(frames.put()), "Frames");
    Check(frames->get_Count(&frameCount), "Count");
    Check(reader->get_CompressorHandler(&handler), "CompressorHandler");
    Check(reader->get_Quality(&quality), "Quality");
    Check(reader->get_BytesPerSecond(&bytesPerSecond), "BytesPerSecond");
    std::printf(
        "{\"width\": %d, \"height\": %d, \"framesPerSecond\": %s, \"frameCount\": %d, "
        "\"compressorHandler\": %s, \"quality\": %d, \"bytesPerSecond\": %d, \"hasSound\": %s}\n",
        width, height, Number(framesPerSecond).c_str(), frameCount,
        cb::JsonQuoted(FourCCText(handler)).c_str(), quality, bytesPerSecond,
        HasSound(*reader) ? "true" : "false");
    return 0;
}

int RunSaveFrames(const Arguments& arguments) {
    const Options options(arguments, {"enable-lzw"});
    if (options.positional().size() != 2)
        throw CommandFailed{"usage: vidmill save-frames FILE PREFIX [options]; see vidmill --help"};
    auto reader = OpenReader(options.positional()[0]);
    cb::ComPtr<IAviFrames> frames;
    Check(reader->get_Frames(frames.put()), "Frames");
    LONG frameCount = 0;
    Check(frames->get_Count(&frameCount), "Count");
    if (options.flag("enable-lzw")) Check(frames->EnableLZW(), "EnableLZW");

    const auto [start, count] = FramesToSave(options, options.positional()[0], frameCount);
    const auto format = options.value("format");
    const auto compression = options.value("tiff-compression");
    const auto size = options.value("size");
    const auto [width, height] = size ? ParseSize(*size) : std::pair<LONG, LONG>{0, 0};
    Check(frames->SaveSeq(start, count, cb::Bstr(options.positional()[1]).get(),
                          cb::Bstr(options.value("postfix").value_or("")).get(),
                          static_cast<LONG>(options.integer("digits", 3)),
                          static_cast<LONG>(options.integer("first-number", 0)),
                          format ? ParseFileFormat(*format) : 0,
                          static_cast<LONG>(options.integer("jpeg-quality", -1)),
                          compression ? ParseTiffCompression(*compression) : 0,
                          static_cast<LONG>(options.integer("tiff-depth", 0)), width, height),
          "SaveSeq");
    return 0;
}

int RunExtractWav(const Arguments& arguments) {
    if (arguments.size() != 2) throw CommandFailed{"usage: vidmill extract-wav FILE OUT.wav"};
    auto reader = OpenReader(arguments[0]);
    Check(reader->ExtractWav(cb::Bstr(arguments[1]).get()), "ExtractWav");
    return 0;
}

}  // namespace vidmill::tool
