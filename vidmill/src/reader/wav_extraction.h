// The sound track of an AVI file copied into a WAV file as it is stored: the stream's format
// record becomes the WAV format chunk (PCM stays PCM; a compressed sound keeps its format tag and
// extra data) and its chunks, in file order, the WAV data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reader/avi_headers.h"

namespace vidmill::reader {

// Throws vidmill::Error with the extraction messages. The WAV file is written under a name of its
// own beside wavPath and renamed over it only when complete: a failure leaves what wavPath held
// and no partial file. A wavPath that names the AVI file itself is refused (kWritesOverSourceMessage
// in output_over_source.h) before anything is written.
// streamIndex: the demuxer's index of the sound stream; header: its stream header with the stored
// format record. A file that holds less sound than its stream header declares (a copy that stopped
// early) fails with "Cannot read AVI sound track stream" rather than passing part of it off as all.
void ExtractSoundTrack(const std::string& aviPath, int streamIndex, const AviStreamHeader& header,
                       const std::string& wavPath);

}  // namespace vidmill::reader
