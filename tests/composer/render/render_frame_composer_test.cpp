// Composition of single frames, before anything is written: which surface a frame comes from (the
// fetched picture as it is, a stretched copy, the blank surface, the composed pixels) and what it shows.
#include <gtest/gtest.h>

#include "frame_composer.h"
#include "render_test_env.h"

namespace composer::testing {
namespace {

constexpr uint32_t kRedPixel = 0xFF0000;
constexpr uint32_t kWhitePixel = 0xFFFFFF;
constexpr uint32_t kBlackPixel = 0x000000;

class FrameComposerTest : public RenderTest {
  protected:
    void SetUp() override {
        RenderTest::SetUp();
        movie_ = NewMovie(10, 64, 48);
        const std::string red = MakeAvi("red.avi", "color=c=red:s=64x48:r=10", 10);
        red_ = AddVideo(movie_, red, "Red", 64, 48, 10, 10);
        cropped_ = AddVideo(movie_, red, "Cropped", 64, 48, 10, 10);
        movie_.Clips[cropped_].CropLeft = 2;
        keyed_ = AddVideo(movie_,
                          MakeAvi("keyed.avi",
                                  "color=c=0x00FF00:s=64x48:r=10,format=rgb24,drawbox=x=24:y=16:w=16:h=16:"
                                  "color=white:t=fill",
                                  10),
                          "Keyed", 64, 48, 10, 10);
        movie_.Clips[keyed_].TransColors.push_back({0, 255, 0, 0});
        movie_.Clips[keyed_].TransColorCount = 1;
        missingPicture_ = AddPicture(movie_, Fixture("not-there.bmp"), "Missing", 64, 48, 1.0);
    }

    static FrameRow Row(int32_t mainClip, int32_t mainFrame, std::vector<LayerRef> layers = {}) {
        FrameRow row;
        row.MainClip = mainClip;
        row.MainFrame = mainFrame;
        row.Layers.insert(row.Layers.end(), layers.begin(), layers.end());
        row.LayerCount = static_cast<int32_t>(layers.size());
        return row;
    }

    // The pixel at (row, column) of a composed picture.
    static uint32_t Pixel(IPicture* picture, int32_t row, int32_t column) {
        PixelBuffer pixels;
        EXPECT_TRUE(PictureToPixels(picture, 64, 48, pixels));
        return pixels.empty() ? 0xDEADBEEF : pixels[PixelIndex(64, 48, row, column)] & 0xFFFFFF;
    }

    MovieDbRec movie_;
    int32_t red_ = 0, cropped_ = 0, keyed_ = 0, missingPicture_ = 0;
};

TEST_F(FrameComposerTest, FramesComeFromTheSurfaceTheirKindCallsFor) {
    std::string warnings;
    RenderLayers layers(movie_, warnings);
    FrameComposer composer(movie_, layers);
    ProcessMainForm& form = ProcessMainFrm();

    // Output size and no crop: the fetched picture itself, without pixel work.
    const cb::ComPtr<IPicture> plain = composer.Compose(Row(red_, 3));
    ASSERT_TRUE(plain);
    EXPECT_NE(plain.get(), form.ProcessPic1.Image().get());
    EXPECT_NE(plain.get(), form.ReadPic.Image().get());
    EXPECT_EQ(Pixel(plain.get(), 24, 32), kRedPixel);

    const cb::ComPtr<IPicture> stretched = composer.Compose(Row(cropped_, 3));
    EXPECT_EQ(stretched.get(), form.ProcessPic1.Image().get());

    const cb::ComPtr<IPicture> blank = composer.Compose(Row(0, 0));
    EXPECT_EQ(blank.get(), form.ReadPic.Image().get());
    EXPECT_EQ(Pixel(blank.get(), 24, 32), kBlackPixel);

    const cb::ComPtr<IPicture> unreadable = composer.Compose(Row(red_, 99));
    EXPECT_EQ(unreadable.get(), form.ReadPic.Image().get()) << "a frame that cannot be read is blank";

    const cb::ComPtr<IPicture> placeholder = composer.Compose(Row(missingPicture_, 1));
    EXPECT_EQ(placeholder.get(), form.ProcessPic1.Image().get())
        << "a missing picture: its placeholder, stretched";
    EXPECT_TRUE(warnings.empty()) << warnings;
}

TEST_F(FrameComposerTest, OverlaysAreLaidOverTheArrangedClipOrOverBlack) {
    std::string warnings;
    RenderLayers layers(movie_, warnings);
    FrameComposer composer(movie_, layers);
    struct Case {
        FrameRow row;
        uint32_t corner, centre;
        const char* what;
    };
    const Case cases[] = {
        {Row(red_, 1, {{keyed_, 1}}), kRedPixel, kWhitePixel, "over the arranged clip, green left out"},
        {Row(0, 0, {{keyed_, 2}}), kBlackPixel, kWhitePixel, "over black where no clip is arranged"},
        {Row(red_, 99, {{keyed_, 3}}), kBlackPixel, kWhitePixel, "over black where the frame cannot be read"},
        {Row(red_, 4, {{missingPicture_, 1}}), kRedPixel, kRedPixel, "a missing overlay picture is left out"},
        {Row(red_, 5, {{keyed_, 99}}), kRedPixel, kRedPixel,
         "an overlay frame that cannot be read is left out"},
    };
    for (const Case& c : cases) {
        const cb::ComPtr<IPicture> frame = composer.Compose(c.row);
        ASSERT_TRUE(frame) << c.what;
        EXPECT_EQ(frame.get(), ProcessMainFrm().ProcessPic2.Image().get()) << c.what;
        EXPECT_EQ(Pixel(frame.get(), 4, 4), c.corner) << c.what;
        EXPECT_EQ(Pixel(frame.get(), 24, 32), c.centre) << c.what;
    }
}

}  // namespace
}  // namespace composer::testing
