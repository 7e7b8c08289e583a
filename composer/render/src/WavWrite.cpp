// The writer: per-channel sample buffers back into a PCM WAV file.
#include <algorithm>
#include <exception>
#include <limits>
#include <stdexcept>
#include <vector>

#include "SampleStreams.h"
#include "WavFileBytes.h"
#include "render/WavOperMod.h"
#include "appgen/files.h"
#include "appgen/interaction.h"
#include "cbplatform/sound.h"

namespace composer {
namespace {

void WriteBytes(std::FILE* file, const void* bytes, size_t size) {
    if (std::fwrite(bytes, 1, size, file) != size) throw std::runtime_error("The wave file could not be written");
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
    if (channels == 2 && !right) throw std::invalid_argument("No right channel given for a stereo wave");
    const int32_t frames = left.Length();
    const int32_t blockBytes = wav::BlockBytes(bits, channels);
    const int64_t dataBytes = static_cast<int64_t>(frames) * blockBytes;
    if (dataBytes > std::numeric_limits<uint32_t>::max() - 36)
        throw std::length_error("The sound is too long for a wave file");
    DeleteFileChecked(fileName);
    wav::FilePtr file(std::fopen(fileName.c_str(), "wb"));
    if (!file) throw std::runtime_error("The wave file " + fileName + " could not be created");
    const auto header = cb::sound::MakeWavHeader(cb::sound::PcmFormat{channels, sampleRate, bits},
                                                 static_cast<uint32_t>(dataBytes));
    WriteBytes(file.get(), header.data(), header.size());

    const int32_t chunk = TransferBlock(left);
    std::vector<int16_t> leftValues(static_cast<size_t>(chunk)), rightValues(channels == 2 ? leftValues.size() : 0);
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
        WriteBytes(file.get(), bytes.data(), bytes.size());
        done += count;
    }
    if (std::fclose(file.release()) != 0) throw std::runtime_error("The wave file could not be written");
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
    } catch (const std::exception& error) {
        MsgBox(error.what(), MsgButtons::OK, "Wave file write error");
        return false;
    }
}

}  // namespace composer
