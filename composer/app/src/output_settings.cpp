#include "app/output_settings.h"

#include <algorithm>
#include <array>

#include "base/app_state.h"
#include "base/rounding.h"
#include "base/settings.h"
#include "base/text_number.h"
#include "media/containers/container_movie_writer.h"

namespace composer {

namespace {

const char* const kOutput = "Output";

constexpr std::array<int32_t, 9> kWavRates = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};

double ReadNumber(const char* key, const char* defaultValue) {
    return LeadingNumber(ReadSetting(kOutput, key, defaultValue));
}

int32_t ReadWholeNumber(const char* key, const char* defaultValue) {
    return RoundToInt32(ReadNumber(key, defaultValue));
}

}  // namespace

int32_t CorrectWavChannels(int32_t channels) { return channels == 1 || channels == 2 ? channels : 2; }

int32_t CorrectWavBits(int32_t bits) { return bits == 8 || bits == 16 ? bits : 16; }

int32_t CorrectWavRate(int32_t rate) {
    return std::find(kWavRates.begin(), kWavRates.end(), rate) != kWavRates.end() ? rate : 22050;
}

double CorrectTestPlayDuration(double seconds) { return seconds > 10.0 || seconds < 0.1 ? 10.0 : seconds; }

bool ShowsUserGuide(const std::string& storedValue) { return RoundToInt32(LeadingNumber(storedValue)) != 0; }

void ReadOutputSettings(Session& session) {
    MovieDbRec& movie = session.EditMovie();
    OutputChoices& output = session.output;
    movie.OutFps = ReadNumber("FPS", "25");
    movie.OutWidth = ReadWholeNumber("Width", "352");
    movie.OutHeight = ReadWholeNumber("Height", "288");
    movie.OutChannels = CorrectWavChannels(ReadWholeNumber("WavChn", "2"));
    movie.OutBits = CorrectWavBits(ReadWholeNumber("WavBits", "16"));
    movie.OutRate = CorrectWavRate(ReadWholeNumber("WavFreq", "22050"));
    output.compressor = ReadWholeNumber("Compressor", "0");
    session.testPlay.durationSeconds = CorrectTestPlayDuration(ReadNumber("TestPlayDur", "10"));
    output.coding.keyFrameInterval =
        std::clamp(ReadWholeNumber("KeyFrameEvery", "0"), 0, kMostFramesBetweenKeys);
    output.coding.shareQuality = std::clamp(ReadWholeNumber("ShareQuality", "20"), 0, kWorstShareQuality);
    output.coding.sharePreset = ReadSetting(kOutput, "SharePreset", "medium");
    const std::vector<std::string>& speeds = ShareSpeeds();
    if (std::find(speeds.begin(), speeds.end(), output.coding.sharePreset) == speeds.end())
        output.coding.sharePreset = "medium";
    output.coding.sharpPixels = ReadWholeNumber("SharpPixels", "0") != 0;
    session.testPlay.startSeconds = 0.0;
}

void WriteOutputSettings(const Session& session) {
    const MovieDbRec& movie = session.Movie();
    const OutputChoices& output = session.output;
    WriteSetting(kOutput, "FPS", FormatNumber(movie.OutFps));
    WriteSetting(kOutput, "Width", FormatNumber(movie.OutWidth));
    WriteSetting(kOutput, "Height", FormatNumber(movie.OutHeight));
    WriteSetting(kOutput, "Compressor", FormatNumber(output.compressor));
    WriteSetting(kOutput, "WavChn", FormatNumber(movie.OutChannels));
    WriteSetting(kOutput, "WavBits", FormatNumber(movie.OutBits));
    WriteSetting(kOutput, "WavFreq", FormatNumber(movie.OutRate));
    WriteSetting(kOutput, "TestPlayDur", FormatNumber(session.testPlay.durationSeconds));
    WriteSetting(kOutput, "KeyFrameEvery", FormatNumber(output.coding.keyFrameInterval));
    WriteSetting(kOutput, "ShareQuality", FormatNumber(output.coding.shareQuality));
    WriteSetting(kOutput, "SharePreset", output.coding.sharePreset);
    WriteSetting(kOutput, "SharpPixels", output.coding.sharpPixels ? "1" : "0");
}

void ReadUserGuideSetting(Session& session) {
    session.showUserGuide = ShowsUserGuide(ReadSetting("General", "ShowNewUserGuide", "1"));
}

}  // namespace composer
