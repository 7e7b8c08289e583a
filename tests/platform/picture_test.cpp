// Device contexts, the stretch calls, picture objects and image decoding.
#include "cbplatform/picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cbplatform/gdi.h"
#include "sound_test_support.h"

namespace cb {
namespace {

using sound::testing::Capture;
using sound::testing::ScratchPath;

// A 32-bit bitmap whose pixel (x, y from the top) holds 0xFF000000 | (y << 8) | x.
Bitmap Pattern(int width, int height) {
    Bitmap bitmap(width, height, 32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t value =
                0xFF000000u | static_cast<std::uint32_t>(y << 8) | static_cast<std::uint32_t>(x);
            std::memcpy(bitmap.topRow(y) + 4 * x, &value, 4);
        }
    return bitmap;
}

std::uint32_t At(const Bitmap& bitmap, int x, int y) {
    std::uint32_t value = 0;
    std::memcpy(&value, bitmap.topRow(y) + 4 * x, 4);
    return value;
}
int SourceX(std::uint32_t value) { return static_cast<int>(value & 0xFF); }
int SourceY(std::uint32_t value) { return static_cast<int>((value >> 8) & 0xFF); }

TEST(DeviceContextTest, HandlesNameLiveSurfacesOnly) {
    Bitmap surface(4, 4, 32);
    HDC stale = 0;
    {
        DeviceContext dc(surface);
        EXPECT_EQ(BitmapOfDC(dc.handle()), &surface);
        EXPECT_EQ(GetStretchBltMode(dc.handle()), HALFTONE);
        EXPECT_EQ(SetStretchBltMode(dc.handle(), COLORONCOLOR), HALFTONE);
        EXPECT_EQ(SetStretchBltMode(dc.handle(), 99), 0);
        EXPECT_EQ(GetStretchBltMode(dc.handle()), COLORONCOLOR);
        stale = dc.handle();
    }
    for (HDC value : {HDC{0}, HDC{1}, HDC{-1}, HDC{0x12345}, stale, stale + 1}) {
        EXPECT_FALSE(IsDeviceContext(value)) << value;
        EXPECT_EQ(SetStretchBltMode(value, HALFTONE), 0);
    }
    DeviceContext again(surface);
    EXPECT_NE(again.handle(), stale) << "a freed handle must not come back";
}

TEST(StretchTest, CopiesScalesMirrorsAndClips) {
    const Bitmap source = Pattern(4, 4);
    Bitmap same(4, 4, 32);
    StretchBitmap(same, {0, 0, 4, 4}, source, {0, 0, 4, 4});
    EXPECT_EQ(std::memcmp(same.bits(), source.bits(), source.sizeBytes()), 0);

    Bitmap doubled(8, 8, 32);
    StretchBitmap(doubled, {0, 0, 8, 8}, source, {0, 0, 4, 4});
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(SourceX(At(doubled, x, y)), x / 2);
            EXPECT_EQ(SourceY(At(doubled, x, y)), y / 2);
        }

    // A negative height starting at the bottom row turns the picture upside down.
    Bitmap flipped(4, 4, 32);
    StretchBitmap(flipped, {0, 3, 4, -4}, source, {0, 0, 4, 4});
    for (int y = 0; y < 4; ++y) EXPECT_EQ(SourceY(At(flipped, 1, y)), 3 - y);

    // Parts outside the destination are clipped; the rest lands where it belongs.
    Bitmap clipped(4, 4, 32);
    StretchBitmap(clipped, {-2, -1, 4, 4}, source, {0, 0, 4, 4});
    EXPECT_EQ(SourceX(At(clipped, 0, 0)), 2);
    EXPECT_EQ(SourceY(At(clipped, 0, 0)), 1);
    EXPECT_EQ(At(clipped, 3, 3), 0u) << "outside the drawn rectangle stays untouched";
}

TEST(StretchTest, ConvertsBetweenDepths) {
    Bitmap paletted(2, 1, 8);
    paletted.palette()[0] = RgbQuad{10, 20, 30, 0};
    paletted.palette()[1] = RgbQuad{200, 100, 50, 0};
    paletted.topRow(0)[0] = 1;
    paletted.topRow(0)[1] = 0;
    Bitmap wide(2, 1, 32);
    StretchBitmap(wide, {0, 0, 2, 1}, paletted, {0, 0, 2, 1});
    EXPECT_EQ(At(wide, 0, 0), 0xFF3264C8u);
    EXPECT_EQ(At(wide, 1, 0), 0xFF1E140Au);

    Bitmap narrow(2, 1, 24);
    StretchBitmap(narrow, {0, 0, 2, 1}, wide, {0, 0, 2, 1});
    EXPECT_EQ(narrow.topRow(0)[0], 200);
    EXPECT_EQ(narrow.topRow(0)[5], 30);

    // Back to a palette: each colour takes its nearest entry.
    Bitmap back(2, 1, 8);
    back.palette() = paletted.palette();
    StretchBitmap(back, {0, 0, 2, 1}, narrow, {0, 0, 2, 1});
    EXPECT_EQ(back.topRow(0)[0], 1);
    EXPECT_EQ(back.topRow(0)[1], 0);
}

TEST(StretchTest, CallsThroughHandlesRefuseWhatIsNotADeviceContext) {
    Bitmap source = Pattern(4, 4);
    Bitmap target(4, 4, 32);
    DeviceContext from(source);
    DeviceContext to(target);
    EXPECT_TRUE(StretchBlt(to.handle(), 0, 0, 4, 4, from.handle(), 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(std::memcmp(target.bits(), source.bits(), source.sizeBytes()), 0);
    EXPECT_FALSE(StretchBlt(to.handle(), 0, 0, 4, 4, 777, 0, 0, 4, 4, SRCCOPY));
    EXPECT_FALSE(StretchBlt(to.handle(), 0, 0, 4, 4, from.handle(), 0, 0, 4, 4, 0x00EE0086));
    EXPECT_EQ(StretchDIBits(to.handle(), 0, 0, 2, 2, 0, 0, 4, 4, source, SRCCOPY), 4);
    EXPECT_EQ(StretchDIBits(555, 0, 0, 2, 2, 0, 0, 4, 4, source, SRCCOPY), 0);
}

TEST(PictureTest, SizeInHimetricAndSharedBitmap) {
    auto bitmap = std::make_shared<Bitmap>(Pattern(400, 300));
    ComPtr<IPicture> picture = CreatePicture(bitmap);
    ASSERT_TRUE(picture);
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    EXPECT_EQ(width, 10583);
    EXPECT_EQ(height, 7938);
    EXPECT_EQ(HimetricToPixels(width), 400);
    EXPECT_EQ(PictureBitmap(picture.get()), bitmap);
    EXPECT_FALSE(CreatePicture(std::make_shared<Bitmap>()));
    EXPECT_FALSE(PictureBitmap(nullptr));
}

TEST(PictureTest, RenderCountsTheSourceFromTheBottomEdge) {
    const int w = 16, h = 10;
    ComPtr<IPicture> picture = CreatePicture(std::make_shared<Bitmap>(Pattern(w, h)));
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    picture->get_Width(&hmWidth);
    picture->get_Height(&hmHeight);

    Bitmap upright(w, h, 32);
    DeviceContext dc(upright);
    ASSERT_EQ(picture->Render(dc.handle(), 0, 0, w, h, 0, hmHeight, hmWidth, -hmHeight, nullptr), S_OK);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(At(upright, x, y), At(*PictureBitmap(picture.get()), x, y));

    // The over-drawn form: from the bottom row upwards, two rows taller than the surface, loses
    // one row at the top and one at the bottom.
    Bitmap overdrawn(w, h, 32);
    DeviceContext over(overdrawn);
    ASSERT_EQ(picture->Render(over.handle(), 0, h, w, -(h + 2), 0, 0, hmWidth, hmHeight, nullptr), S_OK);
    EXPECT_EQ(SourceY(At(overdrawn, 0, 0)), 1);
    EXPECT_EQ(SourceY(At(overdrawn, 0, h - 1)), h - 2);
    EXPECT_EQ(SourceX(At(overdrawn, w - 1, 0)), w - 1);

    EXPECT_EQ(picture->Render(4242, 0, 0, w, h, 0, hmHeight, hmWidth, -hmHeight, nullptr), E_INVALIDARG);
}

TEST(ImageDecodingTest, ReadsImageFormatsAsTheReferenceDecoderDoes) {
    for (const std::string extension : {"bmp", "png", "gif"}) {
        const std::string path = ScratchPath("pattern." + extension);
        Capture("ffmpeg -v error -y -f lavfi -i testsrc=size=40x30:rate=1 -frames:v 1 '" + path + "'");
        const std::string reference =
            Capture("ffmpeg -v error -i '" + path + "' -f rawvideo -pix_fmt bgra -");
        ASSERT_EQ(reference.size(), 40u * 30u * 4u) << extension;
        const Bitmap decoded = DecodeImageFile(path);
        ASSERT_EQ(decoded.width(), 40) << extension;
        ASSERT_EQ(decoded.height(), 30) << extension;
        for (int y = 0; y < 30; ++y)
            ASSERT_EQ(std::memcmp(decoded.topRow(y), reference.data() + y * 160, 160), 0)
                << extension << " row " << y;
    }
    const std::string jpeg = ScratchPath("pattern.jpg");
    Capture("ffmpeg -v error -y -f lavfi -i testsrc=size=40x30:rate=1 -frames:v 1 '" + jpeg + "'");
    std::ifstream file(jpeg, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
    const Bitmap fromMemory = DecodeImageBytes(bytes);
    EXPECT_EQ(fromMemory.width(), 40);
    EXPECT_EQ(fromMemory.topRow(0)[3], 0xFF) << "a picture without alpha is opaque";
    EXPECT_TRUE(LoadPicture(jpeg));
}

// A JPEG file's bytes with an EXIF segment that holds only an orientation, placed right after the
// start-of-image marker as cameras write it.
std::vector<std::uint8_t> WithExifOrientation(const std::string& jpeg, int orientation) {
    std::ifstream file(jpeg, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
    const auto value = static_cast<std::uint8_t>(orientation);
    // Big-endian TIFF header, one directory of one entry: tag 0x0112 (orientation), SHORT, count 1.
    const std::vector<std::uint8_t> exif = {
        0xFF, 0xE1, 0x00, 34,   'E',  'x',  'i',  'f',  0,    0,    'M',  'M',   0x00, 0x2A, 0, 0, 0, 8,
        0x00, 0x01, 0x01, 0x12, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, value, 0x00, 0x00, 0, 0, 0, 0};
    if (bytes.size() > 2) bytes.insert(bytes.begin() + 2, exif.begin(), exif.end());
    return bytes;
}

// Photos taken with the camera turned come out upright, as the reference decoder shows them: every
// EXIF orientation, from a file and from memory.
TEST(ImageDecodingTest, PhotosAreTurnedUprightAsTheirExifOrientationSays) {
    constexpr int kWidth = 48;
    constexpr int kHeight = 32;
    const std::string plain = ScratchPath("camera.jpg");
    Capture("ffmpeg -v error -y -f lavfi -i testsrc=size=48x32:rate=1 -frames:v 1 -q:v 2 '" + plain + "'");
    const Bitmap asStored = DecodeImageFile(plain);
    ASSERT_EQ(asStored.width(), kWidth);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const std::vector<std::uint8_t> bytes = WithExifOrientation(plain, orientation);
        const std::string path = ScratchPath("turned-" + std::to_string(orientation) + ".jpg");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        const std::string reference =
            Capture("ffmpeg -v error -i '" + path + "' -f rawvideo -pix_fmt bgra -");
        ASSERT_EQ(reference.size(), static_cast<std::size_t>(kWidth * kHeight * 4)) << orientation;
        const bool quarterTurn = orientation >= 5;
        for (const Bitmap& decoded : {DecodeImageFile(path), DecodeImageBytes(bytes)}) {
            ASSERT_EQ(decoded.width(), quarterTurn ? kHeight : kWidth) << orientation;
            ASSERT_EQ(decoded.height(), quarterTurn ? kWidth : kHeight) << orientation;
            // The decoders may upsample the colours differently; a wrong turn differs by far more.
            long difference = 0;
            const int rowBytes = decoded.width() * 4;
            for (int y = 0; y < decoded.height(); ++y)
                for (int i = 0; i < rowBytes; ++i)
                    difference += std::abs(decoded.topRow(y)[i] -
                                           static_cast<std::uint8_t>(reference[y * rowBytes + i]));
            EXPECT_LT(difference / (kWidth * kHeight * 4), 3) << "orientation " << orientation;
        }
    }
}

TEST(ImageDecodingTest, MissingOrDamagedFilesGiveNothing) {
    const std::string junk = ScratchPath("junk.bmp");
    std::ofstream(junk, std::ios::binary) << "BM this is not a bitmap at all";
    EXPECT_TRUE(DecodeImageFile(junk).empty());
    EXPECT_TRUE(DecodeImageFile(ScratchPath("missing.png")).empty());
    EXPECT_TRUE(DecodeImageBytes({}).empty());
    EXPECT_TRUE(DecodeImageBytes({0x89, 'P', 'N', 'G', 1, 2, 3}).empty());
    EXPECT_FALSE(LoadPicture(junk));
}

// A PNG file whose header declares width x height over the pixels of a 64 x 64 picture: a small
// file that claims a huge size.
std::string PngDeclaring(std::uint32_t width, std::uint32_t height) {
    const std::string path =
        ScratchPath("declares-" + std::to_string(width) + "x" + std::to_string(height) + ".png");
    Capture("ffmpeg -v error -y -f lavfi -i testsrc=size=64x64:rate=1 -frames:v 1 '" + path + "'");
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes.size() < 33 || bytes.compare(12, 4, "IHDR") != 0) return "";
    const auto putBigEndian = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
    };
    putBigEndian(16, width);
    putBigEndian(20, height);
    // The chunk's CRC over its type and data, so that no checking decoder takes it for damage.
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t at = 12; at < 29; ++at) {
        crc ^= static_cast<unsigned char>(bytes[at]);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    putBigEndian(29, ~crc);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return path;
}

TEST(ImageDecodingTest, PicturesOverThePixelLimitAreRefusedWithTheirSize) {
    const struct {
        std::uint32_t width;
        std::uint32_t height;
    } rows[] = {{16000, 16000}, {8193, 8192}, {16384, 4097}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + " x " + std::to_string(row.height));
        const std::string path = PngDeclaring(row.width, row.height);
        ASSERT_FALSE(path.empty());
        std::string problem;
        EXPECT_TRUE(DecodeImageFile(path, &problem).empty());
        EXPECT_EQ(problem, "it is " + std::to_string(row.width) + " x " + std::to_string(row.height) +
                               " pixels: pictures of more than 8192 x 8192 pixels in all are not read");
        EXPECT_FALSE(LoadPicture(path));
    }
    std::string problem = "left from before";
    EXPECT_EQ(DecodeImageFile(PngDeclaring(64, 64), &problem).width(), 64) << "the file as it was made";
    EXPECT_EQ(problem, "");
}

}  // namespace
}  // namespace cb
