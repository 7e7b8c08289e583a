#pragma once
// WavOperMod: the program's own reader and writer of uncompressed PCM WAV files.
//
// Layout written and expected (little-endian; positions 1-based as the program counts them):
// "RIFF" at 1, data size + 36 at 5, "WAVEfmt " at 9, 16 at 17, 1 (PCM) at 21, channels at 23,
// rate at 25, byte rate at 29, block size at 33, bits at 35, "data" at 37, data size at 41,
// samples from 45, interleaved per frame (left then right). 8-bit samples are unsigned with 128 as
// silence; in sample buffers they are held as byte - 128. The data marker is found by a search
// that ignores case, so files with other chunks before the samples load too.
#include <cstdint>
#include <memory>
#include <string>

#include "document/file_carr_buff_class.h"

namespace composer {

// What the header reader tells about a PCM WAV file.
struct WavFormatRec {
    int32_t BitsPerSample = 0;
    int32_t Channels = 0;
    int32_t SampleRate = 0;
    int32_t Frames = 0;
};

// The header of a usable PCM WAV file: channels 1 or 2, 8 or 16 bits, a positive rate, a data
// marker. Silent: false (and the record untouched) for a missing, short or unusable file.
bool ReadWavHeader(const std::string& fileName, WavFormatRec& format);

// Where a WAV file's header disagrees with its data ("" each when it agrees, or when the file is
// not a RIFF WAVE file at all).
struct WavHeaderCheck {
    // A plain PCM header whose block size does not fit its bits per sample and channels: its
    // samples cannot be told apart, and read either way they are noise.
    std::string wrongBlock;
    // A data chunk longer than the file holds: the sound stops before its header's length.
    std::string cutShort;
};
WavHeaderCheck CheckWavHeader(const std::string& fileName);

// The samples of a WAV file, one buffer per channel (Right only for stereo).
struct WaveBuffers {
    std::unique_ptr<FileCarrBuffClass> Left;
    std::unique_ptr<FileCarrBuffClass> Right;
};

// Reads every sample into new buffers, in chunks sized by the buffer's block limit. Shows the
// validation message (title "Error Loading " + file name) followed by "Wave file loading failed for
// NAME: REASON" (the system's reason when the file cannot be opened, else the validation message;
// a blank name gives "Wave file loading failed" alone) and returns false for a file it cannot
// load; frames beyond the bytes present are not read. A work folder that fills up throws
// DiskFullError: the sound is not missing, the disk is full.
bool LoadWaveSamples(const std::string& fileName, WaveBuffers& buffers,
                     int32_t blockLimit = kDefaultBlockLimit);

// Writes the buffers as a PCM WAV file (replacing a file of that name): left.Length() frames of
// `channels` (1 or 2; right is used for 2) at `bits` (8 or 16). Shows its message and returns
// false when there is no name, nothing to write or the file cannot be written; throws DiskFullError
// when the disk is full. A file that could not be written whole is removed.
bool WriteWaveFile(const std::string& fileName, int32_t channels, int32_t bits, int32_t sampleRate,
                   FileCarrBuffClass& left, FileCarrBuffClass* right);

}  // namespace composer
