// The silent header reader: whether a file is a usable PCM WAV, and its format.
#include "WavFileBytes.h"
#include "render/WavOperMod.h"
#include "appgen/files.h"
#include "appgen/rounding.h"
#include "appgen/text_number.h"

namespace composer {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;

// A-law and mu-law sound also has 8 bits per sample: read as PCM it would be noise, so only PCM
// (plain, or extensible with the PCM sub-format) counts as usable; the rest goes to the decoder.
bool IsPcm(std::FILE* file) {
    const uint16_t tag = wav::Word16At(file, 21);
    return tag == kFormatPcm || (tag == kFormatExtensible && wav::Word16At(file, 45) == kFormatPcm);
}

}  // namespace

bool ReadWavHeader(const std::string& fileName, WavFormatRec& format) {
    if (TrimSpaces(fileName).empty() || !FileExists(fileName)) return false;
    const wav::OpenedWav wav = wav::OpenForReading(fileName);
    if (!wav.file || wav.lengthBytes < 45) return false;
    const auto data = wav::FindDataMarker(wav.file.get(), wav.lengthBytes);
    if (!data) return false;
    const int32_t channels = wav::ByteAt(wav.file.get(), 23);
    const auto rate = static_cast<int32_t>(wav::Word32At(wav.file.get(), 25));
    const int32_t bits = wav::ByteAt(wav.file.get(), 35);
    // A rate below 1 Hz is a damaged header: it would give the clip an endless duration.
    if ((channels != 1 && channels != 2) || (bits != 8 && bits != 16) || rate < 1 || !IsPcm(wav.file.get()))
        return false;
    const int32_t blockBytes = wav::BlockBytes(bits, channels);
    format = WavFormatRec{bits, channels, rate, RoundToInt32(static_cast<double>(data->dataBytes) / blockBytes)};
    return true;
}

}  // namespace composer
