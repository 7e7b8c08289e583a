// The movie render against the registered library: movies read back by ffprobe and ffmpeg with the
// frame count, rate, size and sound length the timeline predicts, and the pixels of the arranged
// clips, the overlays without their transparent colours, blank frames and black under overlays.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "base/app_state.h"
#include "command_runner.h"
#include "document/add_clip.h"
#include "media/media_source_probe.h"
#include "render/movie_render.h"
#include "render_test_env.h"
#include "stopped_run.h"
#include "vidmill/vidmill.h"

namespace composer::testing {
namespace {

namespace fs = std::filesystem;

constexpr Rgb24 kRed{255, 0, 0};
constexpr Rgb24 kBlue{0, 0, 255};
constexpr Rgb24 kWhite{255, 255, 255};
constexpr Rgb24 kYellow{255, 255, 0};
constexpr Rgb24 kBlack{0, 0, 0};

// Green ground with a white 16 x 16 square in the middle of a 64 x 48 frame.
const char* const kKeyedSquare =
    "color=c=0x00FF00:s=64x48:r=10,format=rgb24,drawbox=x=24:y=16:w=16:h=16:color=white:t=fill";
// 50 frames whose red channel counts the frame: 5 x (frame - 1).
const char* const kNumbered = "nullsrc=s=64x48:r=25,format=rgb24,geq=r=N*5:g=0:b=0";

TransColorRec Key(uint8_t red, uint8_t green, uint8_t blue, int32_t tolerance = 0) {
    return {red, green, blue, tolerance};
}

void MakeTransparent(ClipRec& clip, const TransColorRec& colour) {
    clip.TransColors.push_back(colour);
    clip.TransColorCount = static_cast<int32_t>(clip.TransColors.size()) - 1;
}

class RenderMovieTest : public RenderTest {
  protected:
    // At 10 frames per second, 64 x 48:
    //   frames 1..10  the red video (1 s), with a 1 s tone under it;
    //   frames 11..21 the blue picture (1 s), stretched from 32 x 24;
    //   frames 16..25 the keyed square overlay (0.5 s into the picture, 1 s long, green transparent);
    //   frames 22..25 no arranged clip: black under the overlay;
    //   frames 26..29 nothing at all: blank;
    //   frames 31..35 a yellow picture overlay without transparent colours (3.0 s, 0.5 s long).
    MovieDbRec ArrangedMovie() {
        MovieDbRec movie = NewMovie(10, 64, 48);
        const int32_t red =
            AddVideo(movie, MakeAvi("red.avi", "color=c=red:s=64x48:r=10", 10), "Red", 64, 48, 10, 10);
        const int32_t blue =
            AddPicture(movie, MakePicture("blue.bmp", "color=c=blue:s=32x24"), "Blue", 32, 24, 1.0);
        const int32_t keyed =
            AddVideo(movie, MakeAvi("keyed.avi", kKeyedSquare, 10), "Keyed", 64, 48, 10, 10);
        movie.Clips[keyed].OverlayDelay = 0.5;
        MakeTransparent(movie.Clips[keyed], Key(0, 255, 0));
        const int32_t yellow =
            AddPicture(movie, MakePicture("yellow.bmp", "color=c=yellow:s=16x16"), "Yellow", 16, 16, 0.5);
        movie.Clips[yellow].OverlayDelay = 2.0;
        const int32_t tone = AddSound(movie, MakeWav("tone.wav", 1.0, 8000), "Tone", 1.0, 8000);
        Arrange(movie, red, {tone});
        Arrange(movie, blue, {keyed, yellow});
        return movie;
    }

    // One video of 50 numbered frames at 25 per second, the output rate.
    MovieDbRec NumberedMovie() {
        MovieDbRec movie = NewMovie(25, 64, 48);
        Arrange(movie, AddVideo(movie, MakeAvi("numbered.avi", kNumbered, 50), "Numbered", 64, 48, 25, 50));
        return movie;
    }
};

TEST_F(RenderMovieTest, ArrangedClipsOverlaysGapsAndSoundAreWhereTheTimelinePutsThem) {
    MovieDbRec movie = ArrangedMovie();
    const std::string out = OutputFile("arranged.avi");
    ASSERT_TRUE(Shown(SaveMovie(movie, out, options_)));
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
    EXPECT_EQ(movie.OutputPath, out);

    const ProbedMovie probed = Probe(out);
    EXPECT_EQ(probed.videoFrames, 35);
    EXPECT_EQ(probed.frameRate, "10/1");
    EXPECT_EQ(probed.width, 64);
    EXPECT_EQ(probed.height, 48);
    EXPECT_EQ(probed.sampleRate, 8000);
    EXPECT_NEAR(static_cast<double>(probed.soundFrames), 3.5 * 8000, 80);  // the whole movie's range

    struct Expected {
        int frame, row, column;
        Rgb24 colour;
        const char* what;
    };
    const Expected cases[] = {
        {5, 24, 32, kRed, "arranged video"},
        {12, 4, 4, kBlue, "arranged picture, stretched"},
        {18, 4, 4, kBlue, "overlay's green left out"},
        {18, 24, 32, kWhite, "overlay's square"},
        {23, 4, 4, kBlack, "black under the overlay in the gap"},
        {23, 24, 32, kWhite, "overlay's square in the gap"},
        {27, 24, 32, kBlack, "blank frame"},
        {32, 4, 4, kYellow, "overlay without transparent colours covers the frame"},
    };
    for (const Expected& expected : cases) {
        EXPECT_TRUE(Near(PixelAt(out, expected.frame, expected.row, expected.column), expected.colour))
            << expected.what << " at frame " << expected.frame;
    }
}

TEST_F(RenderMovieTest, ClipsFromTodaysFilesRenderWithTheirPicturesAtTheirFramesAndTheirSoundsMixed) {
    // An MP4 at 30 fps: 1 s red then 1 s blue, with its own sound; a PNG; an MP3 and a FLAC.
    const std::string mp4 = Fixture("phone.mp4");
    const std::string png = Fixture("still.png");
    const std::string mp3 = Fixture("song.mp3");
    const std::string flac = Fixture("take.flac");
    const std::string made = cb::testing::RunCommand(
        "ffmpeg -v error -y -f lavfi -i color=c=red:s=64x48:r=30:d=1 -f lavfi -i "
        "color=c=blue:s=64x48:r=30:d=1 "
        "-f lavfi -i sine=f=300:d=2 -filter_complex '[0:v][1:v]concat=n=2[v]' -map '[v]' -map 2:a "
        "-c:v libx264 -g 12 -pix_fmt yuv420p -c:a aac " +
        cb::testing::Quoted(mp4) + " && ffmpeg -v error -y -f lavfi -i color=c=yellow:s=32x24 -frames:v 1 " +
        cb::testing::Quoted(png) + " && ffmpeg -v error -y -f lavfi -i sine=f=500:d=1.5 -c:a libmp3lame " +
        cb::testing::Quoted(mp3) + " && ffmpeg -v error -y -f lavfi -i sine=f=700:d=1 -c:a flac " +
        cb::testing::Quoted(flac) + " && echo made");
    ASSERT_NE(made.find("made"), std::string::npos);

    MovieDbRec movie = NewMovie(25, 64, 48);
    MediaSourceProbe probe;
    int32_t position = 0, overlay = 0;
    ASSERT_TRUE(AddClip(movie, mp4, TrackKind::None, position, overlay, probe));  // clip 1, its sound clip 2
    ASSERT_TRUE(AddClip(movie, png, TrackKind::None, position = 0, overlay = 0, probe));
    ASSERT_TRUE(AddClip(movie, mp3, TrackKind::Overlay, position = 1, overlay = 0, probe));
    ASSERT_TRUE(AddClip(movie, flac, TrackKind::Overlay, position = 2, overlay = 0, probe));
    ASSERT_EQ(movie.ClipCount, 5);
    EXPECT_EQ(movie.Clips[1].ClipType, ClipVideo);
    EXPECT_EQ(movie.Clips[1].FrameCount, 60);
    EXPECT_DOUBLE_EQ(movie.Clips[1].SrcFps, 30.0);
    EXPECT_EQ(movie.Clips[2].ClipType, ClipAudio);
    EXPECT_EQ(movie.Clips[3].ClipType, ClipPicture);
    EXPECT_EQ(movie.Clips[4].ClipType, ClipAudio);
    EXPECT_EQ(movie.Clips[5].ClipType, ClipAudio);

    const std::string out = OutputFile("todays-files.avi");
    ASSERT_TRUE(Shown(SaveMovie(movie, out, options_)));
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
    const ProbedMovie probed = Probe(out);
    EXPECT_EQ(probed.videoFrames, 75);  // 2 s of video, 1 s of picture at 25 fps
    EXPECT_NEAR(static_cast<double>(probed.soundFrames), 3.0 * 8000, 80);
    EXPECT_TRUE(Near(PixelAt(out, 2, 24, 32), kRed));
    EXPECT_TRUE(Near(PixelAt(out, 24, 24, 32), kRed));   // 0.92 s: still the red second
    EXPECT_TRUE(Near(PixelAt(out, 27, 24, 32), kBlue));  // 1.04 s: the blue one
    EXPECT_TRUE(Near(PixelAt(out, 50, 24, 32), kBlue));
    EXPECT_TRUE(Near(PixelAt(out, 60, 24, 32), kYellow));
    // Under the picture only the FLAC sounds: the movie is not silent there.
    const std::string loudness =
        cb::testing::RunCommand("ffmpeg -hide_banner -ss 2.2 -t 0.6 -i " + cb::testing::Quoted(out) +
                                " -vn -af volumedetect -f null - 2>&1 | grep -o 'mean_volume: [-0-9.]*'");
    ASSERT_NE(loudness.find("mean_volume: "), std::string::npos) << loudness;
    EXPECT_GT(std::stod(loudness.substr(loudness.find(':') + 1)), -40.0) << loudness;
}

// An MP4 clip of the movie's size, uncropped and without overlays, goes to an MP4 movie frame for
// frame as its decoder gave it; cropped, it is converted as any picture. Both show the right colours
// at the right frames.
TEST_F(RenderMovieTest, AClipOfTheMoviesSizePassesIntoAMovieToShareAtItsFrames) {
    const std::string mp4 = Fixture("hd-colours.mp4");
    const std::string made = cb::testing::RunCommand(
        "ffmpeg -v error -y -f lavfi -i color=c=red:s=64x48:r=30:d=1 -f lavfi -i "
        "color=c=blue:s=64x48:r=30:d=1 "
        "-filter_complex '[0:v][1:v]concat=n=2,scale=out_color_matrix=bt709,format=yuv420p[v]' -map '[v]' "
        "-c:v libx264 -g 12 "
        "-colorspace bt709 -color_primaries bt709 -color_trc bt709 " +
        cb::testing::Quoted(mp4) + " && echo made");
    ASSERT_NE(made.find("made"), std::string::npos);
    for (const int32_t crop : {0, 2}) {
        SCOPED_TRACE(crop);
        MovieDbRec movie = NewMovie(30, 64, 48);
        MediaSourceProbe probe;
        int32_t position = 0, overlay = 0;
        ASSERT_TRUE(AddClip(movie, mp4, TrackKind::None, position, overlay, probe));
        movie.Clips[1].CropTop = crop;
        const std::string out = OutputFile("passed-" + std::to_string(crop) + ".mp4");
        ASSERT_TRUE(Shown(SaveMovie(movie, out, options_)));
        EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
        EXPECT_EQ(Probe(out).videoFrames, 60);
        for (const int frame : {1, 29}) EXPECT_TRUE(Near(PixelAt(out, frame, 24, 32), kRed, 12)) << frame;
        for (const int frame : {31, 60}) EXPECT_TRUE(Near(PixelAt(out, frame, 24, 32), kBlue, 12)) << frame;
    }
}

// What ffprobe says of one stream of a file: "key=value" lines.
std::string StreamFacts(const std::string& movie, const std::string& stream, const std::string& entries) {
    return cb::testing::RunCommand("ffprobe -v error -select_streams " + stream + " -show_entries stream=" +
                                   entries + " -of default=nw=1 " + cb::testing::Quoted(movie));
}

TEST_F(RenderMovieTest, OutputsNamedMp4MkvOrWebmAreMoviesToShareWithTheirPicturesAndSound) {
    const struct {
        const char* name;
        ShareVideo coding;  // the video coding chosen (WebM holds VP9 whatever is asked)
        const char* video;  // codec_name, profile and pixel format as ffprobe reads them
        const char* sound;
    } cases[] = {
        {"share.mp4", ShareVideo::FormatDefault, "codec_name=h264\nprofile=High\npix_fmt=yuv420p",
         "codec_name=aac\nprofile=LC"},
        {"share.mkv", ShareVideo::FormatDefault, "codec_name=h264\nprofile=High\npix_fmt=yuv420p",
         "codec_name=aac\nprofile=LC"},
        {"share.webm", ShareVideo::H264, "codec_name=vp9\nprofile=Profile 0\npix_fmt=yuv420p",
         "codec_name=opus"},
        {"vp9.mkv", ShareVideo::Vp9, "codec_name=vp9\nprofile=Profile 0\npix_fmt=yuv420p",
         "codec_name=aac\nprofile=LC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MovieDbRec movie = ArrangedMovie();
        const std::string out = OutputFile(c.name);
        RenderOptions options = options_;
        options.compressor = vidmill::MsVideo1Compressor;  // an AVI compressor says nothing here
        options.share.video = c.coding;
        ASSERT_TRUE(Shown(SaveMovie(movie, out, options)))
            << (ui.messages.empty() ? "" : ui.messages.back().text);
        EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
        EXPECT_EQ(StreamFacts(out, "v:0", "codec_name,profile,pix_fmt"), std::string(c.video) + "\n");
        EXPECT_EQ(StreamFacts(out, "a:0",
                              std::string(c.sound).find("profile") != std::string::npos ? "codec_name,profile"
                                                                                        : "codec_name"),
                  std::string(c.sound) + "\n");
        const ProbedMovie probed = Probe(out);
        EXPECT_EQ(probed.videoFrames, 35);
        EXPECT_EQ(probed.frameRate, "10/1");
        // Matroska keeps AAC's priming samples and the last frame's padding: two frames of 1024 at 8 kHz.
        EXPECT_NEAR(static_cast<double>(probed.soundFrames) / probed.sampleRate, 3.5 + 0.1, 0.15);
        EXPECT_TRUE(Near(PixelAt(out, 5, 24, 32), kRed, 12));
        EXPECT_TRUE(Near(PixelAt(out, 12, 4, 4), kBlue, 12));
        EXPECT_TRUE(Near(PixelAt(out, 18, 24, 32), kWhite, 12));
        EXPECT_TRUE(Near(PixelAt(out, 27, 24, 32), kBlack, 12));
    }
    // An MP4 keeps its index before the pictures, so that it plays while it downloads.
    std::ifstream file(OutputFile("share.mp4"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    ASSERT_NE(bytes.find("moov"), std::string::npos);
    EXPECT_LT(bytes.find("moov"), bytes.find("mdat"));
}

TEST_F(RenderMovieTest, ProgressAdvancesEveryTenFramesAndEndsFull) {
    MovieDbRec movie = ArrangedMovie();
    ASSERT_TRUE(Shown(SaveMovie(movie, OutputFile("progress.avi"), options_)));
    using Kind = ScriptedInteraction::ProgressKind;
    std::vector<double> fractions;
    for (const auto& event : ui.progress) {
        if (event.kind == Kind::Fraction) fractions.push_back(event.fraction);
    }
    ASSERT_EQ(fractions.size(), 4u);
    EXPECT_NEAR(fractions[0], 10.0 / 35, 1e-6);
    EXPECT_NEAR(fractions[2], 30.0 / 35, 1e-6);
    EXPECT_EQ(fractions[3], 1.0);
    EXPECT_EQ(ui.progress.front().kind, Kind::Clear);
    EXPECT_EQ(ui.progress.back().kind, Kind::Hide);
    EXPECT_EQ(ui.waitCursorDepth, 0);
}

TEST_F(RenderMovieTest, PartRangesTakeRoundedFramesWithinTheMovie) {
    struct Row {
        double start, end;
        int firstFrame, frames;
    };
    const Row rows[] = {
        {0.5, 1.0, 14, 13},    // 13.5 rounds to the even 14
        {1.5, 100.0, 38, 13},  // 38.5 rounds to the even 38; the end is lowered to the movie's 2 s
        {0.0, 2.0, 1, 50},     // the whole movie: the last frame 51 is lowered to 50
    };
    for (const Row& row : rows) {
        MovieDbRec movie = NumberedMovie();
        const std::string out = OutputFile("part.avi");
        ASSERT_TRUE(Shown(SavePartMovie(movie, out, row.start, row.end, options_))) << row.start;
        EXPECT_EQ(Probe(out).videoFrames, row.frames) << row.start << " .. " << row.end;
        EXPECT_TRUE(Near(PixelAt(out, 1, 24, 32), {5 * (row.firstFrame - 1), 0, 0}, 2))
            << "first frame of " << row.start << " .. " << row.end;
    }
}

TEST_F(RenderMovieTest, NothingToRenderIsRefusedWithoutAFile) {
    struct Row {
        bool emptyMovie;
        double start, end;
        const char* text;
        const char* title;
    };
    const Row rows[] = {
        {true, 0, 1, "Movie duration is zero", "Save Part Movie failed"},
        {false, 1.0, 1.0, "Invalid start/end time", "Save Part Movie failed"},
        {false, -0.5, 1.0, "Invalid start/end time", "Save Part Movie failed"},
        {false, 3.0, 5.0, "Invalid start/end time", "Save Part Movie failed"},  // start past the capped end
    };
    const std::string out = OutputFile("none.avi");
    for (const Row& row : rows) {
        ui.messages.clear();
        MovieDbRec movie = row.emptyMovie ? NewMovie(25, 64, 48) : NumberedMovie();
        const RenderReport report = SavePartMovie(movie, out, row.start, row.end, options_);
        // The run only reports; the command that started it shows the message.
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_FALSE(Shown(report));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_TRUE(ui.messages[0].text.starts_with(row.text)) << ui.messages[0].text;
        // A range outside the movie is answered with the movie's length.
        if (!row.emptyMovie) {
            EXPECT_NE(ui.messages[0].text.find("\r\nThe movie is "), std::string::npos)
                << ui.messages[0].text;
        }
        EXPECT_EQ(ui.messages[0].title, row.title);
        EXPECT_FALSE(fs::exists(out));
    }
    ui.messages.clear();
    MovieDbRec empty = NewMovie(25, 64, 48);
    EXPECT_FALSE(Shown(SaveMovie(empty, out, options_)));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Save Movie failed");
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(RenderMovieTest, AReadOnlyOutputFileIsKeptAndNothingIsWritten) {
    MovieDbRec movie = NumberedMovie();
    const std::string out = OutputFile("kept.avi");
    std::ofstream(out) << "keep me";
    fs::permissions(out, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_FALSE(Shown(SaveMovie(movie, out, options_)));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The file " + out +
                                       "\r\nalready exists and could not be deleted\r\n"
                                       "please delete it and try again");
    EXPECT_EQ(ui.messages[0].title, kProgramTitle);
    EXPECT_EQ(cb::testing::FileBytes(out), "keep me");
    EXPECT_FALSE(cb::testing::FolderHolds(WorkFolder, "kept.avi.partial-"));
    EXPECT_TRUE(movie.OutputPath.empty());
    EXPECT_EQ(ui.waitCursorDepth, 0);
}

TEST_F(RenderMovieTest, AnExistingWritableOutputFileIsReplaced) {
    MovieDbRec movie = NumberedMovie();
    const std::string out = OutputFile("replaced.avi");
    std::ofstream(out) << "old movie";
    ASSERT_TRUE(Shown(SaveMovie(movie, out, options_)));
    EXPECT_EQ(Probe(out).videoFrames, 50);
}

TEST_F(RenderMovieTest, CropMarginsThatLeaveNoPictureAreIgnoredWithAWarningPerFrame) {
    struct Row {
        int32_t top, bottom, left, right;
        std::string line;  // expected once per frame; empty: no warning
    };
    const Row rows[] = {
        {23, 23, 0, 0,
         "Crop Top + Bottom is too high, both reset to zero (Clip: Cropped)\r\n"},  // height - 2
        {22, 23, 0, 0, ""},
        {0, 0, 40, 22, "Crop Left + Right is too high, both reset to zero (Clip: Cropped)\r\n"},  // width - 2
    };
    for (const Row& row : rows) {
        ui.messages.clear();
        MovieDbRec movie = NewMovie(10, 64, 48);
        const int32_t clip =
            AddVideo(movie, MakeAvi("red.avi", "color=c=red:s=64x48:r=10", 10), "Cropped", 64, 48, 10, 10);
        ClipRec& record = movie.Clips[clip];
        record.CropTop = row.top;
        record.CropBottom = row.bottom;
        record.CropLeft = row.left;
        record.CropRight = row.right;
        Arrange(movie, clip);
        const std::string out = OutputFile("cropped.avi");
        ASSERT_TRUE(Shown(SaveMovie(movie, out, options_)));
        if (row.line.empty()) {
            EXPECT_TRUE(ui.messages.empty());
        } else {
            std::string tenLines;
            for (int frame = 1; frame <= 10; ++frame) tenLines += row.line;
            ASSERT_EQ(ui.messages.size(), 1u);  // collected, shown once at the end
            EXPECT_EQ(ui.messages[0].text, tenLines);
            EXPECT_EQ(ui.messages[0].title, kProgramTitle);
            EXPECT_TRUE(Near(PixelAt(out, 5, 1, 1), kRed)) << "rendered uncropped";
        }
        EXPECT_EQ(movie.Clips[clip].CropTop, row.top) << "the clip keeps its margins";
    }
}

TEST_F(RenderMovieTest, ThreeOverlaysAfterFramesWithOneAreLaidInOrder) {
    // 10 per second: a white picture for 2 s with a red full-frame overlay on it all along; from
    // 1 s on, the keyed square and a blue corner on green over it.
    MovieDbRec movie = NewMovie(10, 64, 48);
    const int32_t white =
        AddPicture(movie, MakePicture("white.bmp", "color=c=white:s=64x48"), "White", 64, 48, 2.0);
    const int32_t red = AddPicture(movie, MakePicture("red.bmp", "color=c=red:s=64x48"), "Red", 64, 48, 2.0);
    const int32_t keyed = AddVideo(movie, MakeAvi("keyed.avi", kKeyedSquare, 10), "Keyed", 64, 48, 10, 10);
    const int32_t corner = AddPicture(
        movie,
        MakePicture("corner.bmp",
                    "color=c=0x00FF00:s=64x48,format=rgb24,drawbox=x=0:y=0:w=16:h=12:color=blue:t=fill"),
        "Corner", 64, 48, 1.0);
    for (int32_t clip : {keyed, corner}) {
        movie.Clips[clip].OverlayDelay = 1.0;
        MakeTransparent(movie.Clips[clip], Key(0, 250, 0, 5));  // 250 +- 13 holds 255
    }
    Arrange(movie, white, {red, keyed, corner});
    const std::string out = OutputFile("three.avi");
    ASSERT_TRUE(Shown(SaveMovie(movie, out, options_)));
    EXPECT_TRUE(Near(PixelAt(out, 5, 24, 32), kRed));
    EXPECT_TRUE(Near(PixelAt(out, 15, 24, 32), kWhite)) << "the square over the red";
    EXPECT_TRUE(Near(PixelAt(out, 15, 4, 4), kBlue)) << "the corner over the green of the square's clip";
    EXPECT_TRUE(Near(PixelAt(out, 15, 40, 60), kRed)) << "the red where both later overlays are transparent";
}

// Runs `body` while files of this process cannot grow past `limitBytes`: a full disk, as the writer
// and the sound mix meet it.
template <typename Body>
void WithFileSizeLimit(rlim_t limitBytes, Body body) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit limited = previous;
    limited.rlim_cur = limitBytes;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    body();
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, SIG_DFL);
}

TEST_F(RenderMovieTest, ADiskThatFillsUpStopsTheRunAndSaysWhatFailed) {
    struct Row {
        int32_t width, height;
        const char* what;  // what the last message says failed
    };
    const Row rows[] = {
        {64, 48, "The movie could not be written: frame "},  // 9 kB frames pass the 100 kB limit
        {16, 12, "The movie could not be written: its sound track could not be made."},  // 44.1 kHz stereo
    };
    for (const Row& row : rows) {
        ui.messages.clear();
        MovieDbRec movie = NewMovie(25, row.width, row.height);
        movie.OutRate = 44100;
        movie.OutChannels = 2;
        const int32_t video =
            AddVideo(movie, MakeAvi("numbered.avi", kNumbered, 50), "Numbered", 64, 48, 25, 50);
        Arrange(movie, video, {AddSound(movie, MakeWav("tone2.wav", 2.0, 8000), "Tone", 2.0, 8000)});
        const std::string out = OutputFile("full.avi");
        std::ofstream(out) << "the old movie";
        bool written = true;
        WithFileSizeLimit(100 * 1024, [&] { written = Shown(SaveMovie(movie, out, options_)); });

        EXPECT_FALSE(written) << row.what;
        ASSERT_FALSE(ui.messages.empty()) << row.what;
        const std::string& last = ui.messages.back().text;
        EXPECT_EQ(last.rfind(row.what, 0), 0u) << last;
        EXPECT_NE(last.find("The file " + out + " was left as it was."), std::string::npos) << last;
        EXPECT_EQ(cb::testing::FileBytes(out), "the old movie");
        EXPECT_FALSE(cb::testing::FolderHolds(WorkFolder, "full.avi.partial-"));
        EXPECT_EQ(ui.waitCursorDepth, 0);
        EXPECT_EQ(ui.progress.back().kind, ScriptedInteraction::ProgressKind::Hide);
    }
}

}  // namespace
}  // namespace composer::testing

namespace composer::testing {
namespace {

// Sources that cannot be read leave blank frames, as always, but are named: once each, with the
// reason, in one message at the end and in the list the caller asked for. A source that did not
// open has no size, so its crop margins give no warnings frame after frame.
TEST_F(RenderMovieTest, UnreadableSourcesAreNamedOnceAndTheMovieIsStillWritten) {
    MovieDbRec movie = NewMovie(10, 64, 48);
    const std::string empty = OutputFile("empty.avi");
    std::ofstream(empty).close();
    const std::string missing = OutputFile("missing.bmp");
    const int32_t video = AddVideo(movie, empty, "Empty", 64, 48, 10, 10);
    movie.Clips[static_cast<std::size_t>(video)].CropTop = 10;
    movie.Clips[static_cast<std::size_t>(video)].CropBottom = 10;
    Arrange(movie, video);
    Arrange(movie, AddPicture(movie, missing, "Missing", 40, 30, 1.0));
    Arrange(movie, AddVideo(movie, empty, "Empty again", 64, 48, 10, 10));
    const std::string out = OutputFile("unreadable.avi");
    const RenderReport report = SaveMovie(movie, out, options_);
    ASSERT_TRUE(Shown(report));
    const std::vector<std::string>& unreadable = report.unreadableSources;
    const std::vector<std::string> expected{
        "cannot read " + empty + ": Cannot open AVI file " + empty + ": not an AVI file",
        "cannot read " + missing + ": the file is missing or not a regular file"};
    EXPECT_EQ(unreadable, expected);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The movie was written with sources missing or unreadable:\r\n" +
                                       expected[0] + "\r\n" + expected[1]);
    EXPECT_EQ(Probe(out).videoFrames, 30);
}

}  // namespace
}  // namespace composer::testing
