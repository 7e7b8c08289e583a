#include "coded_pattern.h"

#include <gtest/gtest.h>

#include "cbplatform/ffmpeg_owners.h"
#include "writer/avi_formats.h"
#include "writer/key_frame_schedule.h"
#include "writer_test_support.h"

namespace vidmill::writer::testing {

CodedPattern EncodePattern(const VideoSettings& settings, int count,
                           const std::function<int(int)>& patternIndex) {
    std::unique_ptr<FrameCoder> coder = OpenFrameCoder(settings);
    CodedPattern coded;
    const cb::CodecParametersPtr parameters(avcodec_parameters_alloc());
    coder->describe(*parameters);
    coded.format = VideoFormatOf(*parameters, {});
    coded.format.scale = 1000;
    coded.format.rate = static_cast<std::uint32_t>(settings.rate);
    const PacketSink sink = [&coded](AVPacket& packet) {
        EXPECT_EQ(packet.pts, static_cast<std::int64_t>(coded.pictures.size()));
        coded.pictures.emplace_back(packet.data, packet.data + packet.size);
        coded.keyFrames.push_back((packet.flags & AV_PKT_FLAG_KEY) != 0);
    };
    cb::Bitmap frame(settings.width, settings.height, coder->bitsPerPixel());
    KeyFrameSchedule keyFrames;
    for (int i = 0; i < count; ++i) {
        PaintPattern(frame, patternIndex(i));
        keyFrames.encode(*coder, frame, i, settings.keyFrameRate, sink);
    }
    coder->flush(sink);
    return coded;
}

}  // namespace vidmill::writer::testing
