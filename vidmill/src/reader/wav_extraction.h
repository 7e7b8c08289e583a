// The sound track of an AVI file copied into a WAV file as it is stored: the stream's format
// record becomes the WAV format chunk (PCM stays PCM; a compressed sound keeps its format tag and
// extra data) and its chunks, in file order, the WAV data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vidmill::reader {

// Throws vidmill::Error with the extraction messages; an incomplete target file is removed.
// streamIndex: the demuxer's index of the sound stream; format: its stored format record.
void ExtractSoundTrack(const std::string& aviPath, int streamIndex, const std::vector<std::uint8_t>& format,
                       const std::string& wavPath);

}  // namespace vidmill::reader
