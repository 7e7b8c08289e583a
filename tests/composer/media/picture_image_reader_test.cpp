// The image reader: picture files of each kind the program takes, their size in pixels, the
// placeholder for a missing file, and failure for a file that is not a picture.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cbplatform/picture.h"
#include "media/pixels/image_reader_class.h"

namespace composer {
namespace {

class ImageReader : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const char* base = std::getenv("CB_TEST_TMP");
        folder_ = std::filesystem::path(base && *base ? base : "/tmp") /
                  ("image-reader-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(folder_); }

    // A test picture of the given size written by the ffmpeg command line; the extension picks the format.
    static std::string MakeImage(const std::string& name, int width, int height) {
        const std::string path = (folder_ / name).string();
        const std::string command = "ffmpeg -v error -y -f lavfi -i testsrc=size=" + std::to_string(width) +
                                    "x" + std::to_string(height) + ":rate=1 -frames:v 1 '" + path + "'";
        return std::system(command.c_str()) == 0 ? path : "";
    }
    static std::string Path(const std::string& name) { return (folder_ / name).string(); }

    static inline std::filesystem::path folder_;
};

TEST_F(ImageReader, ReadsEachPictureFormatAtItsSizeInPixels) {
    for (const char* name : {"frame.bmp", "frame.jpg", "frame.gif", "frame.png"}) {
        const std::string path = MakeImage(name, 320, 240);
        ASSERT_FALSE(path.empty()) << name;
        ImageReaderClass reader;
        EXPECT_TRUE(reader.ReadImg_ReadFile(path)) << name;
        EXPECT_EQ(reader.width, 320) << name;
        EXPECT_EQ(reader.height, 240) << name;
        EXPECT_TRUE(reader.loaded) << name;
        ASSERT_TRUE(reader.picture) << name;
        const auto bitmap = cb::PictureBitmap(reader.picture.get());
        ASSERT_TRUE(bitmap) << name;
        EXPECT_EQ(bitmap->width(), 320) << name;
    }
}

TEST_F(ImageReader, SizesComeFromTheHimetricSizeRoundedBack) {
    // Odd sizes whose HIMETRIC values are rounded: 1 pixel is 26 HIMETRIC, 26 / 26.458 -> 1.
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{33, 17}, std::pair{641, 479}}) {
        const std::string path = MakeImage("odd" + std::to_string(width) + ".png", width, height);
        ImageReaderClass reader;
        ASSERT_TRUE(reader.ReadImg_ReadFile(path));
        EXPECT_EQ(reader.width, width);
        EXPECT_EQ(reader.height, height);
    }
}

TEST_F(ImageReader, AMissingFileGivesABlankPlaceholderNotLoaded) {
    ImageReaderClass reader;
    EXPECT_EQ(reader.width, 0);
    EXPECT_EQ(reader.height, 0);
    EXPECT_FALSE(reader.ReadImg_ReadFile(Path("missing.bmp")));
    EXPECT_EQ(reader.width, 400);
    EXPECT_EQ(reader.height, 300);
    EXPECT_FALSE(reader.loaded);
    ASSERT_TRUE(reader.picture);
    OLE_XSIZE_HIMETRIC himetricWidth = 0;
    ASSERT_EQ(reader.picture->get_Width(&himetricWidth), S_OK);
    EXPECT_EQ(himetricWidth, cb::PixelsToHimetric(400));
}

TEST_F(ImageReader, AFileThatIsNotAPictureFailsAndIsNotClaimedAsLoaded) {
    const std::string path = Path("notes.jpg");
    std::ofstream(path) << "not a picture at all";
    const std::string empty = Path("empty.gif");
    std::ofstream{empty};
    for (const std::string& file : {path, empty}) {
        ImageReaderClass reader;
        EXPECT_FALSE(reader.ReadImg_ReadFile(file)) << file;
        EXPECT_FALSE(reader.loaded) << file;
        EXPECT_TRUE(reader.picture) << file;  // still something to draw
        EXPECT_EQ(reader.width, 400) << file;
    }
}

TEST_F(ImageReader, ASecondFileReplacesTheFirst) {
    ImageReaderClass reader;
    ASSERT_TRUE(reader.ReadImg_ReadFile(MakeImage("first.png", 64, 48)));
    const IPicture* first = reader.picture.get();
    ASSERT_TRUE(reader.ReadImg_ReadFile(MakeImage("second.bmp", 32, 20)));
    EXPECT_EQ(reader.width, 32);
    EXPECT_EQ(reader.height, 20);
    EXPECT_NE(reader.picture.get(), first);
    EXPECT_FALSE(reader.ReadImg_ReadFile(Path("gone.png")));
    EXPECT_FALSE(reader.loaded);
    EXPECT_EQ(reader.width, 400);
}

}  // namespace
}  // namespace composer
