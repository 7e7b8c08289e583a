#include "demo_media.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "cbplatform/ffmpeg_owners.h"
#include "cbplatform/sound.h"

namespace demo {

namespace {

// An output format context with the file it opened.
struct OutputFormatClose {
    void operator()(AVFormatContext* context) const {
        if (context->pb) avio_closep(&context->pb);
        avformat_free_context(context);
    }
};
using OutputFormatPtr = std::unique_ptr<AVFormatContext, OutputFormatClose>;

void Check(int status, const char* what) {
    if (status >= 0) return;
    std::array<char, AV_ERROR_MAX_STRING_SIZE> reason{};
    av_strerror(status, reason.data(), reason.size());
    throw std::runtime_error(std::string(what) + ": " + reason.data());
}

template <typename T>
T* Made(T* object, const char* what) {
    if (!object) throw std::runtime_error(std::string("cannot allocate ") + what);
    return object;
}

// One encoder feeding one stream of the file.
struct StreamEncoder {
    cb::CodecContextPtr codec;
    AVStream* stream = nullptr;
};

StreamEncoder OpenEncoder(AVFormatContext& file, AVCodecID id,
                          const std::function<void(AVCodecContext&)>& setUp) {
    const AVCodec* encoder = avcodec_find_encoder(id);
    if (!encoder) throw std::runtime_error(std::string("no encoder for ") + avcodec_get_name(id));
    StreamEncoder result;
    result.codec.reset(Made(avcodec_alloc_context3(encoder), "an encoder"));
    setUp(*result.codec);
    if (file.oformat->flags & AVFMT_GLOBALHEADER) result.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    Check(avcodec_open2(result.codec.get(), encoder, nullptr), "opening the encoder");
    result.stream = Made(avformat_new_stream(&file, nullptr), "a stream");
    Check(avcodec_parameters_from_context(result.stream->codecpar, result.codec.get()),
          "describing the stream");
    result.stream->time_base = result.codec->time_base;
    return result;
}

// Sends a frame (or nullptr to drain) and writes every packet the encoder gives back.
void Encode(AVFormatContext& file, StreamEncoder& encoder, AVFrame* frame) {
    Check(avcodec_send_frame(encoder.codec.get(), frame), "encoding");
    cb::PacketPtr packet(Made(av_packet_alloc(), "a packet"));
    while (true) {
        const int status = avcodec_receive_packet(encoder.codec.get(), packet.get());
        if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) return;
        Check(status, "encoding");
        av_packet_rescale_ts(packet.get(), encoder.codec->time_base, encoder.stream->time_base);
        packet->stream_index = encoder.stream->index;
        Check(av_interleaved_write_frame(&file, packet.get()), "writing a packet");
    }
}

// Video-1 takes 15-bit colour: five bits per channel.
uint16_t Rgb555(const Rgb& colour) {
    return static_cast<uint16_t>(((colour.red >> 3) << 10) | ((colour.green >> 3) << 5) | (colour.blue >> 3));
}

void CopyImage(const Image& image, AVFrame& frame) {
    Check(av_frame_make_writable(&frame), "preparing a frame");
    for (int32_t row = 0; row < image.height; ++row) {
        auto* line =
            reinterpret_cast<uint16_t*>(frame.data[0] + static_cast<std::ptrdiff_t>(row) * frame.linesize[0]);
        for (int32_t column = 0; column < image.width; ++column) {
            line[column] = Rgb555(image.pixels[static_cast<std::size_t>(row) * image.width + column]);
        }
    }
}

void WriteLittleEndian(std::ofstream& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::ofstream OpenForWriting(const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot create " + path);
    return out;
}

void Finish(std::ofstream& out, const std::string& path) {
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void WriteAviClip(const std::string& path, const AviClipSpec& spec, const FrameDrawer& draw,
                  const SampleMaker& sound) {
    AVFormatContext* raw = nullptr;
    Check(avformat_alloc_output_context2(&raw, nullptr, "avi", path.c_str()), "choosing the AVI format");
    OutputFormatPtr file(raw);

    StreamEncoder video = OpenEncoder(*file, AV_CODEC_ID_MSVIDEO1, [&](AVCodecContext& codec) {
        codec.width = spec.width;
        codec.height = spec.height;
        codec.pix_fmt = AV_PIX_FMT_RGB555;
        codec.time_base = AVRational{1, spec.framesPerSecond};
        codec.framerate = AVRational{spec.framesPerSecond, 1};
        codec.gop_size = 25;
    });
    StreamEncoder audio;
    if (spec.sampleRate > 0) {
        audio = OpenEncoder(*file, AV_CODEC_ID_PCM_S16LE, [&](AVCodecContext& codec) {
            codec.sample_fmt = AV_SAMPLE_FMT_S16;
            codec.sample_rate = spec.sampleRate;
            av_channel_layout_default(&codec.ch_layout, 1);
            codec.time_base = AVRational{1, spec.sampleRate};
        });
    }
    Check(avio_open(&file->pb, path.c_str(), AVIO_FLAG_WRITE), "creating the file");
    Check(avformat_write_header(file.get(), nullptr), "writing the header");

    cb::FramePtr picture(Made(av_frame_alloc(), "a frame"));
    picture->format = AV_PIX_FMT_RGB555;
    picture->width = spec.width;
    picture->height = spec.height;
    Check(av_frame_get_buffer(picture.get(), 0), "allocating a frame");
    Image image{spec.width, spec.height,
                std::vector<Rgb>(static_cast<std::size_t>(spec.width) * spec.height)};

    cb::FramePtr samples(Made(av_frame_alloc(), "a frame"));
    int64_t samplesWritten = 0;
    for (int32_t frame = 0; frame < spec.frameCount; ++frame) {
        draw(frame, image);
        CopyImage(image, *picture);
        picture->pts = frame;
        Encode(*file, video, picture.get());
        if (!audio.codec) continue;
        // The sound up to the end of this frame, so that the file interleaves evenly.
        const int64_t soundEnd = static_cast<int64_t>(frame + 1) * spec.sampleRate / spec.framesPerSecond;
        av_frame_unref(samples.get());
        samples->format = AV_SAMPLE_FMT_S16;
        samples->sample_rate = spec.sampleRate;
        samples->nb_samples = static_cast<int>(soundEnd - samplesWritten);
        Check(av_channel_layout_copy(&samples->ch_layout, &audio.codec->ch_layout), "describing the sound");
        Check(av_frame_get_buffer(samples.get(), 0), "allocating sound");
        auto* out = reinterpret_cast<int16_t*>(samples->data[0]);
        for (int i = 0; i < samples->nb_samples; ++i) out[i] = sound(samplesWritten + i);
        samples->pts = samplesWritten;
        samplesWritten = soundEnd;
        Encode(*file, audio, samples.get());
    }
    Encode(*file, video, nullptr);
    if (audio.codec) Encode(*file, audio, nullptr);
    Check(av_write_trailer(file.get()), "finishing the file");
}

void WriteBmp(const std::string& path, const Image& image) {
    const uint32_t rowBytes = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
    const uint32_t dataBytes = rowBytes * static_cast<uint32_t>(image.height);
    std::ofstream out = OpenForWriting(path);
    out.write("BM", 2);
    WriteLittleEndian(out, 54 + dataBytes, 4);
    WriteLittleEndian(out, 0, 4);
    WriteLittleEndian(out, 54, 4);
    WriteLittleEndian(out, 40, 4);
    WriteLittleEndian(out, static_cast<uint32_t>(image.width), 4);
    WriteLittleEndian(out, static_cast<uint32_t>(image.height), 4);
    WriteLittleEndian(out, 1, 2);
    WriteLittleEndian(out, 24, 2);
    for (int i = 0; i < 6; ++i) WriteLittleEndian(out, i == 1 ? dataBytes : 0, 4);
    std::vector<char> line(rowBytes, 0);
    for (int32_t row = image.height - 1; row >= 0; --row) {  // bottom row first
        for (int32_t column = 0; column < image.width; ++column) {
            const Rgb& colour = image.pixels[static_cast<std::size_t>(row) * image.width + column];
            line[column * 3] = static_cast<char>(colour.blue);
            line[column * 3 + 1] = static_cast<char>(colour.green);
            line[column * 3 + 2] = static_cast<char>(colour.red);
        }
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
    Finish(out, path);
}

void WriteWav(const std::string& path, int32_t sampleRate, int64_t frames, const SampleMaker& sound) {
    const auto dataBytes = static_cast<uint32_t>(frames * 2);
    std::ofstream out = OpenForWriting(path);
    const auto header = cb::sound::MakeWavHeader(cb::sound::PcmFormat{1, sampleRate, 16}, dataBytes);
    out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
    for (int64_t i = 0; i < frames; ++i) WriteLittleEndian(out, static_cast<uint16_t>(sound(i)), 2);
    Finish(out, path);
}

}  // namespace demo
