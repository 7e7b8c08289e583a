// The sound layer: decodes any sound file FFmpeg reads into plain PCM, saves it as a PCM WAV file
// and plays it through the machine's sound output. Decoding never needs a sound device; playing on a
// machine without one plays nothing and says so through its result.
//
// The environment switch CB_SOUND_UNAVAILABLE=1 makes the whole component unavailable, so that the
// program's "no sound component" paths can be exercised.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cbplatform/com_types.h"

namespace cb::sound {

// Sample layout of decoded sound: interleaved frames, 8-bit unsigned or 16-bit signed little-endian.
struct PcmFormat {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    int BlockBytes() const { return channels * bitsPerSample / 8; }
    friend bool operator==(const PcmFormat&, const PcmFormat&) = default;
};

// False when the sound component is switched off (CB_SOUND_UNAVAILABLE set to anything but "" or "0").
CB_PLATFORM_API bool SoundAvailable();

constexpr std::size_t kWavHeaderBytes = 44;
// The header of a WAV file, the one layout every WAV writer of the system uses: "RIFF", file size - 8,
// "WAVE", "fmt ", the format record's size, the record as it is (padded to an even length), "data",
// dataBytes. When padOddData is true the file ends the data with a pad byte after an odd count, as
// RIFF files do, and the file size counts it. Sizes beyond 32 bits are the caller's error to prevent.
CB_PLATFORM_API std::vector<std::uint8_t> MakeWavHeader(const std::vector<std::uint8_t>& formatRecord,
                                                        std::uint32_t dataBytes, bool padOddData);
// The canonical 44-byte header of a PCM WAV file holding dataBytes of samples in the given format
// (format tag 1, the 16-byte record), with no pad byte after odd data.
CB_PLATFORM_API std::array<std::uint8_t, kWavHeaderBytes> MakeWavHeader(const PcmFormat& format,
                                                                        std::uint32_t dataBytes);

// Decoded sound held in an anonymous temporary file (not in memory), so that sounds of any length
// fit. Sound stays 8-bit when the source is 8-bit PCM and becomes 16-bit otherwise; more than two
// channels are mixed down to stereo; the sampling rate is kept.
class CB_PLATFORM_API SoundBuffer {
  public:
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    // Decodes the first sound stream of a file. The sound of a file with pictures (a video) starts
    // where its first picture is shown, as players keep them together: silence comes first when the
    // sound starts later, and sound from before the first picture (a codec's priming included) is
    // left out. Null with a reason in *error when the file cannot be opened, has no sound or cannot
    // be decoded, or when the component is unavailable. A sound that decodes although the file is
    // damaged (the demuxer or decoder reported damage, a packet was refused, or the sound came out
    // well shorter than its container states) is given, with what was found in *damage; *damage is
    // "" for a whole sound.
    static std::unique_ptr<SoundBuffer> Decode(const std::string& path, std::string* error,
                                               std::string* damage = nullptr);

    const PcmFormat& format() const { return format_; }
    std::int64_t byteCount() const { return byteCount_; }
    std::int64_t frameCount() const;

    // Copies up to size bytes of samples starting at offsetBytes; returns the bytes copied.
    std::size_t Read(std::int64_t offsetBytes, void* destination, std::size_t size) const;
    // Writes the samples as a PCM WAV file (replacing the file). False with a reason on failure.
    bool SaveWav(const std::string& path, std::string* error) const;

  private:
    friend class BufferWriter;
    SoundBuffer(int fileDescriptor, PcmFormat format);
    int fileDescriptor_ = -1;
    PcmFormat format_;
    std::int64_t byteCount_ = 0;
};

// Where a player's samples come from: the buffer and a play position that the output advances.
class CB_PLATFORM_API PcmCursor {
  public:
    explicit PcmCursor(std::shared_ptr<const SoundBuffer> buffer) : buffer_(std::move(buffer)) {}
    const PcmFormat& format() const { return buffer_->format(); }
    std::int64_t positionBytes() const { return position_.load(); }
    bool AtEnd() const { return position_.load() >= buffer_->byteCount(); }
    // Moves the position, kept within the buffer and on a frame boundary.
    void Seek(std::int64_t positionBytes);
    // Reads from the position and advances it; 0 at the end.
    std::size_t Pull(void* destination, std::size_t size);

  private:
    std::shared_ptr<const SoundBuffer> buffer_;
    std::atomic<std::int64_t> position_{0};
};

// A device that plays a cursor's samples. Start begins playing from the cursor's position and returns
// false when there is no device to play on; Stop halts and leaves the cursor at the first sample not
// yet heard, so that the next Start resumes there.
class SoundOutput {
  public:
    virtual ~SoundOutput() = default;
    virtual bool Start(std::shared_ptr<PcmCursor> cursor) = 0;
    virtual void Stop() = 0;
    // Microseconds of sound the device has played since Start, or -1 when it cannot tell (the
    // cursor's position, which runs ahead by what the device buffers, is then the best measure).
    virtual std::int64_t PlayedMicroseconds() const { return -1; }
};

// Outputs are made by a factory: the machine's sound output by default; tests put their own in.
using SoundOutputFactory = std::function<std::unique_ptr<SoundOutput>()>;
// Replaces the factory (an empty function restores the default); returns the previous one.
CB_PLATFORM_API SoundOutputFactory SetSoundOutputFactory(SoundOutputFactory factory);

enum class PlayResult { Playing, NoDevice };

// Plays one decoded sound once; stopping keeps the position, playing again resumes from it, and
// playing after the end starts again from the beginning.
class CB_PLATFORM_API SoundPlayer {
  public:
    explicit SoundPlayer(std::shared_ptr<const SoundBuffer> buffer);
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    PlayResult Play();
    void Stop();
    // Stops and moves the play position (kept within the sound, on a frame boundary).
    void Seek(std::int64_t positionBytes);
    std::int64_t positionBytes() const { return cursor_->positionBytes(); }
    // Where the listener is, in seconds from the start: what the device has played since the last
    // Play from where that Play started, else the play position. A clock for pictures that
    // follow the sound.
    double PlayedSeconds() const;

  private:
    std::shared_ptr<PcmCursor> cursor_;
    std::unique_ptr<SoundOutput> output_;
    std::int64_t startBytes_ = 0;
    bool playing_ = false;
};

}  // namespace cb::sound
