// vidmill make: writes a new AVI file from images, other AVI files and a sound track, in the
// order the sources are given.
#include "command_make.h"

#include <glob.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "cbplatform/picture.h"
#include "cbplatform/stop_signals.h"
#include "make_output.h"
#include "read_back_check.h"

namespace vidmill::tool {

namespace {

const char* const kUsage =
    "usage: vidmill make OUT.avi [--size WxH] [--fps F] [--compressor CODE] [--quality Q] "
    "[--key-frame-rate K] [--inter-frames N] [--image FILE]... [--images MASK [--reverse]] "
    "[--avi FILE [--reverse] [--with-sound]] [--wav FILE [--cut-wav]] [--watermark-text TEXT] "
    "[--watermark-timer STYLE] [--enable-lzw]";

// One source to add, with the flags that follow it.
struct Source {
    std::string option;
    std::string value;
    bool reverse = false;
    bool withSound = false;
    bool cutWav = false;
};

struct MakeRequest {
    std::string output;
    LONG width = 320;
    LONG height = 240;
    std::vector<std::pair<std::string, std::string>> settings;  // in the order given
    std::vector<Source> sources;
    std::optional<std::string> watermarkText;
    std::optional<std::string> watermarkTimer;
    bool enableLzw = false;
};

[[noreturn]] void Usage() { throw CommandFailed{kUsage}; }

bool IsOneOf(const std::string& text, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (text == name) return true;
    return false;
}

// A whole number or a decimal number that fills the text; a typing slip stops the command
// instead of reaching the writer as 0.
LONG Integer(const std::string& option, const std::string& text) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < -2147483647L - 1 || value > 2147483647L)
        throw CommandFailed{option + " takes a whole number, not \"" + text + "\""};
    return static_cast<LONG>(value);
}

double Decimal(const std::string& option, const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0') throw CommandFailed{option + " takes a number, not \"" + text + "\""};
    return value;
}

void ParseSize(const std::string& text, MakeRequest& request) {
    const auto x = text.find('x');
    if (x == std::string::npos) Usage();
    request.width = Integer("--size", text.substr(0, x));
    request.height = Integer("--size", text.substr(x + 1));
}

MakeRequest Parse(const Arguments& arguments) {
    MakeRequest request;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto next = [&]() -> const std::string& {
            if (i + 1 >= arguments.size()) Usage();
            return arguments[++i];
        };
        if (argument.rfind("--", 0) != 0) {
            if (!request.output.empty()) Usage();
            request.output = argument;
        } else if (argument == "--size") {
            ParseSize(next(), request);
        } else if (IsOneOf(argument,
                           {"--fps", "--compressor", "--quality", "--key-frame-rate", "--inter-frames"})) {
            request.settings.emplace_back(argument, next());
        } else if (IsOneOf(argument, {"--image", "--images", "--avi", "--wav"})) {
            request.sources.push_back(Source{argument, next()});
        } else if (IsOneOf(argument, {"--reverse", "--with-sound", "--cut-wav"})) {
            if (request.sources.empty()) Usage();
            Source& source = request.sources.back();
            (argument == "--reverse"      ? source.reverse
             : argument == "--with-sound" ? source.withSound
                                          : source.cutWav) = true;
        } else if (argument == "--watermark-text") {
            request.watermarkText = next();
        } else if (argument == "--watermark-timer") {
            request.watermarkTimer = next();
        } else if (argument == "--enable-lzw") {
            request.enableLzw = true;
        } else {
            Usage();
        }
    }
    if (request.output.empty()) Usage();
    return request;
}

VARIANT_BOOL Bool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

void ApplySetting(IAviWriter& writer, const std::string& option, const std::string& value) {
    if (option == "--fps") Check(writer.put_FramesPerSecond(Decimal(option, value)), "FramesPerSecond");
    if (option == "--compressor")
        Check(writer.put_CompressorHandler(ParseFourCC(value)), "CompressorHandler");
    if (option == "--quality") Check(writer.put_Quality(Integer(option, value)), "Quality");
    if (option == "--key-frame-rate") Check(writer.put_KeyFrameRate(Integer(option, value)), "KeyFrameRate");
    if (option == "--inter-frames") Check(writer.put_InterFrames(Integer(option, value)), "InterFrames");
}

// Timer styles by name or number.
LONG TimerStyleOf(const std::string& text) {
    const char* const names[] = {"video-time", "video-frame", "time", "date", "date-time"};
    for (LONG style = 0; style < 5; ++style)
        if (text == names[style]) return style;
    char* end = nullptr;
    const long style = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || style < 0 || style > 4)
        throw CommandFailed{"unknown timer style \"" + text +
                            "\" (video-time, video-frame, time, date, date-time)"};
    return style;
}

void AddWatermark(IAviWriter& writer, const MakeRequest& request) {
    if (!request.watermarkText && !request.watermarkTimer) return;
    cb::ComPtr<IAviWatermark> watermark;
    Check(writer.get_Watermark(watermark.put()), "Watermark");
    const cb::Bstr font("Arial");
    // White text with a black outline stays readable over any picture.
    if (request.watermarkText) {
        const cb::Bstr text(*request.watermarkText);
        Check(watermark->AddTitle(text.get(), 8, 8, font.get(), FontStyleBold, 16, 0xFFFFFF, 0, 1, -1, 1, 25),
              "AddTitle");
    }
    if (request.watermarkTimer) {
        const float top = static_cast<float>(request.height) - 28;
        Check(watermark->AddTimer(8, top, TimerStyleOf(*request.watermarkTimer), 0, font.get(), FontStyleBold,
                                  16, 0xFFFFFF, 0, 1, -1, 1, 25),
              "AddTimer");
    }
}

void AddSource(IAviWriter& writer, const Source& source) {
    const cb::Bstr value(source.value);
    if (source.option == "--image") Check(writer.AddImage(value.get(), VARIANT_TRUE), "AddImage");
    if (source.option == "--images")
        Check(writer.AddImages(value.get(), VARIANT_TRUE, Bool(source.reverse)), "AddImages");
    if (source.option == "--avi")
        Check(writer.AddAvi(value.get(), VARIANT_TRUE, Bool(source.reverse), Bool(source.withSound)),
              "AddAvi");
    if (source.option == "--wav") Check(writer.AddWav(value.get(), Bool(source.cutWav)), "AddWav");
}

// Sources that cannot be had stop the command before the file is created: the library would
// add a black frame for a missing or damaged image and nothing for a pattern that matches no file.
void CheckSources(const MakeRequest& request) {
    for (const Source& source : request.sources) {
        if (source.option == "--images") {
            glob_t matches{};
            const int found = ::glob(source.value.c_str(), 0, nullptr, &matches);
            ::globfree(&matches);
            if (found != 0) throw CommandFailed{"--images " + source.value + ": no file matches"};
            continue;
        }
        std::error_code error;
        if (!std::filesystem::is_regular_file(source.value, error))
            throw CommandFailed{source.option + " " + source.value + ": file not found"};
        // The library draws what it can of a damaged image over black: a picture cut short would
        // pass unnoticed into the movie.
        if (source.option == "--image" && !cb::ImageFileDecodesWhole(source.value))
            throw CommandFailed{"--image " + source.value + ": the image is damaged or cut short"};
    }
}

}  // namespace

int RunMake(const Arguments& arguments) {
    const MakeRequest request = Parse(arguments);
    std::vector<MakeInput> inputs;
    for (const Source& source : request.sources) inputs.push_back({source.option, source.value});
    RefuseInputAsOutput(request.output, inputs);
    CheckSources(request);
    // Standard error is for the command's own failure; FFmpeg's remarks on pixel conversions are
    // no news to the person running it.
    av_log_set_level(AV_LOG_ERROR);
    // Ctrl+C or a SIGTERM ends the work at the next frame, without a partial file.
    cb::InstallStopSignals();
    return WriteInPlaceOf(request.output, [&](const std::string& path) {
        // Released inside: a writer let go after the partial file is removed would complete it again.
        auto writer = Create<IAviWriter>(1);
        if (request.enableLzw) Check(writer->EnableLZW(), "EnableLZW");
        for (const auto& [option, value] : request.settings) ApplySetting(*writer, option, value);
        const cb::Bstr output(path);
        Check(writer->CreateNew(output.get(), request.width, request.height, 0), "CreateNew");
        NamingAFullDisk(request.output, [&] {
            AddWatermark(*writer, request);
            for (const Source& source : request.sources) AddSource(*writer, source);
            Check(writer->Close(), "Close");
        });
        LONG handler = 0;
        Check(writer->get_CompressorHandler(&handler), "CompressorHandler");
        CheckReadsBack(path, handler);
    });
}

}  // namespace vidmill::tool
