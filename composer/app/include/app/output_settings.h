#pragma once
// The movie's output settings as the settings file stores them, with the corrections applied to
// stored values that are out of range.
#include <cstdint>
#include <string>

#include "document/session.h"

namespace composer {

// The corrections applied to stored output settings.
int32_t CorrectWavChannels(int32_t channels);         // 1 or 2, anything else 2
int32_t CorrectWavBits(int32_t bits);                 // 8 or 16, anything else 16
int32_t CorrectWavRate(int32_t rate);                 // one of the nine usual rates, anything else 22050
double CorrectTestPlayDuration(double seconds);       // above 10 or below 0.1 becomes 10
bool ShowsUserGuide(const std::string& storedValue);  // only a stored 0 hides the tips

// Reads section "Output" into the session ("FPS", "Width", "Height", "WavChn", "WavBits", "WavFreq"
// into the movie, "Compressor", "KeyFrameEvery", "ShareQuality", "SharePreset" and "SharpPixels" (0 or 1)
// into the output choices, "TestPlayDur" into the test play's duration) with the corrections, and sets the
// test play's start to 0. Missing settings take the defaults 25, 352, 288, 2, 16, 22050, 0 and 10.
void ReadOutputSettings(Session& session);

// Writes the same settings back, each as its shortest decimal text.
void WriteOutputSettings(const Session& session);

// Whether the session shows user-guide tips, from "ShowNewUserGuide" of section "General" (default "1").
void ReadUserGuideSetting(Session& session);

}  // namespace composer
