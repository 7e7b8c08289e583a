// Video clips from containers the AVI library does not read: every codec and container a user holds
// today gives its frames in presentation order, one for one, read on without seeking and reached at
// random; pictures at varying intervals are read one for one with their times; damaged files are refused.
#include "media/containers/container_video_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/failure.h"
#include "cbplatform/picture.h"
#include "command_runner.h"
#include "media/clip_source.h"
#include "media/containers/container_movie_writer.h"
#include "media/media_source_probe.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
}

namespace composer {
namespace {

using cb::testing::Quoted;
using cb::testing::RunCommand;
using cb::testing::ScratchFile;

constexpr int kFrames = 30;
constexpr int kWidth = 64;
constexpr int kHeight = 48;

// Grey level of frame n in the fixtures: far enough apart that any codec's error leaves it nearest.
int GreyOf(int frame) { return 20 + frame * 7; }

// A clip of kFrames frames, frame n a plain grey of GreyOf(n) in full range, made by ffmpeg with the
// given output arguments (codecs, key-frame interval); empty when ffmpeg failed.
std::string MakeClip(const std::string& name, const std::string& rate, const std::string& output) {
    const std::string path = ScratchFile("container-video", name);
    const std::string command =
        "ffmpeg -v error -y -f lavfi -i \"color=black:s=" + std::to_string(kWidth) + "x" +
        std::to_string(kHeight) + ":r=" + rate + ":d=10,trim=end_frame=" + std::to_string(kFrames) +
        ",format=gray,geq=lum='20+N*7',format=yuv420p\" -f lavfi -i sine=d=3 -shortest " + output + " " +
        Quoted(path) + " && echo made";
    return RunCommand(command).find("made") != std::string::npos ? path : "";
}

// Which fixture frame a picture shows: the nearest grey of the centre pixel.
int FrameShown(const cb::Bitmap& picture) {
    const uint8_t* centre = picture.topRow(kHeight / 2) + (kWidth / 2) * 4;
    const int grey = (centre[0] + centre[1] + centre[2]) / 3;
    int best = 0;
    for (int n = 1; n < kFrames; ++n) {
        if (std::abs(GreyOf(n) - grey) < std::abs(GreyOf(best) - grey)) best = n;
    }
    EXPECT_LE(std::abs(GreyOf(best) - grey), 3) << "grey " << grey;
    return best;
}

struct Format {
    const char* name;
    const char* output;
};

class ContainerFormats : public ::testing::TestWithParam<Format> {};

TEST_P(ContainerFormats, FramesComeInPresentationOrderReadOnWithoutSeekingAndAtRandom) {
    const Format& format = GetParam();
    const std::string path = MakeClip(format.name, "25", format.output);
    ASSERT_FALSE(path.empty()) << format.output;
    ContainerVideoReader reader(path);
    EXPECT_EQ(reader.Width(), kWidth);
    EXPECT_EQ(reader.Height(), kHeight);
    EXPECT_DOUBLE_EQ(reader.FramesPerSecond(), 25.0);
    ASSERT_EQ(reader.FrameCount(), kFrames);
    EXPECT_FALSE(reader.Times()) << "pictures at one rate are placed by it";
    for (int n = 0; n < kFrames; ++n) EXPECT_EQ(FrameShown(*reader.Frame(n)), n) << format.name;
    EXPECT_EQ(reader.SeekCount(), 0) << "a sequential read sought";
    // Stepping back over the pictures just read: kept, not decoded again.
    for (int n = kFrames - 1; n >= kFrames - 4; --n) EXPECT_EQ(FrameShown(*reader.Frame(n)), n);
    EXPECT_EQ(reader.SeekCount(), 0) << "stepping back sought";

    // At random, from a reader that has kept nothing yet: key frames are sought.
    ContainerVideoReader fresh(path);
    std::vector<int> order(kFrames);
    for (int n = 0; n < kFrames; ++n) order[static_cast<std::size_t>(n)] = n;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    for (const int n : order) EXPECT_EQ(FrameShown(*fresh.Frame(n)), n) << format.name;
    EXPECT_GT(fresh.SeekCount(), 0);

    // Stepping back from the last frame, reached at random: the pictures between key frames are
    // decoded and kept a stretch at a time, so the steps seek once a key frame (VP8 places one every
    // two or three frames here), not each time.
    ContainerVideoReader back(path);
    EXPECT_EQ(FrameShown(*back.Frame(kFrames - 1)), kFrames - 1);
    const int64_t seeksBefore = back.SeekCount();
    for (int n = kFrames - 2; n >= 0; --n) EXPECT_EQ(FrameShown(*back.Frame(n)), n) << format.name;
    EXPECT_LE(back.SeekCount() - seeksBefore, kFrames / 2) << format.name;
    EXPECT_THROW(reader.Frame(kFrames), Failure);
    EXPECT_THROW(reader.Frame(-1), Failure);
}

// B-frames (x264's default) reorder pictures; key frames every 8 frames make random reads seek.
INSTANTIATE_TEST_SUITE_P(
    Codecs, ContainerFormats,
    ::testing::Values(
        Format{"h264.mp4", "-c:v libx264 -g 8 -crf 10 -c:a aac"},
        Format{"h264.mov", "-c:v libx264 -g 8 -crf 10 -c:a aac"},
        Format{"hevc.mp4", "-c:v libx265 -x265-params log-level=none:keyint=8 -crf 10 -tag:v hvc1 -c:a aac"},
        Format{"vp9.mkv", "-c:v libvpx-vp9 -g 8 -crf 10 -b:v 0 -c:a libopus"},
        Format{"vp8.webm", "-c:v libvpx -g 8 -crf 4 -b:v 1M -c:a libvorbis"},
        Format{"av1.mkv", "-c:v libaom-av1 -g 8 -crf 10 -cpu-used 8 -c:a libopus"}),
    [](const ::testing::TestParamInfo<Format>& param) {
        std::string name = param.param.name;
        std::replace(name.begin(), name.end(), '.', '_');
        return name;
    });

// The studio-range luma of a fixture frame's full-range grey.
int LumaOf(int frame) { return 16 + (GreyOf(frame) * 219 + 127) / 255; }

int CentreLuma(const AVFrame& frame) { return frame.data[0][(kHeight / 2) * frame.linesize[0] + kWidth / 2]; }

// A movie to share takes the frames a clip's decoder gave as they are when they are its size and
// 4:2:0 with BT.709 colours (no conversion, the same pictures), and refuses any other; the frames
// come in order whichever way they were reached.
TEST(ContainerVideoReader, DecodedFramesPassToAMovieToShareWhenTheyCanBeCodedAsTheyAre) {
    const std::string bt709 = MakeClip("bt709.mp4", "25",
                                       "-c:v libx264 -g 8 -crf 5 -colorspace bt709 -color_primaries bt709 "
                                       "-color_trc bt709 -an");
    const std::string bt601 = MakeClip("bt601.mp4", "25", "-c:v libx264 -g 8 -crf 5 -colorspace bt470bg -an");
    ASSERT_FALSE(bt709.empty());
    ASSERT_FALSE(bt601.empty());
    ContainerVideoReader reader(bt709);
    for (const int n : {17, 3, 29, 0}) {
        const DecodedFrame frame = reader.Decoded(n);
        ASSERT_TRUE(frame);
        EXPECT_NEAR(CentreLuma(*frame), LumaOf(n), 2) << "frame " << n;
        EXPECT_TRUE(IsBt709Video420(*frame));
    }
    EXPECT_FALSE(IsBt709Video420(*ContainerVideoReader(bt601).Decoded(0)));

    // A movie of standard definition is coded in BT.601: those frames pass, BT.709 ones do not.
    const std::string out = ScratchFile("container-video", "passed.mp4");
    ContainerMovieWriter writer(out, ShareFormat::Mp4, kWidth, kHeight, 25.0, "", ShareSettings{});
    ContainerMovieWriter taller(ScratchFile("container-video", "taller.mp4"), ShareFormat::Mp4, kWidth,
                                kHeight + 2, 25.0, "", ShareSettings{});
    ContainerVideoReader standard(bt601);
    EXPECT_FALSE(taller.AddDecoded(*standard.Decoded(0)));
    EXPECT_FALSE(writer.AddDecoded(*reader.Decoded(0)));
    for (int n = 0; n < kFrames; ++n) ASSERT_TRUE(writer.AddDecoded(*standard.Decoded(n)));
    writer.Finish();
    ContainerVideoReader written(out);
    ASSERT_EQ(written.FrameCount(), kFrames);
    for (int n = 0; n < kFrames; ++n) EXPECT_EQ(FrameShown(*written.Frame(n)), n);
}

// A picture's planes and description, for comparing two decodes of it bit for bit.
std::string PictureBytes(const AVFrame& frame) {
    std::string bytes = std::to_string(frame.format) + " " + std::to_string(frame.width) + "x" +
                        std::to_string(frame.height) + " range " + std::to_string(frame.color_range) +
                        " space " + std::to_string(frame.colorspace) + " trc " +
                        std::to_string(frame.color_trc) + "\n";
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame.format));
    const int bytesPerSample = format->comp[0].depth > 8 ? 2 : 1;
    for (int plane = 0; plane < 4 && frame.data[plane] != nullptr; ++plane) {
        const bool chroma = plane == 1 || plane == 2;
        const int width = chroma ? AV_CEIL_RSHIFT(frame.width, format->log2_chroma_w) : frame.width;
        const int height = chroma ? AV_CEIL_RSHIFT(frame.height, format->log2_chroma_h) : frame.height;
        for (int row = 0; row < height; ++row) {
            const auto* start =
                reinterpret_cast<const char*>(frame.data[plane] + row * frame.linesize[plane]);
            bytes.append(start, static_cast<std::size_t>(width * bytesPerSample));
        }
    }
    return bytes;
}

// A browsed clip (two jumps) is indexed in the background; afterwards every picture comes from the
// index without a seek, identical to the decoder's own picture read in order. Odd sizes and ten-bit
// pictures take the second lossless codec.
TEST(ContainerVideoReader, ABrowsedClipIsIndexedAndGivesTheDecodersOwnPicturesWithoutSeeking) {
    const std::string plain =
        MakeClip("indexed.mp4", "25", "-c:v libx264 -g 10 -crf 20 -colorspace bt709 -an");
    const std::string deep =
        MakeClip("indexed-10bit.mkv", "25", "-vf scale=63:47 -c:v libx264 -pix_fmt yuv444p10le -g 10 -an");
    for (const std::string& path : {plain, deep}) {
        ASSERT_FALSE(path.empty());
        std::vector<std::string> inOrder;
        ContainerVideoReader sequential(path);
        for (int n = 0; n < kFrames; ++n) inOrder.push_back(PictureBytes(*sequential.Decoded(n)));

        ContainerVideoReader browsed(path);
        EXPECT_FALSE(browsed.WaitForIndex()) << "indexed before any jump";
        (void)browsed.Frame(25);
        (void)browsed.Frame(3);
        ASSERT_TRUE(browsed.WaitForIndex()) << path;
        const int64_t seeks = browsed.SeekCount();
        for (const int n : {17, 29, 0, 11, 12, 5, 28, 24, 9}) {
            EXPECT_EQ(PictureBytes(*browsed.Decoded(n)), inOrder[static_cast<std::size_t>(n)])
                << path << " " << n;
            EXPECT_EQ(FrameShown(*browsed.Frame(n)), n) << path;
        }
        EXPECT_EQ(browsed.SeekCount(), seeks) << "an indexed picture was sought";
    }
}

// The presentation times of a file's pictures, in seconds from the first, as ffprobe reads them.
std::vector<double> StampedTimes(const std::string& path) {
    std::istringstream lines(
        RunCommand("ffprobe -v error -select_streams v:0 -show_entries packet=pts_time "
                   "-of csv=p=0 " +
                   Quoted(path)));
    std::vector<double> times;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) times.push_back(std::stod(line));
    }
    std::sort(times.begin(), times.end());
    const double first = times.empty() ? 0 : times.front();
    for (double& time : times) time -= first;
    return times;
}

struct UnevenClip {
    const char* name;
    const char* times;   // the pictures' times in seconds as an expression of the picture number N
    const char* output;  // codec options
};

void PrintTo(const UnevenClip& clip, std::ostream* out) { *out << clip.name; }

// A clip whose pictures come at uneven intervals is read picture for picture: as many frames as
// pictures, frame n the n-th picture, and the pictures' times as the file stamps them, by which a
// movie places them; its rate is the average one, so that its frames at that rate last as long as
// its pictures do. Pictures at one rate carry no times (they are placed by their rate).
class UnevenClips : public ::testing::TestWithParam<UnevenClip> {};

TEST_P(UnevenClips, AreReadPictureForPictureWithTheirTimes) {
    const UnevenClip& clip = GetParam();
    const std::string path = MakeClip(clip.name, "30",
                                      std::string("-vf \"settb=1/600,setpts='(") + clip.times +
                                          ")/TB'\" -fps_mode passthrough " + clip.output + " -an");
    ASSERT_FALSE(path.empty());
    const std::vector<double> stamped = StampedTimes(path);
    ASSERT_EQ(stamped.size(), static_cast<std::size_t>(kFrames));
    ContainerVideoReader reader(path);
    ASSERT_EQ(reader.FrameCount(), kFrames);
    for (int n = 0; n < kFrames; ++n) EXPECT_EQ(FrameShown(*reader.Frame(n)), n) << "frame " << n;
    const std::shared_ptr<const PictureTimes> times = reader.Times();
    ASSERT_TRUE(times);
    ASSERT_EQ(times->starts.size(), static_cast<std::size_t>(kFrames));
    for (int n = 0; n < kFrames; ++n)
        EXPECT_NEAR(SecondsBetween(*times, 0, n), stamped[static_cast<std::size_t>(n)], 1e-6)
            << "picture " << n;
    // The last picture lasts a while (the container's duration, else a typical interval).
    const double length = SecondsBetween(*times, 0, kFrames);
    EXPECT_GT(length, stamped.back());
    EXPECT_LT(length, stamped.back() + 0.1);
    EXPECT_NEAR(kFrames / reader.FramesPerSecond(), length, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UnevenClips,
    ::testing::Values(
        // A phone lowering its rate in dim light and raising it again: 30, then 15, then 30 a second.
        UnevenClip{"30-15-30.mp4", "if(lt(N,10),N/30,if(lt(N,20),1/3+(N-10)/15,1+(N-20)/30))",
                   "-c:v libx264 -crf 10"},
        // Matroska stamps in whole milliseconds.
        UnevenClip{"30-15-30.mkv", "if(lt(N,10),N/30,if(lt(N,20),1/3+(N-10)/15,1+(N-20)/30))",
                   "-c:v libx264 -crf 10"},
        // 25 a second with five pictures left out after the fifteenth.
        UnevenClip{"gap.webm", "if(lt(N,15),N/25,(N+5)/25)", "-c:v libvpx-vp9 -crf 10 -b:v 0"},
        // A rate that falls picture by picture.
        UnevenClip{"slowing.mov", "N/30+N*N/900", "-c:v libx264 -crf 10"}),
    [](const ::testing::TestParamInfo<UnevenClip>& param) {
        std::string name = param.param.name;
        for (char& c : name) {
            if (std::isalnum(static_cast<unsigned char>(c)) == 0) c = '_';
        }
        return name;
    });

// An MP4 file's bytes with the display matrix of its video track (the track header's, which starts
// out as the identity) set to {a, b, c, d}, the turn a phone notes beside what its sensor saw.
std::vector<char> WithDisplayMatrix(const std::string& path, int32_t a, int32_t b, int32_t c, int32_t d) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), {});
    const auto put = [&](std::size_t at, int32_t fixed) {
        const auto value = static_cast<uint32_t>(fixed) << 16;  // 16.16 fixed point, big-endian
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
    };
    const std::string box = "tkhd";
    const auto header = std::search(bytes.begin(), bytes.end(), box.begin(), box.end());
    if (header == bytes.end()) return {};
    // After the box type: version and flags, four times and a reserved word, eight reserved bytes,
    // layer, group, volume and two reserved bytes; then the matrix a, b, u, c, d, v, x, y, w.
    const auto matrix = static_cast<std::size_t>(header - bytes.begin()) + 4 + 4 + 20 + 8 + 8;
    put(matrix, a);
    put(matrix + 4, b);
    put(matrix + 12, c);
    put(matrix + 16, d);
    return bytes;
}

struct Turn {
    const char* name;
    int32_t matrix[4];    // a display matrix written into the track header; all 0: made by `how`
    const char* how;      // ffmpeg output options that copy the stream with a turn noted
    const char* upright;  // the filter that shows the pictures upright when ffmpeg does not turn them
    bool quarterTurn;
};

void PrintTo(const Turn& turn, std::ostream* out) { *out << turn.name; }

// A clip recorded with the camera turned reads upright, picture for picture as ffmpeg shows it: its
// size is the upright size, the frames are turned before anything else sees them, and no frame passes
// unturned as the decoder gave it.
class TurnedClips : public ::testing::TestWithParam<Turn> {};

TEST_P(TurnedClips, ReadUprightAsTheReferenceShowsThem) {
    const Turn& turn = GetParam();
    constexpr int kStoredWidth = 64;
    constexpr int kStoredHeight = 36;
    constexpr int kTurnedFrames = 10;
    const std::string stored = ScratchFile("container-video", "stored.mp4");
    RunCommand(
        "ffmpeg -v error -y -f lavfi -i testsrc=size=64x36:rate=25 -frames:v 10 -c:v libx264 -crf 12 " +
        Quoted(stored));
    const std::string path = ScratchFile("container-video", std::string("turned-") + turn.name);
    if (turn.how != nullptr) {
        RunCommand("ffmpeg -v error -y -i " + Quoted(stored) + " -c copy " + turn.how + " " + Quoted(path));
    } else {
        const std::vector<char> bytes =
            WithDisplayMatrix(stored, turn.matrix[0], turn.matrix[1], turn.matrix[2], turn.matrix[3]);
        ASSERT_FALSE(bytes.empty());
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    const std::string filter = turn.upright != nullptr ? std::string(" -vf ") + turn.upright : "";
    const std::vector<uint8_t> reference = cb::testing::RunCommandBytes(
        "ffmpeg -v error -i " + Quoted(path) + filter + " -f rawvideo -pix_fmt bgra -");
    const int width = turn.quarterTurn ? kStoredHeight : kStoredWidth;
    const int height = turn.quarterTurn ? kStoredWidth : kStoredHeight;
    const std::size_t pictureBytes = static_cast<std::size_t>(width) * height * 4;
    ASSERT_EQ(reference.size(), pictureBytes * kTurnedFrames) << "ffmpeg shows another size";

    const std::unique_ptr<ClipSource> clip = OpenClipSource(ClipVideo, path);
    EXPECT_EQ(clip->Width(), width);
    EXPECT_EQ(clip->Height(), height);
    EXPECT_FALSE(clip->Decoded(1)) << "a frame passed on as stored";
    ContainerVideoReader reader(path);
    ASSERT_EQ(reader.Width(), width);
    ASSERT_EQ(reader.Height(), height);
    ASSERT_EQ(reader.FrameCount(), kTurnedFrames);
    EXPECT_FALSE(reader.Decoded(0)) << "a frame passed on as stored";
    for (const int n : {0, 1, 9, 4}) {
        const std::shared_ptr<cb::Bitmap> frame = reader.Frame(n);
        // The colour conversions may differ a little; a picture turned the wrong way differs by far more.
        long difference = 0;
        for (int y = 0; y < height; ++y) {
            const uint8_t* expected =
                reference.data() + pictureBytes * n + static_cast<std::size_t>(y) * width * 4;
            for (int i = 0; i < width * 4; ++i) difference += std::abs(frame->topRow(y)[i] - expected[i]);
        }
        EXPECT_LT(difference / static_cast<long>(pictureBytes), 4) << turn.name << " frame " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Turns, TurnedClips,
    ::testing::Values(Turn{"phone-upright.mp4", {0, 1, -1, 0}, nullptr, nullptr, true},
                      Turn{"upside-down.mp4", {-1, 0, 0, -1}, nullptr, nullptr, false},
                      Turn{"quarter-left.mp4", {0, -1, 1, 0}, nullptr, nullptr, true},
                      Turn{"rotate-option.mp4", {}, "-metadata:s:v rotate=90", nullptr, true},
                      Turn{"mirrored.mp4", {-1, 0, 0, 1}, nullptr, nullptr, false},
                      Turn{"mirrored-upside-down.mp4", {1, 0, 0, -1}, nullptr, nullptr, false},
                      Turn{"mirrored-quarter.mp4", {0, 1, 1, 0}, nullptr, nullptr, true},
                      Turn{"mirrored-other-quarter.mp4", {0, -1, -1, 0}, nullptr, nullptr, true},
                      // The tag older files carry: the clockwise turn that shows them upright.
                      Turn{"rotate-tag.mkv", {}, "-metadata:s:v ROTATE=90", "transpose=clock", true}),
    [](const ::testing::TestParamInfo<Turn>& param) {
        std::string name = param.param.name;
        for (char& c : name) {
            if (std::isalnum(static_cast<unsigned char>(c)) == 0) c = '_';
        }
        return name;
    });

// The scaler writes a picture bottom-up in wide strokes that may run past the end of a row; rows
// whose width is no multiple of those strokes (a portrait phone video is 360 wide) must still stay
// inside the picture's store (the sanitizer run catches a write past it).
TEST(ContainerVideoReader, PicturesOfAnyWidthAreConvertedInsideTheirStore) {
    for (const char* size : {"360x64", "350x40", "66x34"}) {
        SCOPED_TRACE(size);
        const std::string path = ScratchFile("container-video", std::string("width-") + size + ".mp4");
        RunCommand("ffmpeg -v error -y -f lavfi -i testsrc2=s=" + std::string(size) +
                   ":r=25:d=0.2 -c:v libx264 -pix_fmt yuv420p " + Quoted(path));
        ContainerVideoReader reader(path);
        ASSERT_EQ(reader.FrameCount(), 5);
        for (int n = 0; n < reader.FrameCount(); ++n) {
            const std::shared_ptr<cb::Bitmap> picture = reader.Frame(n);
            EXPECT_EQ(picture->width(), reader.Width());
            EXPECT_EQ(picture->sizeBytes(), picture->stride() * static_cast<std::size_t>(reader.Height()));
        }
    }
}

TEST(ContainerVideoReader, FilesWithoutReadableVideoAreRefusedWithTheReason) {
    const std::string sound = ScratchFile("container-video", "sound.m4a");
    RunCommand("ffmpeg -v error -y -f lavfi -i sine=d=1 -c:a aac " + Quoted(sound));
    const std::string text = ScratchFile("container-video", "text.mp4");
    std::ofstream(text) << "not a movie at all";
    const std::string good = MakeClip("cut.mp4", "25", "-c:v libx264 -an");
    ASSERT_FALSE(good.empty());
    const std::string cut = ScratchFile("container-video", "cut-short.mp4");
    RunCommand("head -c 1500 " + Quoted(good) + " > " + Quoted(cut));
    for (const std::string& path : {sound, text, cut, ScratchFile("container-video", "missing.mkv")}) {
        try {
            ContainerVideoReader reader(path);
            // A cut file may still open when its index came first; its frames must not crash.
            for (int n = 0; n < reader.FrameCount(); ++n) (void)reader.Frame(n);
        } catch (const Failure& refused) {
            EXPECT_NE(std::string(refused.what()).find(path), std::string::npos) << refused.what();
        }
    }
}

TEST(ContainerVideoReader, TheClipSourceAndTheProbeGiveTheFramesAndTheSoundOfAnMp4) {
    const std::string path = MakeClip("wrapped.mp4", "25", "-c:v libx264 -g 8 -crf 10 -c:a aac");
    ASSERT_FALSE(path.empty());
    const std::unique_ptr<ClipSource> source = OpenClipSource(ClipVideo, path);
    EXPECT_EQ(source->FrameCount(), kFrames);
    EXPECT_EQ(source->Width(), kWidth);
    EXPECT_TRUE(source->CarriesAlpha());
    EXPECT_EQ(FrameShown(*cb::PictureBitmap(source->Picture(12).get())), 11);
    ASSERT_TRUE(source->Decoded(13));
    PixelBuffer pixels;
    source->Pixels(5, pixels);
    EXPECT_EQ(pixels.size(), static_cast<std::size_t>(kWidth) * kHeight);
    MediaSourceProbe probe;
    const Outcome<AudioFacts> sound = probe.ProbeVideoSound(path);
    ASSERT_TRUE(sound) << sound.Reason();
    EXPECT_NEAR(sound->duration, kFrames / 25.0, 0.1);  // -shortest: the sound ends with the video
    EXPECT_NE(sound->audioFile, path);
    std::filesystem::remove(sound->audioFile);
    const Outcome<AudioFacts> none = probe.ProbeVideoSound(ScratchFile("container-video", "nothing.mp4"));
    EXPECT_FALSE(none);
    EXPECT_NE(none.Reason().find("nothing.mp4"), std::string::npos) << none.Reason();
}

}  // namespace
}  // namespace composer
