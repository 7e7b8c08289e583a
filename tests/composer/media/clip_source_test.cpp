// The clip source: one way to open a clip by its kind, whichever back end reads it (the AVI library,
// the FFmpeg reader of other containers, the picture loader), with the same facts, frames and
// reasons on failure.
#include "media/clip_source.h"

#include <fstream>

#include "avi_wrapper_env.h"
#include "base/failure.h"
#include "cbplatform/picture.h"

namespace composer {
namespace {

using ClipSourceTest = testing::AviWrapperTest;

// The red level of the centre pixel of bottom-up 32-bit pixels.
int CentreRed(const PixelBuffer& pixels, int32_t width, int32_t height) {
    return (pixels[static_cast<std::size_t>(height / 2) * width + width / 2] >> 16) & 0xFF;
}

TEST_F(ClipSourceTest, EveryBackEndGivesItsSizeRateCountAndFrames) {
    struct Case {
        const char* name;
        int32_t clipType;
        std::string path;
        double framesPerSecond;
        int32_t frameCount;
        bool decoded;  // gives the decoder's own frames
        bool alpha;
    };
    const std::string png = Fixture("red.png");
    cb::sound::testing::Capture("ffmpeg -v error -y -f lavfi -i 'color=c=red:s=32x24' -frames:v 1 '" + png +
                                "'");
    const Case cases[] = {
        {"avi", ClipVideo, NumberedFramesAvi("numbered.avi", ""), 5.0, 5, false, false},
        {"mp4", ClipVideo,
         MakeAvi("numbered.mp4", "-f lavfi -i 'nullsrc=s=32x24:r=5:d=1,format=rgb24,geq=r=N*40:g=0:b=0'",
                 "-c:v libx264 -pix_fmt yuv420p -crf 0"),
         5.0, 5, true, true},
        {"png", ClipPicture, png, 0.0, 1, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.path.empty());
        ClipRec record;
        record.ClipType = c.clipType;
        record.FilePath = c.path;
        const std::unique_ptr<ClipSource> source = OpenClipSource(record);
        EXPECT_EQ(source->FileName(), c.path);
        EXPECT_EQ(source->Width(), 32);
        EXPECT_EQ(source->Height(), 24);
        EXPECT_DOUBLE_EQ(source->FramesPerSecond(), c.framesPerSecond);
        EXPECT_EQ(source->FrameCount(), c.frameCount);
        EXPECT_EQ(source->CarriesAlpha(), c.alpha);
        EXPECT_EQ(source->Damage(), "");
        PixelBuffer pixels;
        for (const int32_t frame : {c.frameCount, 1}) {
            source->Pixels(frame, pixels);
            ASSERT_EQ(pixels.size(), 32u * 24u);
            // Frame n of the numbered clips is red (n - 1) * 40; the picture is red throughout.
            const int expected = c.clipType == ClipPicture ? 255 : (frame - 1) * 40;
            EXPECT_NEAR(CentreRed(pixels, 32, 24), expected, 4) << "frame " << frame;
            EXPECT_TRUE(source->Picture(frame));
            EXPECT_EQ(static_cast<bool>(source->Decoded(frame)), c.decoded);
        }
        if (c.clipType == ClipVideo) {
            // A frame past the end fails naming the file, from either video back end.
            try {
                (void)source->Picture(c.frameCount + 1);
                ADD_FAILURE() << "frame past the end";
            } catch (const Failure& failure) {
                EXPECT_EQ(failure.File(), c.path);
                EXPECT_FALSE(failure.Reason().empty());
            }
        }
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ClipSourceTest, ASourceThatCannotBeOpenedFailsWithTheFileAndTheReason) {
    const std::string text = Fixture("words.txt");
    std::ofstream(Fixture("notes.avi")) << "not a movie";
    std::ofstream(Fixture("notes.mp4")) << "not a movie";
    std::ofstream(Fixture("notes.png")) << "not a picture";
    std::ofstream(text) << "words";
    struct Case {
        int32_t clipType;
        std::string path;
        std::string reason;  // exact, or "" for any text the back end gives
    };
    const Case cases[] = {
        {ClipVideo, Fixture("missing.avi"), "the file is missing or not a regular file"},
        {ClipVideo, Fixture("notes.avi"), ""},
        {ClipVideo, Fixture("missing.mp4"), ""},
        {ClipVideo, Fixture("notes.mp4"), ""},
        {ClipPicture, Fixture("missing.png"), "the file is missing or not a regular file"},
        {ClipPicture, Fixture("notes.png"), ""},
        {ClipAudio, text, "it is neither a video nor a picture"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        try {
            (void)OpenClipSource(c.clipType, c.path);
            ADD_FAILURE() << "opened";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.File(), c.path);
            EXPECT_FALSE(failure.Reason().empty());
            if (!c.reason.empty()) {
                EXPECT_EQ(failure.Reason(), c.reason);
            }
            EXPECT_EQ(std::string(failure.what()), c.path + "\r\n" + failure.Reason());
        }
    }
    // The library not registered is a reason like any other: the AVI back end cannot start.
    Unregister(vidmill::CLSID_AviReader);
    try {
        (void)OpenClipSource(ClipVideo, NumberedFramesAvi("numbered.avi", ""));
        ADD_FAILURE() << "opened without the library";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Reason(), "The AVI library is not registered");
    }
    Reregister();
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace composer
