// Pictures that change size on their way into the movie: filtered by default (area down, bicubic
// up), unchanged at the output's size, overlays scaled with their coverage so keyed edges stay free of
// the key colour, and the point-sampled rule kept bit for bit with sharp pixels. Standard-definition
// sources keep their colours in a movie to share.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "cbplatform/picture.h"
#include "command_runner.h"
#include "frame_composer.h"
#include "media/pixels/overlay_pixels.h"
#include "render/movie_render.h"
#include "render_test_env.h"

namespace composer::testing {
namespace {

constexpr int32_t kWidth = 64;
constexpr int32_t kHeight = 48;

// A one-pixel checkerboard of black and white.
const char* const kCheckerboard =
    "nullsrc=s=128x96,format=rgb24,geq=r=255*mod(X+Y\\,2):g=255*mod(X+Y\\,2):b=255*mod(X+Y\\,2)";

class RenderScalingTest : public RenderTest {
  protected:
    static FrameRow Row(int32_t mainClip, std::vector<LayerRef> layers = {}) {
        FrameRow row;
        row.MainClip = mainClip;
        row.MainFrame = 1;
        row.Layers.insert(row.Layers.end(), layers.begin(), layers.end());
        row.LayerCount = static_cast<int32_t>(layers.size());
        return row;
    }

    // A picture's own pixels, read 1:1 (rows bottom-up, colours only).
    static PixelBuffer Exact(IPicture* picture, int32_t width, int32_t height) {
        PixelBuffer pixels;
        PixelScaler scaler;
        EXPECT_TRUE(picture && CropScaleToPixels(picture, width, height, {}, scaler, pixels));
        for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
        return pixels;
    }

    // The composed frame's colours.
    static PixelBuffer Composed(const MovieDbRec& movie, const FrameRow& row, Sampling sampling) {
        std::string warnings;
        RenderLayers layers(movie, warnings);
        FrameComposer composer(movie, layers, sampling);
        return Exact(composer.Compose(row).get(), movie.OutWidth, movie.OutHeight);
    }

    static int Channel(uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

    // A blue picture of the output's size (`ground`) and a keyed 16 x 12 overlay (`ground` + 1): a
    // white square on key green.
    static MovieDbRec KeyedOverlayMovie(int32_t& ground) {
        MovieDbRec movie = NewMovie(10, kWidth, kHeight);
        ground =
            AddPicture(movie, MakePicture("blue.bmp", "color=c=blue:s=64x48"), "Ground", kWidth, kHeight, 1);
        const std::string square =
            MakePicture("square.bmp", "color=c=0x00FF00:s=16x12,drawbox=x=4:y=3:w=8:h=6:color=white:t=fill");
        const int32_t overlay = AddPicture(movie, square, "Square", 16, 12, 1);
        movie.Clips[overlay].TransColors.push_back({0, 255, 0, 10});
        movie.Clips[overlay].TransColorCount = 1;
        return movie;
    }
};

TEST_F(RenderScalingTest, PicturesAreFilteredWhenTheirSizeChangesAndUnchangedWhenItDoesNot) {
    const std::string pattern = MakePicture("pattern.bmp", "testsrc2=s=64x48");
    const std::string checkerboard = MakePicture("checkerboard.bmp", kCheckerboard);
    const std::string clear = MakePicture("clear.bmp", "color=c=0x00FF00:s=64x48");
    ASSERT_FALSE(pattern.empty() || checkerboard.empty() || clear.empty());
    MovieDbRec movie = NewMovie(10, kWidth, kHeight);
    const int32_t same = AddPicture(movie, pattern, "Pattern", kWidth, kHeight, 1);
    const int32_t fine = AddPicture(movie, checkerboard, "Checkerboard", 128, 96, 1);
    // An overlay keyed away entirely: the arranged clip goes through the pixel buffers.
    const int32_t keyedAway = AddPicture(movie, clear, "Clear", kWidth, kHeight, 1);
    movie.Clips[keyedAway].TransColors.push_back({0, 255, 0, 0});
    movie.Clips[keyedAway].TransColorCount = 1;
    const PixelBuffer source = Exact(cb::LoadPicture(pattern).get(), kWidth, kHeight);

    // The output's size, alone and under an overlay: every pixel as the source has it.
    for (const FrameRow& row : {Row(same), Row(same, {LayerRef{keyedAway, 1}})}) {
        SCOPED_TRACE(row.LayerCount);
        EXPECT_EQ(Composed(movie, row, Sampling::Filtered), source);
    }
    // A fine checkerboard halved: mid grey when filtered, black and white point-sampled.
    struct Case {
        Sampling sampling;
        FrameRow row;
        int lowest, highest;
        bool greyWanted;
    };
    const Case cases[] = {
        {Sampling::Filtered, Row(fine), 126, 129, true},
        {Sampling::Filtered, Row(fine, {LayerRef{keyedAway, 1}}), 126, 129, true},
        {Sampling::SharpPixels, Row(fine), 0, 255, false},
        {Sampling::SharpPixels, Row(fine, {LayerRef{keyedAway, 1}}), 0, 255, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.sampling == Sampling::Filtered ? "filtered" : "sharp") + " with " +
                     std::to_string(c.row.LayerCount) + " overlays");
        const PixelBuffer pixels = Composed(movie, c.row, c.sampling);
        ASSERT_EQ(pixels.size(), static_cast<std::size_t>(kWidth * kHeight));
        for (const uint32_t pixel : pixels) {
            const int green = Channel(pixel, 8);
            if (c.greyWanted) {
                ASSERT_TRUE(green >= c.lowest && green <= c.highest) << std::hex << pixel;
            } else {
                ASSERT_TRUE(green == 0 || green == 255) << std::hex << pixel;
            }
        }
    }
}

TEST_F(RenderScalingTest, AKeyedOverlayScaledUpHasSmoothEdgesWithoutItsKeyColour) {
    int32_t ground = 0;
    MovieDbRec movie = KeyedOverlayMovie(ground);
    const int32_t overlay = ground + 1;
    const PixelBuffer pixels = Composed(movie, Row(ground, {LayerRef{overlay, 1}}), Sampling::Filtered);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(kWidth * kHeight));
    int edge = 0;
    for (const uint32_t pixel : pixels) {
        const int red = Channel(pixel, 16), green = Channel(pixel, 8), blue = Channel(pixel, 0);
        // White over blue mixes to (v, v, 255): any green above red is the key bleeding in.
        ASSERT_LE(green, red + 2) << std::hex << pixel;
        ASSERT_GE(blue, 250) << std::hex << pixel;
        if (red > 8 && red < 247) ++edge;
    }
    EXPECT_GT(edge, 2 * (kWidth / 2 + kHeight / 2)) << "the square's edges are blended, not stepped";
    // Point-sampled, the square has hard edges and still no key colour.
    for (const uint32_t pixel : Composed(movie, Row(ground, {LayerRef{overlay, 1}}), Sampling::SharpPixels))
        ASSERT_TRUE(pixel == 0xFFFFFF || pixel == 0x0000FF) << std::hex << pixel;
}

// Sharp pixels compose as the point-sampled rule does: the kept region stretched with the over-draw
// rows and the overlay's transparent colours tested on its stretched pixels.
TEST_F(RenderScalingTest, SharpPixelsKeepThePointSampledRuleBitForBit) {
    int32_t ground = 0;
    MovieDbRec movie = KeyedOverlayMovie(ground);
    const int32_t overlay = ground + 1;
    const std::string pattern = MakePicture("small-pattern.bmp", "testsrc2=s=40x30");
    const int32_t main = AddPicture(movie, pattern, "Pattern", 40, 30, 1);
    movie.Clips[main].CropTop = 3;
    movie.Clips[main].CropLeft = 5;
    movie.Clips[main].CropRight = 2;

    struct Case {
        const char* what;
        FrameRow row;
    };
    const Case cases[] = {
        {"cropped and stretched", Row(main)},
        {"cropped under a keyed overlay", Row(main, {LayerRef{overlay, 1}})},
        {"the output's size under a keyed overlay", Row(ground, {LayerRef{overlay, 1}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The old rule, step by step through the point-sampled operations.
        PixelBuffer expected;
        const ClipRec& arranged = movie.Clips[c.row.MainClip];
        ASSERT_TRUE(CropStretchToPixels(cb::LoadPicture(arranged.FilePath).get(), arranged.SrcWidth,
                                        arranged.SrcHeight, kWidth, kHeight, expected, arranged.CropTop,
                                        arranged.CropBottom, arranged.CropLeft, arranged.CropRight));
        if (c.row.LayerCount > 0) {
            const ClipRec& laid = movie.Clips[overlay];
            PixelBuffer over;
            ASSERT_TRUE(CropStretchToPixels(cb::LoadPicture(laid.FilePath).get(), 16, 12, kWidth, kHeight,
                                            over, 0, 0, 0, 0));
            BlendOverlayPixels(expected, over, kWidth * kHeight, laid.TransColors, laid.TransColorCount);
        }
        for (uint32_t& pixel : expected) pixel &= 0xFFFFFF;
        EXPECT_EQ(Composed(movie, c.row, Sampling::SharpPixels), expected);
    }
}

// PSNR in dB of a movie's pictures against the source's, both read as RGB by ffmpeg.
double Psnr(const std::string& movie, const std::string& source) {
    const std::string out = cb::testing::RunCommand(
        "(ffmpeg -v info -i " + cb::testing::Quoted(movie) + " -i " + cb::testing::Quoted(source) +
        " -lavfi '[0:v]format=rgb24[a];[1:v]format=rgb24[b];[a][b]psnr' -f null - 2>&1)");
    const std::size_t at = out.find("average:");
    return at == std::string::npos ? 0.0 : std::stod(out.substr(at + 8));
}

TEST_F(RenderScalingTest, AStandardDefinitionSourceKeepsItsColoursInAMovieToShare) {
    const std::string source = Fixture("sd-source.mp4");
    const std::string theirs = Fixture("sd-ffmpeg.mp4");
    cb::testing::RunCommand(
        "ffmpeg -v error -y -f lavfi -i testsrc2=s=352x288:r=25:d=1 -c:v libx264 -pix_fmt "
        "yuv420p -qp 0 " +
        cb::testing::Quoted(source) + " && ffmpeg -v error -y -i " + cb::testing::Quoted(source) +
        " -c:v libx264 -crf 20 " + cb::testing::Quoted(theirs));
    const double direct = Psnr(theirs, source);
    ASSERT_GT(direct, 30.0);
    const std::string clear = MakePicture("sd-clear.bmp", "color=c=0x00FF00:s=352x288");
    // Straight through, and through the pixel buffers under an overlay that is keyed away.
    for (const bool layered : {false, true}) {
        SCOPED_TRACE(layered ? "under an overlay" : "alone");
        MovieDbRec movie = NewMovie(25, 352, 288);
        const int32_t video = AddVideo(movie, source, "SD", 352, 288, 25, 25);
        const int32_t keyedAway = AddPicture(movie, clear, "Clear", 352, 288, 1);
        movie.Clips[keyedAway].TransColors.push_back({0, 255, 0, 0});
        movie.Clips[keyedAway].TransColorCount = 1;
        Arrange(movie, video, layered ? std::vector<int32_t>{keyedAway} : std::vector<int32_t>{});
        const std::string ours = OutputFile(layered ? "sd-layered.mp4" : "sd-plain.mp4");
        ASSERT_TRUE(Shown(SaveMovie(movie, ours, options_)));
        // Within 1.5 dB of ffmpeg's own encode (the path through pixels lands about 1 dB below it,
        // and the encoder's threads move the figure by a few hundredths from run to run); the wrong
        // colour matrix costs about 6 dB.
        EXPECT_GT(Psnr(ours, source), direct - 1.5) << "ffmpeg's own encode: " << direct << " dB";
    }
}

}  // namespace
}  // namespace composer::testing
