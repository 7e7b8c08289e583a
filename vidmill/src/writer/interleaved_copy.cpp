#include "writer/interleaved_copy.h"

#include "frame/error.h"
#include "writer/avi_output.h"
#include "writer/ffmpeg_owners.h"

namespace vidmill::writer {
namespace {

struct Streams {
    int videoIn = -1;
    int videoOut = -1;
    int soundOut = -1;
};

// Reads the next video packet of the spooled file; false at its end.
bool NextVideo(AVFormatContext& input, int stream, AVPacket& packet) {
    for (;;) {
        av_packet_unref(&packet);
        const int result = av_read_frame(&input, &packet);
        if (result == AVERROR_EOF) return false;
        if (result < 0) throw Error("Cannot write AVI file");
        if (packet.stream_index == stream) return true;
    }
}

void CopyInterleaved(AVFormatContext& input, SoundTrack& sound, AviOutput& output, const Streams& streams) {
    PacketPtr video(av_packet_alloc());
    PacketPtr audio(av_packet_alloc());
    if (!video || !audio || !sound.packets().rewind()) throw Error("Cannot write AVI file");
    const AVRational videoTime = input.streams[streams.videoIn]->time_base;
    bool haveVideo = NextVideo(input, streams.videoIn, *video);
    bool haveAudio = sound.packets().next(*audio);
    while (haveVideo || haveAudio) {
        const bool audioFirst =
            haveAudio && (!haveVideo || audio->pts == AV_NOPTS_VALUE ||
                          av_compare_ts(audio->pts, sound.timeBase(), video->pts, videoTime) <= 0);
        if (audioFirst) {
            av_packet_rescale_ts(audio.get(), sound.timeBase(), output.timeBase(streams.soundOut));
            if (!output.write(*audio, streams.soundOut, true)) throw Error("Cannot write AVI audio stream");
            haveAudio = sound.packets().next(*audio);
        } else {
            av_packet_rescale_ts(video.get(), videoTime, output.timeBase(streams.videoOut));
            video->pos = -1;
            if (!output.write(*video, streams.videoOut, true)) throw Error("Cannot write AVI frame");
            haveVideo = NextVideo(input, streams.videoIn, *video);
        }
    }
    if (sound.packets().failed()) throw Error("Cannot read WAV audio stream");
}

}  // namespace

void WriteInterleaved(const std::string& videoPath, SoundTrack& sound, const std::string& target) {
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, videoPath.c_str(), nullptr, nullptr) < 0) throw Error("Cannot write AVI file");
    InputFormatPtr input(opened);
    Streams streams;
    for (unsigned i = 0; i < input->nb_streams && streams.videoIn < 0; ++i) {
        if (input->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) streams.videoIn = static_cast<int>(i);
    }
    if (streams.videoIn < 0) throw Error("Cannot write AVI file");

    auto output = AviOutput::Create(target);
    if (!output) throw Error("Cannot create AVI file \"" + target + "\"");
    const AVStream& videoIn = *input->streams[streams.videoIn];
    streams.videoOut = output->addStream(*videoIn.codecpar, videoIn.time_base);
    if (streams.videoOut < 0) throw Error("Cannot create AVI stream");
    streams.soundOut = output->addStream(sound.parameters(), sound.timeBase());
    if (streams.soundOut < 0) throw Error("Cannot create AVI audio stream");
    if (!output->start()) throw Error("Cannot set AVI stream format");
    CopyInterleaved(*input, sound, *output, streams);
    if (!output->finish()) throw Error("Cannot write AVI file");
}

}  // namespace vidmill::writer
