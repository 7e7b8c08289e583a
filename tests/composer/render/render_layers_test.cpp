// The drawing levels of a render run: sources stay open across frames and growth, and the crop
// check of each frame.
#include "render_layers.h"

#include <gtest/gtest.h>

#include "render_test_env.h"

namespace composer::testing {
namespace {

class RenderLayersTest : public RenderTest {};

TEST_F(RenderLayersTest, GrowingKeepsTheOpenSourcesOfExistingLayers) {
    MovieDbRec movie = NewMovie(10, 64, 48);
    const int32_t clip =
        AddVideo(movie, MakeAvi("red.avi", "color=c=red:s=64x48:r=10", 10), "Red", 64, 48, 10, 10);
    std::string warnings;
    RenderLayers layers(movie, warnings);
    layers.Grow(1);
    layers.Open(1, clip);
    const ClipSource* source = layers.Layer(1).source.get();
    ASSERT_NE(source, nullptr);

    layers.Grow(3);
    EXPECT_EQ(layers.OverlayLayers(), 3);
    EXPECT_EQ(layers.Layer(1).source.get(), source);
    EXPECT_EQ(layers.Layer(1).openClip, clip);
    EXPECT_EQ(layers.Layer(3).openClip, 0);
    EXPECT_EQ(layers.Layer(3).openKind, 0);

    layers.Grow(1);  // layers never shrink during a run
    EXPECT_EQ(layers.OverlayLayers(), 3);
    EXPECT_TRUE(layers.Picture(1, 10, true));
    EXPECT_FALSE(layers.Picture(1, 11, true)) << "a frame past the end is left out";
    EXPECT_TRUE(warnings.empty());
}

TEST_F(RenderLayersTest, CropIsCheckedEveryFrameAgainstTheOpenSource) {
    MovieDbRec movie = NewMovie(10, 64, 48);
    const int32_t tall =
        AddPicture(movie, MakePicture("blue.bmp", "color=c=blue:s=32x24"), "Small", 32, 24, 1.0);
    movie.Clips[tall].CropTop = 11;
    movie.Clips[tall].CropBottom = 11;  // 24 - 2
    movie.Clips[tall].CropLeft = 3;
    const int32_t missing = AddVideo(movie, Fixture("not-there.avi"), "Missing", 64, 48, 10, 10);
    std::string warnings;
    RenderLayers layers(movie, warnings);

    for (int frame = 0; frame < 2; ++frame) {
        const CropMargins margins = layers.Open(0, tall);
        EXPECT_EQ(margins.Top, 0);
        EXPECT_EQ(margins.Bottom, 0);
        EXPECT_EQ(margins.Left, 3);
    }
    EXPECT_EQ(warnings,
              "Crop Top + Bottom is too high, both reset to zero (Clip: Small)\r\n"
              "Crop Top + Bottom is too high, both reset to zero (Clip: Small)\r\n");

    // A source that does not open has no size; margins it does not have give no warning.
    warnings.clear();
    layers.Open(0, missing);
    EXPECT_EQ(layers.Layer(0).sourceHeight, 0);
    EXPECT_FALSE(layers.Picture(0, 1, false));
    EXPECT_TRUE(warnings.empty()) << warnings;
}

}  // namespace
}  // namespace composer::testing
