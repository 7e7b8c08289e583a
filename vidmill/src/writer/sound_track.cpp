#include "writer/sound_track.h"

#include <cerrno>

#include "cbplatform/media_input.h"
#include "frame/error.h"
#include "writer/ffmpeg_owners.h"

namespace vidmill::writer {
namespace {

// Sample frames from the start of the stream to the last frame's time (rounded down).
std::int64_t SampleFrameAtLastFrame(const AVCodecParameters& parameters, std::int64_t framesWritten,
                                    int videoRate) {
    // Frame n starts at n * 1000 / rate seconds.
    return av_rescale_rnd(framesWritten - 1, std::int64_t{1000} * parameters.sample_rate, videoRate,
                          AV_ROUND_DOWN);
}

// Copies packets into the spool until the cut; returns false when the source could not be read.
void CopyPackets(AVFormatContext& input, int streamIndex, const AVCodecParameters& parameters,
                 const SoundCut& cut, PacketSpool& spool) {
    PacketPtr packet(av_packet_alloc());
    if (!packet) throw Error("Cannot write AVI audio stream");
    if (!spool.valid()) throw SystemFailure("Cannot write AVI audio stream", errno);
    const AVRational timeBase = input.streams[streamIndex]->time_base;
    std::int64_t bytesKept = 0;
    for (;;) {
        const int result = av_read_frame(&input, packet.get());
        if (result == AVERROR_EOF) return;
        if (result < 0) throw Error("Cannot read WAV audio stream");
        if (packet->stream_index != streamIndex) {
            av_packet_unref(packet.get());
            continue;
        }
        if (cut.keepBytes >= 0) {
            if (bytesKept >= cut.keepBytes) return;
            if (bytesKept + packet->size > cut.keepBytes)
                packet->size = static_cast<int>(cut.keepBytes - bytesKept);
            bytesKept += packet->size;
        } else if (cut.lastSampleFrame >= 0 && packet->pts != AV_NOPTS_VALUE &&
                   av_rescale_q(packet->pts, timeBase, AVRational{1, parameters.sample_rate}) >
                       cut.lastSampleFrame) {
            return;
        }
        if (!spool.append(*packet)) throw SystemFailure("Cannot write AVI audio stream", errno);
        av_packet_unref(packet.get());
    }
}

}  // namespace

SoundCut CutAtLastFrame(const AVCodecParameters& parameters, std::int64_t framesWritten, int videoRate) {
    SoundCut cut;
    if (framesWritten < 1 || videoRate < 1 || parameters.sample_rate < 1) return cut;
    const std::int64_t sampleFrame = SampleFrameAtLastFrame(parameters, framesWritten, videoRate);
    const int samplesPerBlock = parameters.block_align > 0
                                    ? av_get_audio_frame_duration2(
                                          const_cast<AVCodecParameters*>(&parameters), parameters.block_align)
                                    : 0;
    if (samplesPerBlock > 0) {
        cut.keepBytes = (sampleFrame / samplesPerBlock + 1) * parameters.block_align;
    } else {
        cut.lastSampleFrame = sampleFrame;
    }
    return cut;
}

std::unique_ptr<SoundTrack> SoundTrack::Read(const std::string& path, bool cutWav, std::int64_t framesWritten,
                                             int videoRate, const std::string& spoolFolder) {
    AVFormatContext* opened = nullptr;
    if (cb::OpenMediaInput(&opened, path) < 0) throw Error("Cannot open WAV file");
    InputFormatPtr input(opened);
    if (avformat_find_stream_info(input.get(), nullptr) < 0) throw Error("Cannot read WAV file content");
    int streamIndex = -1;
    for (unsigned i = 0; i < input->nb_streams && streamIndex < 0; ++i) {
        if (input->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) streamIndex = static_cast<int>(i);
    }
    if (streamIndex < 0) throw Error("Cannot open WAV file");
    const AVStream& stream = *input->streams[streamIndex];
    if (stream.codecpar->codec_id == AV_CODEC_ID_NONE || stream.codecpar->sample_rate < 1)
        throw Error("Cannot read WAV file format");

    std::unique_ptr<SoundTrack> track(new SoundTrack(spoolFolder));
    track->parameters_.reset(avcodec_parameters_alloc());
    if (track->parameters_ == nullptr ||
        avcodec_parameters_copy(track->parameters_.get(), stream.codecpar) < 0)
        throw Error("Cannot read WAV file format");
    track->timeBase_ = stream.time_base;
    const SoundCut cut = cutWav ? CutAtLastFrame(*stream.codecpar, framesWritten, videoRate) : SoundCut{};
    CopyPackets(*input, streamIndex, *stream.codecpar, cut, track->packets_);
    return track;
}

}  // namespace vidmill::writer
