// Decoding of any sound file FFmpeg reads into the PCM of a SoundBuffer.
#include <string>

#include "buffer_writer.h"
#include "cbplatform/ffmpeg_owners.h"
#include "cbplatform/sound.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace cb::sound {
namespace {

std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// 8-bit PCM stays 8-bit (as the platform's sound buffers keep it); everything else becomes 16-bit.
PcmFormat TargetFormat(const AVCodecContext& codec) {
    const bool eightBit = codec.sample_fmt == AV_SAMPLE_FMT_U8 || codec.sample_fmt == AV_SAMPLE_FMT_U8P;
    return PcmFormat{codec.ch_layout.nb_channels > 1 ? 2 : 1, codec.sample_rate, eightBit ? 8 : 16};
}

class Decoder {
  public:
    bool Open(const std::string& path, std::string& error);
    std::unique_ptr<SoundBuffer> Run(std::string& error);

  private:
    bool MakeResampler(std::string& error);
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
};

bool Decoder::Open(const std::string& path, std::string& error) {
    AVFormatContext* raw = nullptr;
    int code = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    if (code < 0) return error = path + ": " + AvError(code), false;
    input_.reset(raw);
    if ((code = avformat_find_stream_info(raw, nullptr)) < 0) return error = AvError(code), false;
    const AVCodec* decoder = nullptr;
    stream_ = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (stream_ < 0 || !decoder) return error = path + ": no sound that can be decoded", false;
    codec_.reset(avcodec_alloc_context3(decoder));
    if (!codec_) return error = "out of memory", false;
    avcodec_parameters_to_context(codec_.get(), raw->streams[stream_]->codecpar);
    if ((code = avcodec_open2(codec_.get(), decoder, nullptr)) < 0) return error = AvError(code), false;
    if (codec_->sample_rate <= 0 || codec_->ch_layout.nb_channels <= 0)
        return error = path + ": the sound has no rate or channels", false;
    format_ = TargetFormat(*codec_);
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
    if (code < 0) return error = "sound conversion: " + AvError(code), false;
    return true;
}

bool Decoder::Convert(const AVFrame* frame, std::string& error) {
    const int room = swr_get_out_samples(resampler_.get(), frame ? frame->nb_samples : 0);
    if (room <= 0) return true;
    converted_.resize(static_cast<std::size_t>(room) * static_cast<std::size_t>(format_.BlockBytes()));
    std::uint8_t* out = converted_.data();
    const int made = swr_convert(resampler_.get(), &out, room,
                                 frame ? const_cast<const std::uint8_t**>(frame->extended_data) : nullptr,
                                 frame ? frame->nb_samples : 0);
    if (made < 0) return error = "sound conversion: " + AvError(made), false;
    if (!writer_->Append(converted_.data(), static_cast<std::size_t>(made) * format_.BlockBytes()))
        return error = "the decoded sound could not be stored (disk full?)", false;
    return true;
}

// Sends one packet (null: end of stream) and converts every frame the decoder gives back.
bool Decoder::Drain(AVPacket* packet, std::string& error) {
    int code = avcodec_send_packet(codec_.get(), packet);
    // A damaged packet is skipped, as players do; the rest of the sound still decodes.
    if (code < 0 && code != AVERROR_EOF && code != AVERROR_INVALIDDATA) return error = AvError(code), false;
    while ((code = avcodec_receive_frame(codec_.get(), frame_.get())) >= 0) {
        const bool ok = Convert(frame_.get(), error);
        av_frame_unref(frame_.get());
        if (!ok) return false;
    }
    if (code != AVERROR(EAGAIN) && code != AVERROR_EOF && code != AVERROR_INVALIDDATA)
        return error = AvError(code), false;
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
    if (code != AVERROR_EOF) return error = AvError(code), nullptr;
    if (!Drain(nullptr, error) || !Convert(nullptr, error)) return nullptr;
    return writer_->Finish();
}

}  // namespace

std::unique_ptr<SoundBuffer> SoundBuffer::Decode(const std::string& path, std::string* error) {
    std::string reason;
    std::unique_ptr<SoundBuffer> buffer;
    if (!SoundAvailable()) {
        reason = "the sound component is switched off";
    } else {
        Decoder decoder;
        if (decoder.Open(path, reason)) buffer = decoder.Run(reason);
    }
    if (!buffer && error) *error = reason;
    return buffer;
}

}  // namespace cb::sound
