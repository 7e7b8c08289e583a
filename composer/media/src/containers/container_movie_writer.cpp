#include "media/containers/container_movie_writer.h"

#include <algorithm>
#include <tuple>

#include "base/failure.h"
#include "cbplatform/ffmpeg_owners.h"
#include "cbplatform/picture.h"
#include "containers/ffmpeg_error_text.h"
#include "document/clip_file_kinds.h"
#include "vidmill/vidmill.h"

extern "C" {
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
}

namespace composer {
namespace {

constexpr int kOpusRate = 48000;
constexpr int kOpusBitsPerSecond = 128'000;
// VP9's constant-quality scale runs to 63: this offset gives about the look of the H.264 factor.
constexpr int kVp9QualityOffset = 11;
constexpr int kMaxRateDenominator = 100'000;

// The H.264 encoder keeps about 3.3 bytes a pixel for every picture it looks ahead at (its "medium"
// speed looks 40 ahead: 270 MiB at 1080p). Its look-ahead is held to this much memory, 10 to 40
// pictures: full HD movies are coded within a few hundred MiB, smaller ones as the preset has it.
constexpr double kLookAheadBytes = 64.0 * 1024 * 1024;
constexpr double kLookAheadBytesPerPixel = 3.3;
constexpr int kFewestLookAhead = 10;
constexpr int kMostLookAhead = 40;

int LookAheadPictures(int width, int height) {
    const double perPicture = kLookAheadBytesPerPixel * width * height;
    return std::clamp(static_cast<int>(kLookAheadBytes / perPicture), kFewestLookAhead, kMostLookAhead);
}

struct OutputClose {
    void operator()(AVFormatContext* context) const {
        if ((context->oformat->flags & AVFMT_NOFILE) == 0) avio_closep(&context->pb);
        avformat_free_context(context);
    }
};
struct FifoFree {
    void operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }
};

const char* MuxerName(ShareFormat format) {
    switch (format) {
        case ShareFormat::Mp4:
            return "mp4";
        case ShareFormat::WebM:
            return "webm";
        default:
            return "matroska";
    }
}

// A frame of the encoder's sound format without samples yet.
cb::FramePtr EmptySoundFrame(const AVCodecContext& encoder) {
    cb::FramePtr frame(av_frame_alloc());
    if (!frame || av_channel_layout_copy(&frame->ch_layout, &encoder.ch_layout) < 0) throw std::bad_alloc();
    frame->sample_rate = encoder.sample_rate;
    frame->format = encoder.sample_fmt;
    return frame;
}

// An encoder and the stream its packets go to.
struct Encoding {
    cb::CodecContextPtr context;
    AVStream* stream = nullptr;
};

// The tags of a movie's colours: BT.709 for high definition, else BT.601 as SMPTE 170M.
void TagColours(AVColorSpace& space, AVColorPrimaries& primaries, AVColorTransferCharacteristic& transfer,
                int colourSpace) {
    const bool high = colourSpace == AVCOL_SPC_BT709;
    space = high ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
    primaries = high ? AVCOL_PRI_BT709 : AVCOL_PRI_SMPTE170M;
    transfer = high ? AVCOL_TRC_BT709 : AVCOL_TRC_SMPTE170M;
}

}  // namespace

ShareFormat ShareFormatOfFile(const std::string& path) {
    const std::string extension = FileExtension(path);
    if (extension == ".mp4") return ShareFormat::Mp4;
    if (extension == ".mkv") return ShareFormat::Matroska;
    if (extension == ".webm") return ShareFormat::WebM;
    return ShareFormat::None;
}

std::string ShareFrameSizeProblem(int32_t width, int32_t height) {
    if (static_cast<int64_t>(width) * height <= kLargestSharePixels) return "";
    return "Frame size " + std::to_string(width) + " x " + std::to_string(height) +
           " is too large for an MP4, MKV or WebM movie: at most 4096 x 4096 pixels in all (an AVI movie "
           "takes up to 8192 x 8192)";
}

std::pair<int32_t, int32_t> ShareWrittenSize(int32_t width, int32_t height) {
    return {(width + 1) & ~1, (height + 1) & ~1};
}

std::string ShareFrameSizeRounding(int32_t width, int32_t height) {
    const auto [writtenWidth, writtenHeight] = ShareWrittenSize(width, height);
    if (writtenWidth == width && writtenHeight == height) return "";
    return "The movie's frame size " + std::to_string(width) + " x " + std::to_string(height) +
           " is written as " + std::to_string(writtenWidth) + " x " + std::to_string(writtenHeight) +
           ": MP4, MKV and WebM movies take only even widths and heights.";
}

ShareVideo ShareVideoOfCompressor(int32_t handler) {
    if (handler == vidmill::FourCC("H264")) return ShareVideo::H264;
    if (handler == vidmill::FourCC("VP90")) return ShareVideo::Vp9;
    return ShareVideo::FormatDefault;
}

const std::vector<std::string>& ShareSpeeds() {
    static const std::vector<std::string> speeds{"ultrafast", "superfast", "veryfast", "faster",  "fast",
                                                 "medium",    "slow",      "slower",   "veryslow"};
    return speeds;
}

struct ContainerMovieWriter::State {
    std::string path;
    std::unique_ptr<AVFormatContext, OutputClose> output;
    Encoding video;
    Encoding sound;
    cb::FramePtr picture{av_frame_alloc()};
    cb::FramePtr samples{av_frame_alloc()};
    cb::PacketPtr packet{av_packet_alloc()};
    cb::ScalerPtr scaler;
    int32_t width = 0;
    int32_t height = 0;
    int colourSpace = AVCOL_SPC_BT709;  // the matrix the pictures are coded with (MovieColourSpace)
    int64_t framesWritten = 0;
    // The sound file, decoded, converted to the encoder's format and queued until a frame's worth.
    cb::InputFormatPtr soundInput;
    cb::CodecContextPtr soundDecoder;
    cb::ResamplerPtr resampler;
    std::unique_ptr<AVAudioFifo, FifoFree> queue;
    int soundStream = -1;
    int64_t samplesWritten = 0;
    bool soundEnded = false;

    [[noreturn]] void Fail(const std::string& why) const {
        throw Failure("The movie " + path + " cannot be written: " + why);
    }
    void OpenVideo(ShareFormat format, double framesPerSecond, const ShareSettings& settings);
    void OpenSoundInput(const std::string& soundFile);
    void OpenSound(ShareFormat format, const ShareSettings& settings);
    void OpenEncoder(Encoding& encoding, const AVCodec& codec, AVDictionary* options);
    void Write(Encoding& encoding, const AVFrame* frame);
    void WriteFrame(AVFrame& frame);
    void DecodeMoreSound();
    void QueueSamples(const uint8_t** input, int count);
    void WriteSoundUntil(int64_t sampleCount);
};

void ContainerMovieWriter::State::OpenEncoder(Encoding& encoding, const AVCodec& codec,
                                              AVDictionary* options) {
    AVCodecContext& context = *encoding.context;
    if ((output->oformat->flags & AVFMT_GLOBALHEADER) != 0) context.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // The encoder leaves in `options` what it did not take; they are freed either way.
    const int code = avcodec_open2(&context, &codec, &options);
    av_dict_free(&options);
    if (code < 0) Fail(std::string(codec.name) + " cannot be opened: " + FfmpegErrorText(code));
    encoding.stream = avformat_new_stream(output.get(), nullptr);
    if (encoding.stream == nullptr ||
        avcodec_parameters_from_context(encoding.stream->codecpar, &context) < 0)
        Fail("its streams cannot be set up.");
    encoding.stream->time_base = context.time_base;
}

void ContainerMovieWriter::State::OpenVideo(ShareFormat format, double framesPerSecond,
                                            const ShareSettings& settings) {
    const bool vp9 = format == ShareFormat::WebM || settings.video == ShareVideo::Vp9;
    const char* name = vp9 ? "libvpx-vp9" : "libx264";
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (codec == nullptr) Fail(std::string("there is no ") + name + " encoder.");
    video.context.reset(avcodec_alloc_context3(codec));
    if (!video.context || !picture || !samples || !packet) throw std::bad_alloc();
    AVCodecContext& context = *video.context;
    std::tie(context.width, context.height) = ShareWrittenSize(width, height);
    const AVRational rate = av_d2q(framesPerSecond, kMaxRateDenominator);
    if (rate.num <= 0 || rate.den <= 0) Fail("its frame rate is not valid.");
    context.time_base = av_inv_q(rate);
    context.framerate = rate;
    context.pix_fmt = AV_PIX_FMT_YUV420P;
    colourSpace = MovieColourSpace(context.height);
    TagColours(context.colorspace, context.color_primaries, context.color_trc, colourSpace);
    context.color_range = AVCOL_RANGE_MPEG;
    context.thread_count = 0;
    AVDictionary* options = nullptr;
    if (vp9) {
        context.bit_rate = 0;  // constant quality only
        av_dict_set_int(&options, "crf", std::clamp(settings.quality + kVp9QualityOffset, 0, 63), 0);
        av_dict_set(&options, "deadline", "good", 0);
        av_dict_set(&options, "cpu-used", "4", 0);
        av_dict_set(&options, "row-mt", "1", 0);
    } else {
        av_dict_set_int(&options, "crf", std::clamp(settings.quality, 0, 51), 0);
        av_dict_set(&options, "preset", settings.speed.c_str(), 0);
        av_dict_set(&options, "profile", "high", 0);
        av_dict_set_int(&options, "rc-lookahead", LookAheadPictures(context.width, context.height), 0);
        // The look-ahead runs on a thread of its own, one picture ahead of the coding threads: it
        // overlaps the coding as the threads' default buffer of several pictures does, for the
        // memory of one.
        av_dict_set(&options, "x264-params", "sync-lookahead=1", 0);
    }
    OpenEncoder(video, *codec, options);
    video.stream->avg_frame_rate = rate;
    picture->format = context.pix_fmt;
    picture->width = context.width;
    picture->height = context.height;
    if (av_frame_get_buffer(picture.get(), 0) < 0) throw std::bad_alloc();
}

void ContainerMovieWriter::State::OpenSoundInput(const std::string& soundFile) {
    AVFormatContext* opened = nullptr;
    const int code = cb::OpenMediaInput(&opened, soundFile);
    if (code < 0) Fail("its sound " + soundFile + " cannot be read: " + FfmpegErrorText(code));
    soundInput.reset(opened);
    const AVCodec* decoder = nullptr;
    if (avformat_find_stream_info(opened, nullptr) < 0 ||
        (soundStream = av_find_best_stream(opened, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0)) < 0)
        Fail("its sound " + soundFile + " has no sound stream.");
    soundDecoder.reset(avcodec_alloc_context3(decoder));
    if (!soundDecoder ||
        avcodec_parameters_to_context(soundDecoder.get(), opened->streams[soundStream]->codecpar) < 0 ||
        avcodec_open2(soundDecoder.get(), decoder, nullptr) < 0)
        Fail("its sound " + soundFile + " cannot be decoded.");
}

void ContainerMovieWriter::State::OpenSound(ShareFormat format, const ShareSettings& settings) {
    const bool opus = format == ShareFormat::WebM;
    const char* name = opus ? "libopus" : "aac";
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (codec == nullptr) Fail(std::string("there is no ") + name + " encoder.");
    sound.context.reset(avcodec_alloc_context3(codec));
    if (!sound.context) throw std::bad_alloc();
    AVCodecContext& context = *sound.context;
    const AVCodecContext& source = *soundDecoder;
    context.sample_rate = opus ? kOpusRate : source.sample_rate;
    context.sample_fmt = codec->sample_fmts != nullptr ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    av_channel_layout_default(&context.ch_layout, std::clamp(source.ch_layout.nb_channels, 1, 2));
    // AAC codes at most 6 bits a sample of each channel: a low rate takes less than asked.
    const int64_t aacLimit = int64_t{6} * context.sample_rate * context.ch_layout.nb_channels;
    context.bit_rate = opus ? kOpusBitsPerSecond : std::min<int64_t>(settings.soundBitsPerSecond, aacLimit);
    context.time_base = AVRational{1, context.sample_rate};
    OpenEncoder(sound, *codec, nullptr);

    // A WAV file names no channel order: the usual one for its number of channels.
    AVChannelLayout input{};
    av_channel_layout_default(&input, source.ch_layout.nb_channels);
    SwrContext* made = nullptr;
    if (swr_alloc_set_opts2(&made, &context.ch_layout, context.sample_fmt, context.sample_rate, &input,
                            source.sample_fmt, source.sample_rate, 0, nullptr) < 0)
        Fail("its sound cannot be converted.");
    resampler.reset(made);
    queue.reset(av_audio_fifo_alloc(context.sample_fmt, context.ch_layout.nb_channels, 1));
    if (swr_init(made) < 0 || !queue) Fail("its sound cannot be converted.");
}

// Sends a frame (null: the end) to the encoder and its packets to the file.
void ContainerMovieWriter::State::Write(Encoding& encoding, const AVFrame* frame) {
    if (avcodec_send_frame(encoding.context.get(), frame) < 0) Fail("a frame was refused by the encoder.");
    for (;;) {
        const int received = avcodec_receive_packet(encoding.context.get(), packet.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
        if (received < 0) Fail("the encoder failed: " + FfmpegErrorText(received));
        av_packet_rescale_ts(packet.get(), encoding.context->time_base, encoding.stream->time_base);
        packet->stream_index = encoding.stream->index;
        const int written = av_interleaved_write_frame(output.get(), packet.get());
        if (written < 0) Fail(FfmpegErrorText(written));
    }
}

// Converts `count` samples (none: what the converter still holds) and queues them.
void ContainerMovieWriter::State::QueueSamples(const uint8_t** input, int count) {
    const cb::FramePtr converted = EmptySoundFrame(*sound.context);
    converted->nb_samples = swr_get_out_samples(resampler.get(), count);
    if (converted->nb_samples <= 0) return;
    if (av_frame_get_buffer(converted.get(), 0) < 0) throw std::bad_alloc();
    const int made = swr_convert(resampler.get(), converted->data, converted->nb_samples, input, count);
    if (made < 0) Fail("its sound cannot be converted.");
    if (av_audio_fifo_write(queue.get(), reinterpret_cast<void**>(converted->data), made) < made)
        throw std::bad_alloc();
}

// Decodes the next packet of the sound file into the queue; at its end, what the converter holds.
void ContainerMovieWriter::State::DecodeMoreSound() {
    const bool more = av_read_frame(soundInput.get(), packet.get()) >= 0;
    if (more && packet->stream_index != soundStream) {
        av_packet_unref(packet.get());
        return;
    }
    avcodec_send_packet(soundDecoder.get(), more ? packet.get() : nullptr);
    av_packet_unref(packet.get());
    while (avcodec_receive_frame(soundDecoder.get(), samples.get()) >= 0) {
        QueueSamples(const_cast<const uint8_t**>(samples->extended_data), samples->nb_samples);
        av_frame_unref(samples.get());
    }
    if (more) return;
    soundEnded = true;
    QueueSamples(nullptr, 0);  // the converter's last samples
}

// Codes the sound up to `sampleCount` samples from the start (all of it when negative), in frames of
// the encoder's size; the last frame may be shorter.
void ContainerMovieWriter::State::WriteSoundUntil(int64_t sampleCount) {
    const AVCodecContext& context = *sound.context;
    const int frameSize = context.frame_size > 0 ? context.frame_size : 1024;
    const bool all = sampleCount < 0;
    for (;;) {
        while (!soundEnded && av_audio_fifo_size(queue.get()) < frameSize) DecodeMoreSound();
        const int queued = av_audio_fifo_size(queue.get());
        if (queued == 0 || (!all && samplesWritten >= sampleCount)) return;
        const int take = std::min(queued, frameSize);
        const cb::FramePtr frame = EmptySoundFrame(context);
        frame->nb_samples = take;
        if (av_frame_get_buffer(frame.get(), 0) < 0) throw std::bad_alloc();
        av_audio_fifo_read(queue.get(), reinterpret_cast<void**>(frame->data), take);
        frame->pts = samplesWritten;
        samplesWritten += take;
        Write(sound, frame.get());
    }
}

ContainerMovieWriter::ContainerMovieWriter(const std::string& path, ShareFormat format, int32_t width,
                                           int32_t height, double framesPerSecond,
                                           const std::string& soundFile, const ShareSettings& settings)
    : state_(std::make_unique<State>()) {
    State& state = *state_;
    state.path = path;
    state.width = width;
    state.height = height;
    if (width < 1 || height < 1) state.Fail("its frame size is not valid.");
    if (const std::string problem = ShareFrameSizeProblem(width, height); !problem.empty())
        state.Fail(problem);
    AVFormatContext* made = nullptr;
    if (avformat_alloc_output_context2(&made, nullptr, MuxerName(format), path.c_str()) < 0 ||
        made == nullptr)
        state.Fail("its format is not available.");
    state.output.reset(made);
    state.OpenVideo(format, framesPerSecond, settings);
    if (!soundFile.empty()) {
        state.OpenSoundInput(soundFile);
        state.OpenSound(format, settings);
    }
    const int opened = avio_open(&made->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (opened < 0) state.Fail(FfmpegErrorText(opened));
    AVDictionary* options = nullptr;
    // The index in front: players (and browsers) start before they have the whole file.
    if (format == ShareFormat::Mp4) av_dict_set(&options, "movflags", "+faststart", 0);
    const int header = avformat_write_header(made, &options);
    av_dict_free(&options);
    if (header < 0) state.Fail(FfmpegErrorText(header));
}

ContainerMovieWriter::~ContainerMovieWriter() = default;

void ContainerMovieWriter::AddPicture(IPicture* picture) {
    State& state = *state_;
    const std::shared_ptr<cb::Bitmap> bitmap = cb::PictureBitmap(picture);
    if (!bitmap || bitmap->width() < state.width || bitmap->height() < state.height ||
        (bitmap->bitsPerPixel() != 32 && bitmap->bitsPerPixel() != 24))
        state.Fail("frame " + std::to_string(state.framesWritten + 1) +
                   " is not a picture of the movie's size.");
    const AVPixelFormat source = bitmap->bitsPerPixel() == 32 ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_BGR24;
    AVFrame& frame = *state.picture;
    // Area averaging halves the colour planes as a box: a bicubic filter there costs about 3 dB
    // against the source's own colour planes.
    state.scaler.reset(sws_getCachedContext(state.scaler.release(), state.width, state.height, source,
                                            frame.width, frame.height, AV_PIX_FMT_YUV420P, SWS_AREA, nullptr,
                                            nullptr, nullptr));
    if (!state.scaler) state.Fail("its pictures cannot be converted.");
    const int* matrix =
        sws_getCoefficients(state.colourSpace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_ITU601);
    sws_setColorspaceDetails(state.scaler.get(), matrix, 1, matrix, 0, 0, 1 << 16, 1 << 16);
    if (av_frame_make_writable(&frame) < 0) throw std::bad_alloc();
    // The bitmap's rows run bottom-up: start at the top row and step backwards through memory.
    const uint8_t* top[4] = {bitmap->topRow(0), nullptr, nullptr, nullptr};
    const int stride[4] = {-static_cast<int>(bitmap->stride()), 0, 0, 0};
    sws_scale(state.scaler.get(), top, stride, 0, state.height, frame.data, frame.linesize);
    state.WriteFrame(frame);
}

bool ContainerMovieWriter::AddDecoded(const AVFrame& decoded) {
    State& state = *state_;
    if (decoded.width != state.width || decoded.height != state.height ||
        decoded.width != state.video.context->width || decoded.height != state.video.context->height ||
        !IsVideo420In(decoded, state.colourSpace))
        return false;
    const cb::FramePtr frame(av_frame_clone(&decoded));
    if (!frame) throw std::bad_alloc();
    // The source's own frame types would steer the encoder; its colours are the movie's.
    frame->pict_type = AV_PICTURE_TYPE_NONE;
    frame->key_frame = 0;
    TagColours(frame->colorspace, frame->color_primaries, frame->color_trc, state.colourSpace);
    frame->color_range = AVCOL_RANGE_MPEG;
    state.WriteFrame(*frame);
    return true;
}

// The next frame to the video encoder, then the sound up to its end.
void ContainerMovieWriter::State::WriteFrame(AVFrame& frame) {
    frame.pts = framesWritten++;
    Write(video, &frame);
    if (sound.context) {
        WriteSoundUntil(av_rescale_q(framesWritten, video.context->time_base, sound.context->time_base));
    }
}

void ContainerMovieWriter::Finish() {
    State& state = *state_;
    if (state.sound.context) {
        state.WriteSoundUntil(-1);
        state.Write(state.sound, nullptr);
    }
    state.Write(state.video, nullptr);
    const int trailer = av_write_trailer(state.output.get());
    if (trailer < 0) state.Fail(FfmpegErrorText(trailer));
    if (avio_closep(&state.output->pb) < 0) state.Fail("the file could not be completed.");
}

}  // namespace composer
