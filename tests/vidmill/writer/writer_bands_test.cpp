// Video-1 frames encoded in bands on worker threads: the joined pictures must decode (with
// FFmpeg's own decoder) to what one encoder for the whole frame gives, at the same key frames.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "coded_pattern.h"
#include "vidmill/vidmill.h"
#include "writer/ffmpeg_owners.h"
#include "writer/video1_bands.h"
#include "writer_test_support.h"

namespace vidmill::writer {
namespace {

using namespace vidmill::writer::testing;

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr int kFrames = 12;

// Frames 0..8 move; 9..11 repeat frame 8, so their pictures are made of skips.
int PatternIndex(int frame) { return frame < 9 ? frame : 8; }

// Video-1 at kWidth x kHeight with a key frame every 5 frames, in `bands` bands.
VideoSettings Video1Settings(int bands) {
    VideoSettings settings;
    settings.handler = static_cast<std::uint32_t>(FourCC("MSVC"));
    settings.width = kWidth;
    settings.height = kHeight;
    settings.keyFrameRate = 5;
    settings.bands = bands;
    return settings;
}

CodedPattern EncodeInBands(int bands) { return EncodePattern(Video1Settings(bands), kFrames, PatternIndex); }

// Each picture decoded by FFmpeg's Video-1 decoder, as top-down BGR24.
std::vector<std::vector<std::uint8_t>> Decode(const CodedPattern& coded) {
    const AVCodec* decoder = avcodec_find_decoder(AV_CODEC_ID_MSVIDEO1);
    CodecContextPtr context(avcodec_alloc_context3(decoder));
    context->width = kWidth;
    context->height = kHeight;
    context->bits_per_coded_sample = 16;
    EXPECT_EQ(avcodec_open2(context.get(), decoder, nullptr), 0);
    PacketPtr packet(av_packet_alloc());
    FramePtr picture(av_frame_alloc());
    std::vector<std::vector<std::uint8_t>> frames;
    for (const auto& bytes : coded.pictures) {
        EXPECT_EQ(av_new_packet(packet.get(), static_cast<int>(bytes.size())), 0);
        std::copy(bytes.begin(), bytes.end(), packet->data);
        EXPECT_EQ(avcodec_send_packet(context.get(), packet.get()), 0);
        av_packet_unref(packet.get());
        EXPECT_EQ(avcodec_receive_frame(context.get(), picture.get()), 0);
        std::vector<std::uint8_t> bgr;
        for (int y = 0; y < kHeight; ++y) {
            const auto* row =
                reinterpret_cast<const std::uint16_t*>(picture->data[0] + y * picture->linesize[0]);
            for (int x = 0; x < kWidth; ++x) {
                for (const int shift : {0, 5, 10}) {
                    const int five = (row[x] >> shift) & 0x1F;
                    bgr.push_back(static_cast<std::uint8_t>(five << 3 | five >> 2));
                }
            }
        }
        frames.push_back(std::move(bgr));
    }
    return frames;
}

double MeanError(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(a[i] - b[i]);
    return sum / static_cast<double>(a.size());
}

TEST(WriterVideo1Bands, BandedPicturesDecodeLikeOneEncoderForTheWholeFrame) {
    const CodedPattern whole = EncodeInBands(1);
    const auto wholeFrames = Decode(whole);
    ASSERT_EQ(wholeFrames.size(), static_cast<std::size_t>(kFrames));
    for (const int bands : {2, 3, kHeight / 4}) {
        SCOPED_TRACE(bands);
        const CodedPattern banded = EncodeInBands(bands);
        EXPECT_EQ(banded.keyFrames, whole.keyFrames);
        EXPECT_EQ(banded.keyFrames, (std::vector<bool>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0}));
        const auto frames = Decode(banded);
        ASSERT_EQ(frames.size(), static_cast<std::size_t>(kFrames));
        for (int i = 0; i < kFrames; ++i) {
            SCOPED_TRACE(i);
            const auto source = PatternBgr24(kWidth, kHeight, 24, PatternIndex(i));
            // A band out of place or a code lost would be far off; the encoders' own choices differ little.
            EXPECT_LE(MeanError(frames[i], source), MeanError(wholeFrames[i], source) * 1.25 + 1.0);
        }
        // The repeated frame between key frames is all skips and decodes to the picture before it.
        EXPECT_LT(banded.pictures[11].size(), banded.pictures[8].size() / 4);
        EXPECT_EQ(frames[11], frames[10]);
    }
}

// A cut (every block of the frame changed) is coded whole: it is a key frame, and the next key
// frame comes KeyFrameRate frames after it rather than where the count from the first would put it.
TEST(WriterVideo1Bands, ACutIsAKeyFrameAndRestartsTheInterval) {
    constexpr int kCutAt = 7;
    // Frames before the cut repeat one picture, frames from it another that differs in every pixel.
    const auto patternIndex = [](int frame) { return frame < kCutAt ? 0 : 10; };
    for (const int bands : {1, 3}) {
        SCOPED_TRACE(bands);
        const CodedPattern coded = EncodePattern(Video1Settings(bands), 15, patternIndex);
        EXPECT_EQ(coded.keyFrames, (std::vector<bool>{1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0}));
        // The cut's picture needs nothing before it: alone it decodes as it does in the movie.
        CodedPattern cutAlone;
        cutAlone.pictures = {coded.pictures[kCutAt]};
        EXPECT_EQ(Decode(cutAlone).front(), Decode(coded)[kCutAt]);
    }
}

TEST(WriterVideo1Bands, JoinedCodesAndDamagedBands) {
    // Two bands of two blocks: a skip of 2; then a one-colour block and a two-colour block.
    const std::vector<std::uint8_t> skips = {0x02, 0x84, 0x00, 0x00};
    const std::vector<std::uint8_t> colours = {0x1F, 0x80, 0x0F, 0x00, 0x00, 0x7C, 0xE0, 0x03, 0x00, 0x00};
    std::vector<std::uint8_t> picture;
    const Video1Band good[] = {{skips, 2}, {colours, 2}};
    ASSERT_TRUE(JoinVideo1Bands(good, picture));
    EXPECT_EQ(picture, (std::vector<std::uint8_t>{0x02, 0x84, 0x1F, 0x80, 0x0F, 0x00, 0x00, 0x7C, 0xE0, 0x03,
                                                  0x00, 0x00}));

    struct Damaged {
        const char* what;
        std::vector<std::uint8_t> codes;
        int blocks;
    };
    const Damaged cases[] = {
        {"nothing", {}, 1},
        {"half a code", {0x01}, 1},
        {"skip past the band", {0x03, 0x84}, 2},
        {"skip of nothing", {0x00, 0x84, 0x01, 0x84}, 1},
        {"two colours cut short", {0x0F, 0x00, 0x00, 0x7C}, 1},
        {"eight colours cut short", {0x0F, 0x00, 0x00, 0xFC, 0xE0, 0x03}, 1},
    };
    for (const Damaged& c : cases) {
        SCOPED_TRACE(c.what);
        const Video1Band band[] = {{c.codes, c.blocks}};
        EXPECT_FALSE(JoinVideo1Bands(band, picture));
    }
}

}  // namespace
}  // namespace vidmill::writer
