#include "cbplatform/read_back_frames.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "cbplatform/ffmpeg_owners.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace cb {
namespace {

struct PacketTime {
    std::int64_t timestamp = 0;
    bool key = false;
};

// The presentation time (else the decoding time) and key flag of every packet of the first video
// stream; its time base goes to `timeBase`.
std::vector<PacketTime> VideoPacketTimes(const std::string& path, AVRational& timeBase) {
    std::vector<PacketTime> times;
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) return times;
    const InputFormatPtr input(opened);
    const int stream = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const PacketPtr packet(av_packet_alloc());
    if (stream < 0 || !packet) return times;
    AVStream& video = *input->streams[stream];
    timeBase = video.time_base;
    // An AVI file's index, loaded when it was opened, has every frame's position and key flag: no
    // frame needs to be read. (Other containers index decoding times, not the frames' order.)
    if (std::string(input->iformat->name) == "avi") {
        const int entries = avformat_index_get_entries_count(&video);
        for (int i = 0; i < entries; ++i) {
            const AVIndexEntry* entry = avformat_index_get_entry(&video, i);
            if (entry != nullptr) times.push_back({entry->timestamp, (entry->flags & AVINDEX_KEYFRAME) != 0});
        }
        if (!times.empty()) return times;
    }
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        if (packet->stream_index == stream) {
            const std::int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            if (time != AV_NOPTS_VALUE) times.push_back({time, (packet->flags & AV_PKT_FLAG_KEY) != 0});
        }
        av_packet_unref(packet.get());
    }
    return times;
}

// The frames whose packets are key frames, when not every frame is one: a frame's number is its time from the
// first picture at the movie's rate, which also counts frames stored as empty chunks.
std::vector<std::int32_t> KeyFrames(const std::string& path, std::int32_t frameCount,
                                    double framesPerSecond) {
    AVRational timeBase{1, 1};
    const std::vector<PacketTime> times = VideoPacketTimes(path, timeBase);
    std::vector<std::int32_t> frames;
    if (times.empty() || !(framesPerSecond > 0)) return frames;
    // Frames coded each on its own (uncompressed, intra-only coding) start no group of pictures:
    // decoding every one would make the check a play-through of the movie.
    if (std::all_of(times.begin(), times.end(), [](const PacketTime& time) { return time.key; }))
        return frames;
    std::int64_t first = std::numeric_limits<std::int64_t>::max();
    for (const PacketTime& time : times) first = std::min(first, time.timestamp);
    for (const PacketTime& time : times) {
        if (!time.key) continue;
        const double frame =
            std::nearbyint(static_cast<double>(time.timestamp - first) * av_q2d(timeBase) * framesPerSecond);
        if (frame >= 0 && frame < frameCount) frames.push_back(static_cast<std::int32_t>(frame));
    }
    return frames;
}

}  // namespace

std::vector<std::int32_t> ReadBackFrames(const std::string& path, std::int32_t frameCount,
                                         double framesPerSecond) {
    if (frameCount < 1) return {};
    std::vector<std::int32_t> frames{0, frameCount / 2, frameCount - 1};
    if (frameCount < kEveryKeyFrameBelow) {
        const std::vector<std::int32_t> keys = KeyFrames(path, frameCount, framesPerSecond);
        frames.insert(frames.end(), keys.begin(), keys.end());
    }
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    return frames;
}

}  // namespace cb
