// Overlays with an alpha channel laid over the arranged clip by their alpha, with the clip's
// transparent colours still leaving out what they hold, and overlays without alpha covering as before.
#include <gtest/gtest.h>

#include <optional>

#include "command_runner.h"
#include "render/movie_render.h"
#include "render_test_env.h"

namespace composer::testing {
namespace {

constexpr Rgb24 kRed{255, 0, 0};
constexpr Rgb24 kGreen{0, 255, 0};
constexpr Rgb24 kBlue{0, 0, 255};
constexpr Rgb24 kWhite{255, 255, 255};
// White at alpha 128 over blue.
constexpr Rgb24 kWhiteHalfOverBlue{128, 128, 255};

// A 32 x 24 logo in three parts side by side: opaque red (columns 0..9), white at alpha 128
// (10..20) and green at alpha 0 (21..31). Stretched to the 64 x 48 output the parts cover output
// columns 0..19, 20..41 and 42..63. One second of it at 10 frames per second.
const char* const kLogo =
    "nullsrc=s=32x24:r=10:d=1,format=rgba,geq=r='if(lt(X,21),255,0)':g='if(lt(X,10),0,255)':"
    "b='if(lt(X,10),0,if(lt(X,21),255,0))':a='if(lt(X,10),255,if(lt(X,21),128,0))'";
constexpr int kOpaqueColumn = 8;
constexpr int kHalfColumn = 30;
constexpr int kClearColumn = 54;

enum class ClipKind { Picture, Video };

class RenderAlphaOverlayTest : public RenderTest {
  protected:
    // The logo written by ffmpeg with the given output options into the fixture `name`.
    static std::string MakeLogo(const std::string& name, const std::string& options) {
        const std::string path = Fixture(name);
        const std::string made =
            cb::testing::RunCommand("ffmpeg -v error -y -f lavfi -i \"" + std::string(kLogo) + "\" " +
                                    options + " " + cb::testing::Quoted(path) + " && echo made");
        return made.find("made") != std::string::npos ? path : std::string();
    }
};

TEST_F(RenderAlphaOverlayTest, OverlaysAreLaidByTheirAlphaAndTransparentColoursStillApply) {
    struct Case {
        const char* what;
        const char* file;
        const char* options;
        ClipKind kind;
        std::optional<TransColorRec> transparent;
        Rgb24 opaque, half, clear;
    };
    const char* const kGifPalette =
        "-frames:v 1 -vf "
        "'split[x][y];[x]palettegen=reserve_transparent=1[p];[y][p]paletteuse=alpha_threshold=64'";
    const Case cases[] = {
        {"PNG with alpha", "logo.png", "-frames:v 1", ClipKind::Picture, std::nullopt, kRed,
         kWhiteHalfOverBlue, kBlue},
        {"WebP with alpha", "logo.webp", "-frames:v 1 -c:v libwebp -lossless 1", ClipKind::Picture,
         std::nullopt, kRed, kWhiteHalfOverBlue, kBlue},
        {"TIFF with alpha", "logo.tiff", "-frames:v 1", ClipKind::Picture, std::nullopt, kRed,
         kWhiteHalfOverBlue, kBlue},
        // GIF transparency is all or nothing: the half part is kept whole.
        {"GIF with a transparent entry", "logo.gif", kGifPalette, ClipKind::Picture, std::nullopt, kRed,
         kWhite, kBlue},
        {"PNG with alpha, red transparent", "logo.png", "-frames:v 1", ClipKind::Picture,
         TransColorRec{255, 0, 0, 0}, kBlue, kWhiteHalfOverBlue, kBlue},
        // A pixel of a transparent colour is left out whatever its alpha.
        {"PNG with alpha, white transparent", "logo.png", "-frames:v 1", ClipKind::Picture,
         TransColorRec{255, 255, 255, 0}, kRed, kBlue, kBlue},
        {"VP9 with alpha in WebM", "logo.webm", "-c:v libvpx-vp9 -lossless 1 -pix_fmt yuva420p",
         ClipKind::Video, std::nullopt, kRed, kWhiteHalfOverBlue, kBlue},
        {"PNG without alpha", "opaque.png", "-frames:v 1 -pix_fmt rgb24", ClipKind::Picture, std::nullopt,
         kRed, kWhite, kGreen},
        {"PNG without alpha, green transparent", "opaque.png", "-frames:v 1 -pix_fmt rgb24",
         ClipKind::Picture, TransColorRec{0, 255, 0, 0}, kRed, kWhite, kBlue},
    };
    const std::string ground = MakePicture("ground.bmp", "color=c=blue:s=64x48");
    ASSERT_FALSE(ground.empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string logo = MakeLogo(c.file, c.options);
        ASSERT_FALSE(logo.empty());
        MovieDbRec movie = NewMovie(10, 64, 48);
        const int32_t arranged = AddPicture(movie, ground, "Ground", 64, 48, 1.0);
        const int32_t overlay = c.kind == ClipKind::Picture ? AddPicture(movie, logo, "Logo", 32, 24, 1.0)
                                                            : AddVideo(movie, logo, "Logo", 32, 24, 10, 10);
        if (c.transparent) {
            movie.Clips[overlay].TransColors.push_back(*c.transparent);
            movie.Clips[overlay].TransColorCount = 1;
        }
        Arrange(movie, arranged, {overlay});
        const std::string out = OutputFile("alpha.avi");
        ASSERT_TRUE(Shown(SaveMovie(movie, out, options_)));
        EXPECT_TRUE(Near(PixelAt(out, 5, 24, kOpaqueColumn), c.opaque)) << "opaque part";
        EXPECT_TRUE(Near(PixelAt(out, 5, 24, kHalfColumn), c.half)) << "half-transparent part";
        EXPECT_TRUE(Near(PixelAt(out, 5, 24, kClearColumn), c.clear)) << "transparent part";
    }
}

}  // namespace
}  // namespace composer::testing
