// The encoder settings, their failure texts, the LZW refusals and the save-target naming rule.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "frame/error.h"
#include "frame/lzw.h"
#include "imaging/encoder_parameters.h"
#include "imaging/image_formats.h"
#include "vidmill/vidmill.h"

namespace vidmill::imaging {
namespace {

// Puts the process-wide switch in a known state for one test and restores it afterwards.
class LzwState {
  public:
    explicit LzwState(bool enabled) : saved_(LzwEnabled()) { SetLzwEnabledForTesting(enabled); }
    ~LzwState() { SetLzwEnabledForTesting(saved_); }
    LzwState(const LzwState&) = delete;
    LzwState& operator=(const LzwState&) = delete;

  private:
    bool saved_;
};

// The failure text of a call, or empty when it succeeds.
template <typename Call>
std::string FailureOf(Call&& call) {
    try {
        call();
    } catch (const Error& error) {
        return error.what();
    }
    return {};
}

TEST(LzwSwitch, DateRuleAtItsBoundaries) {
    const struct {
        CalendarDate date;
        bool enabled;
    } cases[] = {
        {{2003, 6, 19}, false}, {{2003, 6, 20}, false}, {{2003, 6, 21}, true},
        {{2003, 5, 31}, false}, {{2003, 7, 1}, true},   {{2002, 12, 31}, false},
        {{2004, 1, 1}, true},   {{1999, 6, 25}, false}, {{2026, 12, 10}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LzwEnabledOn(c.date), c.enabled) << c.date.year << "-" << c.date.month << "-" << c.date.day;
}

TEST(LzwSwitch, EnableLzwAllowsGifAndTiffLzwEverywhere) {
    LzwState off(false);
    EXPECT_EQ(FailureOf([] { CheckLzwByFormat(FileFormatGIF, 0); }), kGifDisabled);
    EnableLZW();
    EXPECT_TRUE(LzwEnabled());
    EXPECT_EQ(FailureOf([] { CheckLzwByFormat(FileFormatGIF, 0); }), "");
    EXPECT_EQ(FailureOf([] { CheckLzwByExtension("f.tif", TiffCompressionLZW); }), "");
    EXPECT_EQ(FailureOf([] { BuildEncoderParameters(FileFormatTIFF, -1, TiffCompressionLZW, 0); }), "");
}

TEST(EncoderParameters, SettingsOfEachFormat) {
    LzwState on(true);
    using P = EncoderParameters;
    const struct {
        LONG format, quality, compression, depth;
        P expected;
    } cases[] = {
        {FileFormatJPEG, -1, 0, 0, P{}},
        {FileFormatJPEG, 0, 0, 0, P{0, std::nullopt, std::nullopt}},
        {FileFormatJPEG, 100, 0, 0, P{100, std::nullopt, std::nullopt}},
        {FileFormatJPEG, 250, 0, 0, P{100, std::nullopt, std::nullopt}},
        {FileFormatJPEG, 80, TiffCompressionLZW, 8, P{80, std::nullopt, std::nullopt}},
        {FileFormatTIFF, 50, 0, 0, P{}},
        {FileFormatTIFF, -1, TiffCompressionNone, 0, P{std::nullopt, 6, std::nullopt}},
        {FileFormatTIFF, -1, TiffCompressionLZW, 32, P{std::nullopt, 2, 32}},
        {FileFormatTIFF, -1, 0, 24, P{std::nullopt, std::nullopt, 24}},
        {FileFormatTIFF, -1, -3, -8, P{}},
        {FileFormatBMP, 50, TiffCompressionRLE, 8, P{}},
        {FileFormatPNG, 50, 0, 0, P{}},
        {FileFormatGIF, 50, 0, 0, P{}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildEncoderParameters(c.format, c.quality, c.compression, c.depth), c.expected)
            << c.format << " " << c.quality << " " << c.compression << " " << c.depth;
}

TEST(EncoderParameters, FailureTexts) {
    const struct {
        bool lzw;
        LONG format, compression, depth;
        const char* message;
    } cases[] = {
        {true, FileFormatTIFF, TiffCompressionRLE, 0, kTiffCompressionUnsupported},
        {true, FileFormatTIFF, TiffCompressionCCITT3, 24, kTiffCompressionUnsupported},
        {true, FileFormatTIFF, 1, 0, kTiffCompressionUnsupported},
        {true, FileFormatTIFF, 0, TiffColorDepth8bit, kTiffDepthUnsupported},
        {true, FileFormatTIFF, TiffCompressionNone, 1, kTiffDepthUnsupported},
        {false, FileFormatTIFF, TiffCompressionLZW, 0, kTiffLzwDisabled},
        // The LZW refusal comes before the depth check.
        {false, FileFormatTIFF, TiffCompressionLZW, 8, kTiffLzwDisabled},
        {false, FileFormatTIFF, TiffCompressionNone, 32, ""},
        {false, FileFormatGIF, 0, 0, kGifDisabled},
        {false, FileFormatPNG, TiffCompressionLZW, 0, ""},
    };
    for (const auto& c : cases) {
        LzwState state(c.lzw);
        EXPECT_EQ(FailureOf([&] { BuildEncoderParameters(c.format, -1, c.compression, c.depth); }), c.message)
            << c.lzw << " " << c.format << " " << c.compression << " " << c.depth;
    }
}

TEST(LzwChecks, ByExtensionAndByFormatWhileOff) {
    LzwState off(false);
    const struct {
        const char* name;
        LONG compression;
        const char* message;
    } byName[] = {
        {"frame.gif", 0, kGifDisabled},
        {"/tmp/FRAME.GiF", 6, kGifDisabled},
        {"frame.tiff", TiffCompressionLZW, kTiffLzwDisabled},
        {"frame.TIF", TiffCompressionLZW, kTiffLzwDisabled},
        {"frame.tiff", TiffCompressionNone, ""},
        {"frame.tif", 0, ""},
        {"frame.gifs", 0, ""},
        {"dir.gif/frame", 0, ""},
        {"frame.png", TiffCompressionLZW, ""},
        {"frame", 0, ""},
    };
    for (const auto& c : byName)
        EXPECT_EQ(FailureOf([&] { CheckLzwByExtension(c.name, c.compression); }), c.message) << c.name;

    const struct {
        LONG format, compression;
        const char* message;
    } byFormat[] = {
        {FileFormatGIF, 0, kGifDisabled},
        {FileFormatTIFF, TiffCompressionLZW, kTiffLzwDisabled},
        {FileFormatTIFF, TiffCompressionNone, ""},
        {FileFormatJPEG, TiffCompressionLZW, ""},
        {0, TiffCompressionLZW, ""},
    };
    for (const auto& c : byFormat)
        EXPECT_EQ(FailureOf([&] { CheckLzwByFormat(c.format, c.compression); }), c.message) << c.format;
}

TEST(LzwChecks, NothingIsRefusedWhileOn) {
    LzwState on(true);
    EXPECT_EQ(FailureOf([] { CheckLzwByExtension("frame.gif", 0); }), "");
    EXPECT_EQ(FailureOf([] { CheckLzwByExtension("frame.tif", TiffCompressionLZW); }), "");
    EXPECT_EQ(FailureOf([] { CheckLzwByFormat(FileFormatGIF, 0); }), "");
    EXPECT_EQ(FailureOf([] { CheckLzwByFormat(FileFormatTIFF, TiffCompressionLZW); }), "");
}

TEST(SaveTargets, FormatAndNameFromTheCallersChoice) {
    const struct {
        const char* name;
        LONG format;
        LONG expectedFormat;
        const char* expectedName;
    } cases[] = {
        {"shot.txt", 0, FileFormatJPEG, "shot.txt"},
        {"shot.txt", FileFormatPNG, FileFormatPNG, "shot.png"},
        {"shot", 0, FileFormatJPEG, "shot"},
        {"shot", FileFormatBMP, FileFormatBMP, "shot.bmp"},
        {"a.JPEG", 0, FileFormatJPEG, "a.JPEG"},
        {"a.Tiff", 0, FileFormatTIFF, "a.Tiff"},
        {"a.tif", 0, FileFormatTIFF, "a.tif"},
        {"a.gif", 0, FileFormatGIF, "a.gif"},
        {"a.PNG", 0, FileFormatPNG, "a.PNG"},
        {"a.bmp", 0, FileFormatBMP, "a.bmp"},
        {"a.tiff", FileFormatTIFF, FileFormatTIFF, "a.tif"},
        {"a.b.c", FileFormatGIF, FileFormatGIF, "a.b.gif"},
        {"dir.d/x", FileFormatJPEG, FileFormatJPEG, "dir.d/x.jpg"},
        {"dir.png/x", 0, FileFormatJPEG, "dir.png/x"},
    };
    for (const auto& c : cases) {
        const SaveTarget target = ResolveSaveTarget(c.name, c.format);
        EXPECT_EQ(target.formatCode, c.expectedFormat) << c.name << " " << c.format;
        EXPECT_EQ(target.fileName, c.expectedName) << c.name << " " << c.format;
    }
    for (const LONG bad : {-1, 6, 100})
        EXPECT_EQ(FailureOf([&] { ResolveSaveTarget("x.png", bad); }), kInvalidFileFormat) << bad;
}

TEST(SaveTargets, EncoderLookupCoversTheFiveFormats) {
    const struct {
        LONG format;
        const char* mime;
        const char* extension;
    } cases[] = {
        {FileFormatBMP, "image/bmp", ".bmp"},   {FileFormatGIF, "image/gif", ".gif"},
        {FileFormatJPEG, "image/jpeg", ".jpg"}, {FileFormatPNG, "image/png", ".png"},
        {FileFormatTIFF, "image/tiff", ".tif"},
    };
    for (const auto& c : cases) {
        const ImageFormat& format = FindImageFormat(c.format);
        EXPECT_STREQ(format.mimeType, c.mime);
        EXPECT_STREQ(format.extension, c.extension);
    }
    EXPECT_EQ(FailureOf([] { FindImageFormat(0); }), kInvalidFileFormat);
}

}  // namespace
}  // namespace vidmill::imaging
