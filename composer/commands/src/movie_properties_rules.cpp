#include "commands/movie_properties_rules.h"

#include "base/failure.h"
#include "base/rounding.h"
#include "base/text_number.h"
#include "media/library/velc_avi_writer_class.h"
#include "vidmill/vidmill.h"

namespace composer {

namespace {

int32_t WholeNumber(const std::string& text) { return RoundToInt32(LeadingNumber(text)); }

std::string SizeFailure(const std::string& text, const char* what) {
    const int32_t value = WholeNumber(text);
    if (value < 2) return std::string(what) + " is too low";
    if (value > 20000) return std::string(what) + " is too high";
    return "";
}

}  // namespace

std::string MoviePropertiesFailure(const std::string& fpsText, const std::string& widthText,
                                   const std::string& heightText) {
    std::string failure;
    const double fps = LeadingNumber(fpsText);
    if (fps <= 0.1) {
        failure = "Frames Per Seconds (FPS) is too low";
    } else if (fps > 1000) {
        failure = "Frames Per Seconds (FPS) is too high";
    } else {
        failure = SizeFailure(widthText, "Frame Width");
        if (failure.empty()) failure = SizeFailure(heightText, "Frame Height");
    }
    return failure.empty() ? failure : failure + "\r\nPlease correct it";
}

std::string CompressorSizeFailure(int32_t compressor, const std::string& widthText,
                                  const std::string& heightText) {
    std::optional<std::string> problem;
    try {
        VelcAviWriterClass::CheckCompressor(compressor);
        problem =
            VelcAviWriterClass::FrameSizeProblem(compressor, WholeNumber(widthText), WholeNumber(heightText));
    } catch (const Failure& unreachable) {
        problem = unreachable.what();
    }
    return problem ? *problem + "\r\nPlease choose another compressor or size" : "";
}

CompressorChoices CompressorChoicesFor(const std::vector<CompressorEntry>& writing, int32_t current) {
    if (current == 0) current = vidmill::FourCC("MSVC");
    CompressorChoices choices;
    choices.entries.push_back({0, "No compression"});
    for (const CompressorEntry& entry : writing) {
        if (entry.handler == current) choices.selected = choices.entries.size();
        choices.entries.push_back({entry.handler, entry.name});
    }
    return choices;
}

const std::vector<int32_t>& OfferedSampleRates() {
    static const std::vector<int32_t> rates{8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    return rates;
}

void ApplyMovieProperties(const MovieProperties& properties, MovieDbRec& movie, int32_t& outCompressor,
                          OutputCoding& outCoding) {
    movie.MovieName = properties.title;
    movie.OutFps = LeadingNumber(properties.fpsText);
    movie.OutWidth = WholeNumber(properties.widthText);
    movie.OutHeight = WholeNumber(properties.heightText);
    outCompressor = properties.compressor;
    movie.OutChannels = properties.channels;
    movie.OutBits = properties.bits;
    movie.OutRate = properties.rate;
    outCoding = properties.coding;
}

}  // namespace composer
