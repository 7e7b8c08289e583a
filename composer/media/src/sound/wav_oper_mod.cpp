// WavOperMod: the header reader, the sample loader and the writer of PCM WAV files.
#include "media/sound/wav_oper_mod.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <exception>
#include <limits>
#include <stdexcept>
#include <vector>

#include "base/disk_full.h"
#include "base/failure.h"
#include "base/files.h"
#include "base/interaction.h"
#include "base/rounding.h"
#include "base/text_number.h"
#include "cbplatform/sound.h"
#include "media/sound/sample_streams.h"
#include "sound/wav_file_bytes.h"

// The silent header reader: whether a file is a usable PCM WAV, and its format.
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

namespace {

constexpr uint32_t kRiffTag = 0x46464952;    // "RIFF"
constexpr uint32_t kWaveTag = 0x45564157;    // "WAVE"
constexpr uint32_t kFormatTag = 0x20746D66;  // "fmt "

// A plain PCM header whose block size is not its channels times its bytes per sample: the samples
// would be read in the wrong size (16-bit data read as 7-bit samples is loud noise).
std::string BlockProblem(std::FILE* file) {
    const uint16_t channels = wav::Word16At(file, 23);
    const uint16_t blockBytes = wav::Word16At(file, 33);
    const uint16_t bits = wav::Word16At(file, 35);
    if (wav::Word16At(file, 21) != kFormatPcm || channels == 0 || bits == 0) return "";
    if (blockBytes == channels * ((bits + 7) / 8)) return "";
    return "its header gives " + std::to_string(bits) + " bits per sample for " + std::to_string(channels) +
           " channel(s) in blocks of " + std::to_string(blockBytes) + " bytes, which do not fit";
}

// A data chunk that claims more bytes than the file holds after its start.
std::string ShortfallProblem(std::FILE* file, int64_t lengthBytes) {
    const auto data = wav::FindDataMarker(file, lengthBytes);
    const uint32_t bytesPerSecond = wav::Word32At(file, 29);
    const uint16_t blockBytes = wav::Word16At(file, 33);
    if (!data || bytesPerSecond == 0) return "";
    const int64_t present = std::max<int64_t>(lengthBytes - (data->dataStart - 1), 0);
    // The last block may lack its pad or a few bytes of a block: that is not a cut sound.
    if (static_cast<int64_t>(data->dataBytes) <= present + std::max<int64_t>(blockBytes, 1)) return "";
    auto seconds = [&](int64_t bytes) {
        return FormatNumber(std::round(static_cast<double>(bytes) / bytesPerSecond * 100) / 100);
    };
    return "its header gives " + seconds(data->dataBytes) + " s of sound but the file holds " +
           seconds(present) + " s: it was cut short";
}

bool IsRiffWave(std::FILE* file) {
    return wav::Word32At(file, 1) == kRiffTag && wav::Word32At(file, 9) == kWaveTag &&
           wav::Word32At(file, 13) == kFormatTag;
}

}  // namespace

WavHeaderCheck CheckWavHeader(const std::string& fileName) {
    if (TrimSpaces(fileName).empty() || !FileExists(fileName)) return {};
    const wav::OpenedWav wav = wav::OpenForReading(fileName);
    if (!wav.file || wav.lengthBytes < 45 || !IsRiffWave(wav.file.get())) return {};
    return WavHeaderCheck{BlockProblem(wav.file.get()), ShortfallProblem(wav.file.get(), wav.lengthBytes)};
}

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
    format =
        WavFormatRec{bits, channels, rate, RoundToInt32(static_cast<double>(data->dataBytes) / blockBytes)};
    return true;
}

}  // namespace composer

// The sample loader: every sample of a PCM WAV file into per-channel file-backed buffers.
namespace composer {
namespace {

// A validation failure: its message, then the closing notice naming the file and the reason (the
// system's, when the file could not be opened; else the message itself), then false.
bool Refuse(const std::string& fileName, const std::string& message, const std::string& reason = {}) {
    MsgBox(message, MsgButtons::OK, "Error Loading " + fileName);
    MsgBox("Wave file loading failed for " + fileName + ": " + (reason.empty() ? message : reason));
    return false;
}

struct SampleLayout {
    int32_t channels = 0;
    int32_t bits = 0;
    int32_t blockBytes = 0;
};

// Appends up to `count` values to a buffer from `values`, in blocks the buffer accepts.
void Append(FileCarrBuffClass& buffer, int32_t firstPosition, const std::vector<int16_t>& values,
            size_t count) {
    const size_t blockLimit = static_cast<size_t>(buffer.GetBlockLimit());
    for (size_t done = 0; done < count;) {
        const size_t piece = std::min(blockLimit, count - done);
        buffer.WriteBlock(firstPosition + static_cast<int32_t>(done), std::span(values).subspan(done, piece));
        done += piece;
    }
}

// Reads `frames` frames from the data start in chunks of 2 x BlockLimit bytes, split per channel.
void ReadSamples(std::FILE* file, int64_t dataStart, int32_t frames, const SampleLayout& layout,
                 WaveBuffers& buffers) {
    const int64_t chunkBytes = 2 * static_cast<int64_t>(buffers.Left->GetBlockLimit());
    // A short file needs no chunk larger than itself.
    const auto framesPerChunk =
        static_cast<int32_t>(std::min<int64_t>(chunkBytes / layout.blockBytes, std::max(frames, 1)));
    std::vector<uint8_t> bytes(static_cast<size_t>(framesPerChunk) * layout.blockBytes);
    std::vector<int16_t> left(static_cast<size_t>(framesPerChunk)), right;
    if (layout.channels == 2) right.resize(left.size());
    if (fseeko(file, dataStart - 1, SEEK_SET) != 0) throw Failure("cannot reach the wave data");
    for (int32_t done = 0; done < frames;) {
        const int32_t count = std::min(framesPerChunk, frames - done);
        const size_t size = static_cast<size_t>(count) * layout.blockBytes;
        if (std::fread(bytes.data(), 1, size, file) != size) throw Failure("cannot read the wave data");
        for (int32_t f = 0; f < count; ++f) {
            for (int32_t c = 0; c < layout.channels; ++c) {
                const uint8_t* sample =
                    &bytes[static_cast<size_t>(f) * layout.blockBytes + c * layout.bits / 8];
                const int16_t value = layout.bits == 8 ? static_cast<int16_t>(sample[0] - 128)
                                                       : static_cast<int16_t>(sample[0] | sample[1] << 8);
                (c == 0 ? left : right)[static_cast<size_t>(f)] = value;
            }
        }
        Append(*buffers.Left, done + 1, left, static_cast<size_t>(count));
        if (buffers.Right) Append(*buffers.Right, done + 1, right, static_cast<size_t>(count));
        done += count;
    }
}

bool Load(const std::string& fileName, WaveBuffers& buffers, int32_t blockLimit) {
    const wav::OpenedWav wav = wav::OpenForReading(fileName);
    std::FILE* file = wav.file.get();
    if (!file || wav.lengthBytes < 45) return Refuse(fileName, "No wave Data found in file", wav.problem);
    const auto data = wav::FindDataMarker(file, wav.lengthBytes);
    if (!data) return Refuse(fileName, "The String 'Data' - is not found");
    const int32_t channels = wav::ByteAt(file, 23);
    if (channels != 1 && channels != 2) return Refuse(fileName, "Channel info invalid at byte location 23");
    const auto rate = static_cast<int32_t>(wav::Word32At(file, 25));
    if (rate < 1000 || rate > 200000)
        return Refuse(fileName, "Sampling rate " + std::to_string(rate) + " Hz is not supported");
    const int32_t bits = wav::Word16At(file, 35);
    if (bits != 4 && bits != 8 && bits != 16)
        return Refuse(fileName, "Bits per sample " + std::to_string(bits) +
                                    " is invalid or not supported (at byte location 35)");

    const SampleLayout layout{channels, bits, wav::BlockBytes(bits, channels)};
    buffers.Left = std::make_unique<FileCarrBuffClass>(blockLimit);
    if (channels == 2) buffers.Right = std::make_unique<FileCarrBuffClass>(blockLimit);
    // 4-bit sound passes the check but is not read: it loads as empty buffers.
    if (bits == 4 || layout.blockBytes < 1) return true;
    // Never more frames than the file holds, whatever the header declares.
    const int64_t available = std::max<int64_t>(0, wav.lengthBytes - data->dataStart + 1) / layout.blockBytes;
    const int64_t declared = RoundToInt64(static_cast<double>(data->dataBytes) / layout.blockBytes);
    const auto frames = static_cast<int32_t>(std::min({available, declared, int64_t{INT32_MAX}}));
    ReadSamples(file, data->dataStart, frames, layout, buffers);
    return true;
}

}  // namespace

bool LoadWaveSamples(const std::string& fileName, WaveBuffers& buffers, int32_t blockLimit) {
    buffers = WaveBuffers{};
    if (TrimSpaces(fileName).empty()) {
        MsgBox("Wave file loading failed");
        return false;
    }
    try {
        if (Load(fileName, buffers, blockLimit)) return true;
    } catch (const DiskFullError&) {
        buffers = WaveBuffers{};
        throw;
    } catch (...) {
        ReportFailure(CurrentFailureText(), "Wave file load error");
    }
    buffers = WaveBuffers{};
    return false;
}

}  // namespace composer

// The writer: per-channel sample buffers back into a PCM WAV file.
namespace composer {
namespace {

// A full disk ends the work that needed the file (DiskFullError); other failures are the file's.
[[noreturn]] void FailWriting(const std::string& fileName) {
    ThrowIfDiskFull(errno, fileName);
    throw Failure("The wave file could not be written");
}

void WriteBytes(std::FILE* file, const void* bytes, size_t size, const std::string& fileName) {
    if (std::fwrite(bytes, 1, size, file) != size) FailWriting(fileName);
}

// Interleaves a chunk of frames: 8-bit as value + 128 in one byte, 16-bit as two bytes.
void PackFrames(const std::vector<int16_t>& left, const std::vector<int16_t>& right, int32_t count,
                int32_t channels, int32_t bits, std::vector<uint8_t>& bytes) {
    bytes.clear();
    for (int32_t f = 0; f < count; ++f) {
        for (int32_t c = 0; c < channels; ++c) {
            const int16_t value = (c == 0 ? left : right)[static_cast<size_t>(f)];
            if (bits == 8) {
                bytes.push_back(static_cast<uint8_t>(value + 128));
            } else {
                bytes.push_back(static_cast<uint8_t>(value & 0xFF));
                bytes.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
            }
        }
    }
}

void Write(const std::string& fileName, int32_t channels, int32_t bits, int32_t sampleRate,
           FileCarrBuffClass& left, FileCarrBuffClass* right) {
    // Only mono and stereo have sample buffers to write from; other counts would read past them.
    if (channels != 1 && channels != 2)
        throw Failure("A wave file of " + std::to_string(channels) + " channels cannot be written");
    if (bits != 8 && bits != 16)
        throw Failure("A wave file of " + std::to_string(bits) + " bits cannot be written");
    if (channels == 2 && !right) throw Failure("No right channel given for a stereo wave");
    const int32_t frames = left.Length();
    const int32_t blockBytes = wav::BlockBytes(bits, channels);
    const int64_t dataBytes = static_cast<int64_t>(frames) * blockBytes;
    if (dataBytes > std::numeric_limits<uint32_t>::max() - 36)
        throw Failure("The sound is too long for a wave file");
    DeleteFileChecked(fileName);
    wav::FilePtr file(std::fopen(fileName.c_str(), "wb"));
    if (!file) throw Failure("The wave file " + fileName + " could not be created");
    const auto header = cb::sound::MakeWavHeader(cb::sound::PcmFormat{channels, sampleRate, bits},
                                                 static_cast<uint32_t>(dataBytes));
    WriteBytes(file.get(), header.data(), header.size(), fileName);

    const int32_t chunk = TransferBlock(left);
    std::vector<int16_t> leftValues(static_cast<size_t>(chunk)),
        rightValues(channels == 2 ? leftValues.size() : 0);
    std::vector<uint8_t> bytes;
    for (int32_t done = 0; done < frames;) {
        const int32_t count = std::min(chunk, frames - done);
        left.ReadBlock(done + 1, std::span(leftValues).first(static_cast<size_t>(count)));
        if (channels == 2) {
            // A shorter right channel ends in silence rather than in a range error.
            const int32_t present = std::clamp(right->Length() - done, 0, count);
            std::fill(rightValues.begin(), rightValues.end(), int16_t{0});
            right->ReadBlock(done + 1, std::span(rightValues).first(static_cast<size_t>(present)));
        }
        PackFrames(leftValues, rightValues, count, channels, bits, bytes);
        WriteBytes(file.get(), bytes.data(), bytes.size(), fileName);
        done += count;
    }
    if (std::fclose(file.release()) != 0) FailWriting(fileName);
}

}  // namespace

bool WriteWaveFile(const std::string& fileName, int32_t channels, int32_t bits, int32_t sampleRate,
                   FileCarrBuffClass& left, FileCarrBuffClass* right) {
    if (fileName.empty()) {
        MsgBox("No file name given to write");
        return false;
    }
    if (left.Length() == 0) {
        MsgBox("Zero size wave found", MsgButtons::OK, "Writing wave error");
        return false;
    }
    try {
        Write(fileName, channels, bits, sampleRate, left, right);
        return true;
    } catch (const DiskFullError&) {
        DeleteFileChecked(fileName);  // nothing half-written is left behind
        throw;
    } catch (...) {
        DeleteFileChecked(fileName);
        ReportFailure(CurrentFailureText(), "Wave file write error");
        return false;
    }
}

}  // namespace composer
