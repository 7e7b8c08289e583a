// Fuzz target: the WAV reading of sound clips on any bytes. The header reader, the sample loader
// and the clip reader (which has anything that is not PCM decoded into a PCM file first) must each
// end in a result or a refusal through the interaction seam: never a crash, a hang or an allocation
// the file cannot account for. scripts/fuzz.sh runs it; small WAV files of every format make good
// seeds for the corpus.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "base/folders.h"
#include "base/scripted_interaction.h"
#include "cbplatform/media_log.h"
#include "media/sound/wav_oper_mod.h"
#include "media/sound/wav_reader_class.h"

namespace {

bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// The work folder takes the buffers and decoded copies; one per fuzzing process.
bool PrepareOnce() {
    cb::QuietMediaLog();
    composer::InitFolders();
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool prepared = PrepareOnce();
    (void)prepared;
    static const std::string path = "/tmp/fuzz_wav_file_" + std::to_string(::getpid()) + ".wav";
    if (!WriteFile(path, data, size)) return 0;
    composer::ScriptedInteraction seam;
    composer::ScopedInteraction scope(seam);

    composer::WavFormatRec format;
    composer::ReadWavHeader(path, format);
    composer::WaveBuffers buffers;
    composer::LoadWaveSamples(path, buffers);
    buffers = composer::WaveBuffers{};

    composer::WavReaderClass reader;
    if (reader.ReadWav_OpenFile(path)) {
        // The file that carries the sound must load as the mix loads it.
        const std::string carrier = reader.ReadWav_GetWavFile();
        composer::LoadWaveSamples(carrier, buffers);
        if (carrier != path) std::remove(carrier.c_str());
    }
    return 0;
}
