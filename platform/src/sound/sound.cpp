#include "cbplatform/sound.h"

#include <fcntl.h>
#include <unistd.h>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <string>
#include <vector>

#include "cbplatform/anonymous_file.h"
#include "cbplatform/ffmpeg_owners.h"
#include "cbplatform/media_input.h"
#include "cbplatform/media_log.h"
#include "cbplatform/stream_length.h"
#include "sound_output.h"

// Decoded sound in an anonymous temporary file, its WAV form, and the play cursor over it.
namespace cb::sound {

// Fills a new SoundBuffer: the decoder appends samples in whatever pieces it produces them.
class BufferWriter {
  public:
    // Opens an anonymous temporary file under $TMPDIR (else /tmp); Ok() tells whether it worked.
    explicit BufferWriter(const PcmFormat& format);
    bool Ok() const { return buffer_ != nullptr; }
    // Appends bytes; false when the disk refuses them.
    bool Append(const void* bytes, std::size_t size);
    // Hands the filled buffer over; the writer is empty afterwards.
    std::unique_ptr<SoundBuffer> Finish() { return std::move(buffer_); }

  private:
    std::unique_ptr<SoundBuffer> buffer_;
};

namespace {

bool WriteAll(int descriptor, const void* bytes, std::size_t size) {
    const auto* next = static_cast<const std::uint8_t*>(bytes);
    while (size > 0) {
        const ssize_t written = ::write(descriptor, next, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        next += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

void PutLittleEndian(std::uint8_t* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

bool SoundAvailable() {
    const char* value = std::getenv("CB_SOUND_UNAVAILABLE");
    return !value || !*value || std::strcmp(value, "0") == 0;
}

std::vector<std::uint8_t> MakeWavHeader(const std::vector<std::uint8_t>& formatRecord,
                                        std::uint32_t dataBytes, bool padOddData) {
    const std::size_t recordBytes = formatRecord.size() + (formatRecord.size() & 1);
    std::vector<std::uint8_t> header(20 + recordBytes + 8, 0);
    const std::uint32_t dataPad = padOddData ? (dataBytes & 1) : 0;
    std::memcpy(&header[0], "RIFF", 4);
    PutLittleEndian(&header[4], static_cast<std::uint32_t>(header.size() - 8) + dataBytes + dataPad, 4);
    std::memcpy(&header[8], "WAVEfmt ", 8);
    PutLittleEndian(&header[16], static_cast<std::uint32_t>(formatRecord.size()), 4);
    std::copy(formatRecord.begin(), formatRecord.end(), header.begin() + 20);
    std::memcpy(&header[20 + recordBytes], "data", 4);
    PutLittleEndian(&header[24 + recordBytes], dataBytes, 4);
    return header;
}

std::array<std::uint8_t, kWavHeaderBytes> MakeWavHeader(const PcmFormat& format, std::uint32_t dataBytes) {
    std::vector<std::uint8_t> record(16, 0);
    const int blockBytes = format.BlockBytes();
    PutLittleEndian(&record[0], 1, 2);
    PutLittleEndian(&record[2], static_cast<std::uint32_t>(format.channels), 2);
    PutLittleEndian(&record[4], static_cast<std::uint32_t>(format.sampleRate), 4);
    PutLittleEndian(&record[8], static_cast<std::uint32_t>(format.sampleRate * blockBytes), 4);
    PutLittleEndian(&record[12], static_cast<std::uint32_t>(blockBytes), 2);
    PutLittleEndian(&record[14], static_cast<std::uint32_t>(format.bitsPerSample), 2);
    const std::vector<std::uint8_t> bytes = MakeWavHeader(record, dataBytes, false);
    std::array<std::uint8_t, kWavHeaderBytes> header{};
    std::copy(bytes.begin(), bytes.end(), header.begin());
    return header;
}

SoundBuffer::SoundBuffer(int fileDescriptor, PcmFormat format)
    : fileDescriptor_(fileDescriptor), format_(format) {}

SoundBuffer::~SoundBuffer() {
    if (fileDescriptor_ >= 0) ::close(fileDescriptor_);
}

std::int64_t SoundBuffer::frameCount() const {
    const int blockBytes = format_.BlockBytes();
    return blockBytes > 0 ? byteCount_ / blockBytes : 0;
}

std::size_t SoundBuffer::Read(std::int64_t offsetBytes, void* destination, std::size_t size) const {
    if (offsetBytes < 0 || offsetBytes >= byteCount_) return 0;
    size = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(size), byteCount_ - offsetBytes));
    auto* next = static_cast<std::uint8_t*>(destination);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got =
            ::pread(fileDescriptor_, next + done, size - done, offsetBytes + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool SoundBuffer::SaveWav(const std::string& path, std::string* error) const {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    if (byteCount_ > std::numeric_limits<std::uint32_t>::max() - 36)
        return fail("sound too long for a WAV file");
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) return fail(path + ": " + std::strerror(errno));
    const auto header = MakeWavHeader(format_, static_cast<std::uint32_t>(byteCount_));
    bool ok = WriteAll(descriptor, header.data(), header.size());
    std::vector<std::uint8_t> chunk(1 << 16);
    for (std::int64_t offset = 0; ok && offset < byteCount_;) {
        const std::size_t got = Read(offset, chunk.data(), chunk.size());
        ok = got > 0 && WriteAll(descriptor, chunk.data(), got);
        offset += static_cast<std::int64_t>(got);
    }
    ok = (::close(descriptor) == 0) && ok;
    return ok ? true : fail(path + ": the file could not be written");
}

BufferWriter::BufferWriter(const PcmFormat& format) {
    const int descriptor = cb::OpenAnonymousTempFile();
    if (descriptor >= 0) buffer_.reset(new SoundBuffer(descriptor, format));
}

bool BufferWriter::Append(const void* bytes, std::size_t size) {
    if (!buffer_ || !WriteAll(buffer_->fileDescriptor_, bytes, size)) return false;
    buffer_->byteCount_ += static_cast<std::int64_t>(size);
    return true;
}

void PcmCursor::Seek(std::int64_t positionBytes) {
    const int blockBytes = std::max(1, buffer_->format().BlockBytes());
    positionBytes = std::clamp<std::int64_t>(positionBytes, 0, buffer_->byteCount());
    position_.store(positionBytes - positionBytes % blockBytes);
}

std::size_t PcmCursor::Pull(void* destination, std::size_t size) {
    const std::size_t got = buffer_->Read(position_.load(), destination, size);
    position_.fetch_add(static_cast<std::int64_t>(got));
    return got;
}

}  // namespace cb::sound

// Decoding of any sound file FFmpeg reads into the PCM of a SoundBuffer.

namespace cb::sound {
namespace {

// 8-bit PCM stays 8-bit (as the platform's sound buffers keep it); everything else becomes 16-bit.
PcmFormat TargetFormat(const AVCodecContext& codec) {
    const bool eightBit = codec.sample_fmt == AV_SAMPLE_FMT_U8 || codec.sample_fmt == AV_SAMPLE_FMT_U8P;
    return PcmFormat{codec.ch_layout.nb_channels > 1 ? 2 : 1, codec.sample_rate, eightBit ? 8 : 16};
}

class Decoder {
  public:
    bool Open(const std::string& path, std::string& error);
    std::unique_ptr<SoundBuffer> Run(std::string& error);
    // What the demuxer or decoder reported damaged, or how much shorter than stated the sound came
    // out; "" when whole. Valid after Run.
    std::string Damage() const;

  private:
    bool MakeResampler(std::string& error);
    void FindPicturesStart();
    bool PlaceFirstSamples(const AVFrame& frame, std::string& error);
    bool Store(const std::uint8_t* bytes, std::size_t size, std::string& error);
    bool Convert(const AVFrame* frame, std::string& error);
    bool Drain(AVPacket* packet, std::string& error);

    InputFormatPtr input_;
    CodecContextPtr codec_;
    ResamplerPtr resampler_;
    FramePtr frame_{av_frame_alloc()};
    PacketPtr packet_{av_packet_alloc()};
    std::vector<std::uint8_t> converted_;
    std::unique_ptr<BufferWriter> writer_;
    PcmFormat format_;
    int stream_ = -1;
    MediaErrorListener errors_;
    std::string damage_;  // the first damaged frame or refused packet
    int64_t frames_ = 0;  // sample frames decoded
    // In a file with pictures, where its first picture is shown, counted in samples of the sound's
    // time line; the decoded sound starts there. None for a file of sound alone.
    std::int64_t picturesStart_ = AV_NOPTS_VALUE;
    bool placed_ = false;         // the first samples were placed against the pictures' start
    std::int64_t dropBytes_ = 0;  // decoded bytes still to leave out: sound before the first picture
};

std::string Decoder::Damage() const {
    if (!errors_.First().empty()) return "the file is damaged: " + errors_.First();
    if (!damage_.empty()) return damage_;
    const double found = static_cast<double>(frames_) / codec_->sample_rate;
    return ShortfallText("the sound", found, StatedStreamSeconds(*input_, *input_->streams[stream_]));
}

bool Decoder::Open(const std::string& path, std::string& error) {
    AVFormatContext* raw = nullptr;
    int code = OpenMediaInput(&raw, path);
    if (code < 0) return error = path + ": " + MediaFailureText(code), false;
    input_.reset(raw);
    errors_.Listen(raw);
    if ((code = avformat_find_stream_info(raw, nullptr)) < 0) return error = MediaFailureText(code), false;
    const AVCodec* decoder = nullptr;
    stream_ = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (stream_ < 0 || !decoder) return error = path + ": no sound that can be decoded", false;
    codec_.reset(avcodec_alloc_context3(decoder));
    if (!codec_) return error = "out of memory", false;
    avcodec_parameters_to_context(codec_.get(), raw->streams[stream_]->codecpar);
    // One thread: the decoder then reports its errors on this one, where they are listened for.
    codec_->thread_count = 1;
    // With the stream's time base the decoder moves a frame's time past the samples it leaves out
    // (a codec's priming, the start of a cut), so the sound's times stay those of its samples.
    codec_->pkt_timebase = raw->streams[stream_]->time_base;
    if ((code = avcodec_open2(codec_.get(), decoder, nullptr)) < 0)
        return error = MediaFailureText(code), false;
    errors_.Listen(codec_.get());
    if (codec_->sample_rate <= 0 || codec_->ch_layout.nb_channels <= 0)
        return error = path + ": the sound has no rate or channels", false;
    format_ = TargetFormat(*codec_);
    FindPicturesStart();
    writer_ = std::make_unique<BufferWriter>(format_);
    if (!writer_->Ok()) return error = "no temporary file for the decoded sound", false;
    return MakeResampler(error);
}

bool Decoder::MakeResampler(std::string& error) {
    AVChannelLayout outLayout;
    av_channel_layout_default(&outLayout, format_.channels);
    SwrContext* raw = nullptr;
    const AVSampleFormat outFormat = format_.bitsPerSample == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16;
    int code = swr_alloc_set_opts2(&raw, &outLayout, outFormat, format_.sampleRate, &codec_->ch_layout,
                                   codec_->sample_fmt, codec_->sample_rate, 0, nullptr);
    resampler_.reset(raw);
    if (code >= 0) code = swr_init(raw);
    if (code < 0) return error = "sound conversion: " + MediaFailureText(code), false;
    return true;
}

void Decoder::FindPicturesStart() {
    const int video = av_find_best_stream(input_.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video < 0) return;
    const AVStream& pictures = *input_->streams[video];
    if ((pictures.disposition & AV_DISPOSITION_ATTACHED_PIC) != 0 || pictures.start_time == AV_NOPTS_VALUE)
        return;
    picturesStart_ = av_rescale_q(pictures.start_time, pictures.time_base, AVRational{1, format_.sampleRate});
}

// The sound of a file with pictures keeps its place against them: a sound that starts after the
// first picture is preceded by silence, one that starts before it loses what comes before.
bool Decoder::PlaceFirstSamples(const AVFrame& frame, std::string& error) {
    placed_ = true;
    const std::int64_t time = frame.pts != AV_NOPTS_VALUE ? frame.pts : frame.best_effort_timestamp;
    if (picturesStart_ == AV_NOPTS_VALUE || time == AV_NOPTS_VALUE) return true;
    const AVRational timeBase = input_->streams[stream_]->time_base;
    const std::int64_t late =
        av_rescale_q(time, timeBase, AVRational{1, format_.sampleRate}) - picturesStart_;
    // Times farther apart than the file lasts (an hour when it does not say) are damaged, not a
    // place to keep.
    const std::int64_t lasts = input_->duration > 0 ? input_->duration : std::int64_t{3600} * AV_TIME_BASE;
    if (std::abs(late) > av_rescale(lasts, format_.sampleRate, AV_TIME_BASE)) return true;
    const std::int64_t blockBytes = format_.BlockBytes();
    if (late < 0) {
        dropBytes_ = -late * blockBytes;
        return true;
    }
    const std::vector<std::uint8_t> silence(
        static_cast<std::size_t>(std::min<std::int64_t>(late, 1 << 16) * blockBytes),
        format_.bitsPerSample == 8 ? 0x80 : 0);
    for (std::int64_t left = late * blockBytes; left > 0;) {
        const auto size =
            static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(silence.size())));
        if (!Store(silence.data(), size, error)) return false;
        left -= static_cast<std::int64_t>(size);
    }
    return true;
}

// Appends converted samples, less those still to be left out.
bool Decoder::Store(const std::uint8_t* bytes, std::size_t size, std::string& error) {
    const auto dropped =
        static_cast<std::size_t>(std::min<std::int64_t>(dropBytes_, static_cast<std::int64_t>(size)));
    dropBytes_ -= static_cast<std::int64_t>(dropped);
    if (size > dropped && !writer_->Append(bytes + dropped, size - dropped))
        return error = "the decoded sound could not be stored (disk full?)", false;
    return true;
}

bool Decoder::Convert(const AVFrame* frame, std::string& error) {
    if (frame != nullptr && !placed_ && !PlaceFirstSamples(*frame, error)) return false;
    const int room = swr_get_out_samples(resampler_.get(), frame ? frame->nb_samples : 0);
    if (room <= 0) return true;
    converted_.resize(static_cast<std::size_t>(room) * static_cast<std::size_t>(format_.BlockBytes()));
    std::uint8_t* out = converted_.data();
    const int made = swr_convert(resampler_.get(), &out, room,
                                 frame ? const_cast<const std::uint8_t**>(frame->extended_data) : nullptr,
                                 frame ? frame->nb_samples : 0);
    if (made < 0) return error = "sound conversion: " + MediaFailureText(made), false;
    return Store(converted_.data(), static_cast<std::size_t>(made) * format_.BlockBytes(), error);
}

// Sends one packet (null: end of stream) and converts every frame the decoder gives back.
bool Decoder::Drain(AVPacket* packet, std::string& error) {
    int code = avcodec_send_packet(codec_.get(), packet);
    // A damaged packet is skipped, as players do; the rest of the sound still decodes, and the
    // damage is told.
    if (code == AVERROR_INVALIDDATA && damage_.empty()) damage_ = "the decoder refused a damaged packet";
    if (code < 0 && code != AVERROR_EOF && code != AVERROR_INVALIDDATA)
        return error = MediaFailureText(code), false;
    while ((code = avcodec_receive_frame(codec_.get(), frame_.get())) >= 0) {
        if (damage_.empty()) damage_ = FrameDamage(*frame_);
        frames_ += frame_->nb_samples;
        const bool ok = Convert(frame_.get(), error);
        av_frame_unref(frame_.get());
        if (!ok) return false;
    }
    if (code != AVERROR(EAGAIN) && code != AVERROR_EOF && code != AVERROR_INVALIDDATA)
        return error = MediaFailureText(code), false;
    return true;
}

std::unique_ptr<SoundBuffer> Decoder::Run(std::string& error) {
    int code = 0;
    while ((code = av_read_frame(input_.get(), packet_.get())) >= 0) {
        bool ok = true;
        if (packet_->stream_index == stream_) ok = Drain(packet_.get(), error);
        av_packet_unref(packet_.get());
        if (!ok) return nullptr;
    }
    if (code != AVERROR_EOF) return error = MediaFailureText(code), nullptr;
    if (!Drain(nullptr, error) || !Convert(nullptr, error)) return nullptr;
    return writer_->Finish();
}

}  // namespace

std::unique_ptr<SoundBuffer> SoundBuffer::Decode(const std::string& path, std::string* error,
                                                 std::string* damage) {
    std::string reason;
    std::unique_ptr<SoundBuffer> buffer;
    if (damage) damage->clear();
    if (!SoundAvailable()) {
        reason = "the sound component is switched off";
    } else {
        Decoder decoder;
        if (decoder.Open(path, reason)) buffer = decoder.Run(reason);
        if (buffer && damage) *damage = decoder.Damage();
    }
    if (!buffer && error) *error = reason;
    return buffer;
}

}  // namespace cb::sound

// The player: one decoded sound, a play position, and an output made by the current factory.
namespace cb::sound {
namespace {

std::mutex factoryLock;
SoundOutputFactory& CurrentFactory() {
    static SoundOutputFactory factory;
    return factory;
}

std::unique_ptr<SoundOutput> MakeOutput() {
    std::lock_guard lock(factoryLock);
    return CurrentFactory() ? CurrentFactory()() : MakeMachineOutput();
}

}  // namespace

SoundOutputFactory SetSoundOutputFactory(SoundOutputFactory factory) {
    std::lock_guard lock(factoryLock);
    std::swap(CurrentFactory(), factory);
    return factory;
}

SoundPlayer::SoundPlayer(std::shared_ptr<const SoundBuffer> buffer)
    : cursor_(std::make_shared<PcmCursor>(std::move(buffer))), output_(MakeOutput()) {}

SoundPlayer::~SoundPlayer() { Stop(); }

PlayResult SoundPlayer::Play() {
    if (!output_ || !SoundAvailable()) return PlayResult::NoDevice;
    // Stopping first leaves the cursor at what was heard, so a second Play resumes there.
    output_->Stop();
    if (cursor_->AtEnd()) cursor_->Seek(0);
    startBytes_ = cursor_->positionBytes();
    playing_ = output_->Start(cursor_);
    return playing_ ? PlayResult::Playing : PlayResult::NoDevice;
}

void SoundPlayer::Stop() {
    if (output_) output_->Stop();
    playing_ = false;
}

void SoundPlayer::Seek(std::int64_t positionBytes) {
    Stop();
    cursor_->Seek(positionBytes);
}

double SoundPlayer::PlayedSeconds() const {
    const PcmFormat& format = cursor_->format();
    const double bytesPerSecond = static_cast<double>(format.BlockBytes()) * format.sampleRate;
    if (bytesPerSecond <= 0) return 0;
    const std::int64_t played = playing_ && output_ ? output_->PlayedMicroseconds() : -1;
    if (played < 0) return static_cast<double>(cursor_->positionBytes()) / bytesPerSecond;
    return static_cast<double>(startBytes_) / bytesPerSecond + static_cast<double>(played) / 1e6;
}

}  // namespace cb::sound
