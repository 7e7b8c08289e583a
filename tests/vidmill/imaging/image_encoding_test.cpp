// Images encoded by the library, read back by the reference command-line tools.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "cbplatform/com_types.h"
#include "cbplatform/stream.h"
#include "frame/error.h"
#include "frame/lzw.h"
#include "imaging/image_encoder.h"
#include "imaging/image_formats.h"
#include "imaging/image_resize.h"
#include "imaging_test_support.h"
#include "le_bytes.h"
#include "vidmill/vidmill.h"

namespace vidmill::imaging {
namespace {

using namespace testing;
using cb::testing::Le16;
using cb::testing::Le32;

std::string FailureOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& error) {
        return error.what();
    }
    return {};
}

// A little-endian TIFF's first-directory entry `tag` (a SHORT or LONG value), or nothing.
std::optional<unsigned> TiffTag(const std::vector<std::uint8_t>& file, unsigned tag) {
    if (file.size() < 8 || file[0] != 'I' || file[1] != 'I') return std::nullopt;
    const std::size_t directory = Le32(file, 4);
    const unsigned entries = Le16(file, directory);
    for (unsigned i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + i * 12;
        if (Le16(file, entry) != tag) continue;
        return Le16(file, entry + 2) == 3 ? Le16(file, entry + 8) : Le32(file, entry + 8);
    }
    return std::nullopt;
}

struct LosslessCase {
    const char* label;
    LONG format;
    EncoderParameters parameters;
    const char* codec;
};

// Formats that keep every pixel: each source depth comes back exactly, right side up.
TEST(ImageEncoding, LosslessFormatsRoundTripExactly) {
    const LosslessCase cases[] = {
        {"bmp", FileFormatBMP, {}, "bmp"},
        {"png", FileFormatPNG, {}, "png"},
        {"tiff-default", FileFormatTIFF, {}, "tiff"},
        {"tiff-none", FileFormatTIFF, {std::nullopt, TiffCompressionNone, std::nullopt}, "tiff"},
        {"tiff-lzw-32", FileFormatTIFF, {std::nullopt, TiffCompressionLZW, 32}, "tiff"},
        {"tiff-lzw-24", FileFormatTIFF, {std::nullopt, TiffCompressionLZW, 24}, "tiff"},
    };
    for (const auto& c : cases)
        for (const int bits : {24, 32}) {
            SCOPED_TRACE(std::string(c.label) + " from " + std::to_string(bits) + " bits");
            // An odd width exercises the padded rows of the bottom-up store.
            const cb::Bitmap image = PatternBitmap(37, 21, bits);
            const std::string path = ScratchPath(std::string(c.label) + std::to_string(bits));
            SaveImageFile(image, path, c.format, c.parameters);
            const ImageFacts facts = ProbeImage(path);
            EXPECT_EQ(facts.codecName, c.codec);
            EXPECT_EQ(facts.width, 37);
            EXPECT_EQ(facts.height, 21);
            EXPECT_EQ(DecodeBgr24(path), ToBgr24(image));
        }
}

// BMP files are written band by band: a picture of several bands keeps every pixel in its row, and
// the file is byte for byte what ffmpeg's own BMP encoder writes for the same picture.
TEST(ImageEncoding, BmpOfManyBandsIsTheFileFfmpegWrites) {
    const cb::Bitmap image = PatternBitmap(601, 1500, 32);  // 1804-byte rows: three bands of 1 MiB
    const std::string path = ScratchPath("bands.bmp");
    SaveImageFile(image, path, FileFormatBMP, {});
    EXPECT_EQ(DecodeBgr24(path), ToBgr24(image));
    const std::string reference = ScratchPath("bands-ffmpeg.bmp");
    RunCommand("ffmpeg -v error -y -i '" + path + "' -c:v bmp -pix_fmt bgr24 '" + reference + "'");
    EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(reference));
    EXPECT_EQ(EncodeImage(image, FileFormatBMP, {}), ReadFileBytes(path));
}

TEST(ImageEncoding, PaletteImagesAndGifKeepTheirColours) {
    const struct {
        int bits;
        LONG format;
    } cases[] = {
        {8, FileFormatPNG}, {8, FileFormatBMP}, {8, FileFormatGIF}, {24, FileFormatGIF}, {32, FileFormatGIF}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.bits) + " bits as format " + std::to_string(c.format));
        const cb::Bitmap image = FewColoursBitmap(50, 30, c.bits, c.bits == 8 ? 256 : 200);
        const std::string path = ScratchPath("palette" + std::to_string(c.format));
        SaveImageFile(image, path, c.format, {});
        const ImageFacts facts = ProbeImage(path);
        EXPECT_EQ(facts.width, 50);
        EXPECT_EQ(facts.height, 30);
        EXPECT_EQ(DecodeBgr24(path), ToBgr24(image));
    }
}

TEST(ImageEncoding, GifOfManyColoursStaysClose) {
    const cb::Bitmap image = PatternBitmap(64, 48, 32);
    const std::string path = ScratchPath("many.gif");
    SaveImageFile(image, path, FileFormatGIF, {});
    EXPECT_EQ(ProbeImage(path).codecName, "gif");
    const auto decoded = DecodeBgr24(path);
    const auto original = ToBgr24(image);
    ASSERT_EQ(decoded.size(), original.size());
    // Nearest entry of a 6 x 7 x 6 cube: at most half a step (51 / 2) off per channel.
    for (std::size_t i = 0; i < decoded.size(); ++i)
        ASSERT_LE(std::abs(decoded[i] - original[i]), 26) << "byte " << i;
}

double MeanDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    double total = 0;
    for (std::size_t i = 0; i < a.size(); ++i) total += std::abs(a[i] - b[i]);
    return a.empty() ? 0 : total / static_cast<double>(a.size());
}

// A photograph-like picture: smooth gradients, which JPEG is made for.
cb::Bitmap GradientBitmap(int width, int height) {
    cb::Bitmap image(width, height, 32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = image.topRow(y) + x * 4;
            pixel[0] = static_cast<std::uint8_t>(x * 255 / width);
            pixel[1] = static_cast<std::uint8_t>(y * 255 / height);
            pixel[2] = static_cast<std::uint8_t>(128 + (x - y) / 2);
        }
    return image;
}

TEST(ImageEncoding, JpegQualityTradesSizeForFidelity) {
    const cb::Bitmap image = GradientBitmap(160, 120);
    const auto original = ToBgr24(image);
    std::vector<std::size_t> sizes;
    std::vector<double> errors;
    for (const std::optional<int> quality :
         {std::optional<int>(0), std::optional<int>(), std::optional<int>(100)}) {
        const std::string path = ScratchPath("q" + std::to_string(quality.value_or(-1)) + ".jpg");
        SaveImageFile(image, path, FileFormatJPEG, {quality, std::nullopt, std::nullopt});
        const ImageFacts facts = ProbeImage(path);
        EXPECT_EQ(facts.codecName, "mjpeg");
        EXPECT_EQ(facts.width, 160);
        EXPECT_EQ(facts.height, 120);
        const auto decoded = DecodeBgr24(path);
        ASSERT_EQ(decoded.size(), original.size());
        sizes.push_back(std::filesystem::file_size(path));
        errors.push_back(MeanDifference(decoded, original));
    }
    // Lowest quality, the encoder's default, best quality.
    EXPECT_LT(sizes[0], sizes[1]);
    EXPECT_LT(sizes[1], sizes[2]);
    EXPECT_GT(errors[0], errors[1]);
    EXPECT_GT(errors[1], errors[2]);
    EXPECT_LT(errors[2], 1.5) << errors[0] << " " << errors[1];

    // Odd sizes and palette sources go through the subsampled layout too.
    const std::string odd = ScratchPath("odd.jpg");
    SaveImageFile(FewColoursBitmap(37, 21, 8, 5), odd, FileFormatJPEG, {});
    const ImageFacts facts = ProbeImage(odd);
    EXPECT_EQ(facts.width, 37);
    EXPECT_EQ(facts.height, 21);
}

TEST(ImageEncoding, TiffCompressionAndDepthReachTheFile) {
    const cb::Bitmap image = FewColoursBitmap(120, 90, 32, 3);
    const struct {
        EncoderParameters parameters;
        unsigned compressionTag;
        unsigned samplesPerPixel;
        const char* pixelFormat;
    } cases[] = {
        {{std::nullopt, TiffCompressionLZW, std::nullopt}, 5, 3, "rgb24"},
        {{std::nullopt, TiffCompressionNone, std::nullopt}, 1, 3, "rgb24"},
        {{std::nullopt, TiffCompressionNone, 32}, 1, 4, "rgba"},
        {{std::nullopt, std::nullopt, 24}, 32773, 3, "rgb24"},
    };
    std::vector<std::uintmax_t> sizes;
    for (const auto& c : cases) {
        const std::string path = ScratchPath("c" + std::to_string(c.compressionTag) + ".tif");
        SaveImageFile(image, path, FileFormatTIFF, c.parameters);
        const auto bytes = ReadFileBytes(path);
        EXPECT_EQ(TiffTag(bytes, 259), c.compressionTag);
        EXPECT_EQ(TiffTag(bytes, 277), c.samplesPerPixel);
        EXPECT_EQ(ProbeImage(path).pixelFormat, c.pixelFormat);
        EXPECT_EQ(DecodeBgr24(path), ToBgr24(image));
        sizes.push_back(bytes.size());
    }
    EXPECT_LT(sizes[0] * 4, sizes[1]) << "LZW should shrink a three-colour picture well below raw size";
}

TEST(ImageEncoding, ThirtyTwoBitTiffIsOpaque) {
    const std::string path = ScratchPath("opaque.tif");
    SaveImageFile(PatternBitmap(8, 4, 32), path, FileFormatTIFF, {std::nullopt, TiffCompressionNone, 32});
    const std::string rgba = RunCommand("ffmpeg -v error -i '" + path + "' -f rawvideo -pix_fmt rgba -");
    ASSERT_EQ(rgba.size(), 8u * 4u * 4u);
    for (std::size_t i = 3; i < rgba.size(); i += 4) EXPECT_EQ(static_cast<unsigned char>(rgba[i]), 255u);
}

TEST(ImageEncoding, ResizeStretchesKeepingOrientation) {
    // Top half red, bottom half blue.
    cb::Bitmap image(4, 4, 24);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) image.topRow(y)[x * 3 + (y < 2 ? 2 : 0)] = 255;
    const cb::Bitmap resized = ResizeImage(image, 9, 40);
    ASSERT_EQ(resized.width(), 9);
    ASSERT_EQ(resized.height(), 40);
    ASSERT_EQ(resized.bitsPerPixel(), 32);
    EXPECT_EQ(resized.topRow(0)[2], 255);
    EXPECT_EQ(resized.topRow(0)[0], 0);
    EXPECT_EQ(resized.topRow(39)[0], 255);
    EXPECT_EQ(resized.topRow(39)[2], 0);
    EXPECT_EQ(resized.topRow(20)[8 * 4 + 3], 255) << "the fourth byte is opaque";
    for (const auto& [width, height] : {std::pair{0, 5}, std::pair{5, -1}, std::pair{100000, 100000}})
        EXPECT_EQ(FailureOf([&] { ResizeImage(image, width, height); }), "Invalid image size") << width;
}

TEST(ImageEncoding, ResizedPaletteImageSavesAtTheNewSize) {
    const cb::Bitmap resized = ResizeImage(FewColoursBitmap(10, 10, 8, 4), 31, 17);
    const std::string path = ScratchPath("resized.png");
    SaveImageFile(resized, path, FileFormatPNG, {});
    const ImageFacts facts = ProbeImage(path);
    EXPECT_EQ(facts.width, 31);
    EXPECT_EQ(facts.height, 17);
}

TEST(ImageEncoding, SavingThatWritesNothingIsAFailure) {
    const cb::Bitmap image = PatternBitmap(8, 8, 32);
    const std::string missingFolder = ScratchPath("no-such-folder") + "/frame.png";
    EXPECT_EQ(FailureOf([&] { SaveImageFile(image, missingFolder, FileFormatPNG, {}); }),
              "Cannot save image file \"" + missingFolder + "\"");
    const std::string empty = ScratchPath("empty.png");
    EXPECT_EQ(FailureOf([&] { SaveImageFile(cb::Bitmap(), empty, FileFormatPNG, {}); }),
              "Cannot save image file \"" + empty + "\"");
    EXPECT_FALSE(std::filesystem::exists(empty));
    EXPECT_EQ(FailureOf([&] { SaveImageFile(image, empty, 7, {}); }), kInvalidFileFormat);
    EXPECT_EQ(FailureOf([&] { EncodeImage(image, 0, {}); }), kInvalidFileFormat);
}

TEST(ImageEncoding, StreamsGetTheFileBytesAtTheirPosition) {
    const cb::Bitmap image = PatternBitmap(20, 10, 24);
    const std::vector<std::uint8_t> encoded = EncodeImage(image, FileFormatPNG, {});
    cb::ComPtr<IStream> stream;
    ASSERT_EQ(cb::CreateStreamOnMemory({'H', 'E', 'A', 'D'}, stream.put()), S_OK);
    LARGE_INTEGER end{};
    ASSERT_EQ(stream->Seek(end, STREAM_SEEK_END, nullptr), S_OK);
    SaveImageStream(image, *stream, FileFormatPNG, {});
    std::vector<std::uint8_t> held;
    ASSERT_EQ(cb::ReadWholeStream(stream.get(), held), S_OK);
    std::vector<std::uint8_t> expected{'H', 'E', 'A', 'D'};
    expected.insert(expected.end(), encoded.begin(), encoded.end());
    EXPECT_EQ(held, expected);
}

TEST(ImageEncoding, AStreamThatRefusesBytesIsAFailure) {
    const std::string path = ScratchPath("read-only.bin");
    { std::ofstream(path) << "x"; }
    cb::ComPtr<IStream> stream;
    ASSERT_EQ(cb::CreateStreamOnFile(path, cb::StreamMode::Read, stream.put()), S_OK);
    EXPECT_EQ(FailureOf([&] { SaveImageStream(PatternBitmap(4, 4, 32), *stream, FileFormatBMP, {}); }),
              kCannotSaveStream);
}

}  // namespace
}  // namespace vidmill::imaging
