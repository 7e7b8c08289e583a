#pragma once
// The movie's sound track: every sound playing in the rendered range, decoded once into per-channel
// file-backed buffers, brought to the output rate, channels and bits, placed at its start time and
// added with clipping, then written as a temporary WAV file for the render driver.
#include <cstdint>
#include <string>
#include <vector>

#include "document/audio_event.h"
#include "document/file_carr_buff_class.h"
#include "document/movie_records.h"
#include "render/source_problems.h"

namespace composer {

// The sound of the range [startSeconds, endSeconds] as a new WAV file in the work folder, in the
// movie's OutChannels, OutBits and OutRate; "" when no sound plays in the range or the file cannot
// be written (the user is told why). A disk that fills up, there or while the sounds are decoded
// and converted, throws DiskFullError instead. events are AudioEvents 1 .. eventCount of the
// timeline plan (entry 0 unused); of each, the samples from SourceStart for HeardLength are heard
// (all of them when HeardLength is below 0). The sample buffers of the mix hold up to blockLimit values in
// memory each. Sounds in the range whose samples cannot be had are left out and, when `problems`
// is given, noted there.
std::string MixOutputAudio(MovieDbRec& movie, const std::vector<AudioEvent>& events, int32_t eventCount,
                           double startSeconds, double endSeconds, int32_t blockLimit = kDefaultBlockLimit,
                           SourceProblems* problems = nullptr);

}  // namespace composer
