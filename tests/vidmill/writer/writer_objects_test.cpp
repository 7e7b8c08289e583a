// AviWriter and AviWatermark as a caller sees them: early and late bound, frames from device
// contexts, pictures, image files and other AVI files, the sound track, the links to the
// compressor list and the watermark, and the options dialog of the host program.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cbplatform/compressor_dialog.h"
#include "cbplatform/errorinfo.h"
#include "cbplatform/gdi.h"
#include "cbplatform/picture.h"
#include "frame/lzw.h"
#include "invoke_by_name.h"
#include "writer/avi_writer_object.h"
#include "writer_test_support.h"

namespace vidmill {
namespace {

using cb::testing::InvokeByName;
using namespace vidmill::writer::testing;

constexpr char kNotWriting[] = "AviWriter object is not in Writing mode. Firstly call CreateNew method";
constexpr char kInvalidDC[] = "Invalid SourceHDC parameter of AddFrame method";

cb::ComPtr<IAviWriter> NewWriter() {
    return cb::ComPtr<IDispatch>::Adopt(NewAviWriter(Counting::NotCounted)).as<IAviWriter>();
}

// The message of a failed call; empty when it succeeded.
std::string Failure(HRESULT result) {
    if (SUCCEEDED(result)) return {};
    EXPECT_EQ(result, E_UNEXPECTED);
    return cb::TakeErrorDescription();
}

cb::Bstr Text(const std::string& utf8) { return cb::Bstr(utf8); }

// A bitmap of one colour (blue, green, red), with a device context over it.
struct SolidSource {
    SolidSource(int width, int height, std::uint8_t blue, std::uint8_t green, std::uint8_t red)
        : bitmap(width, height, 24) {
        paint(0, width, blue, green, red);
    }
    // Paints columns [from, to) of every row.
    void paint(int from, int to, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
        for (int y = 0; y < bitmap.height(); ++y)
            for (int x = from; x < to; ++x) {
                std::uint8_t* pixel = bitmap.topRow(y) + x * 3;
                pixel[0] = blue;
                pixel[1] = green;
                pixel[2] = red;
            }
    }
    cb::Bitmap bitmap;
    cb::DeviceContext dc{bitmap};
};

// The pixel (x, y) of frame `index` in decoded top-down BGR24 frames of the given size.
std::vector<int> PixelOf(const std::vector<std::uint8_t>& frames, int width, int height, int index, int x,
                         int y) {
    const std::size_t at =
        (static_cast<std::size_t>(index) * width * height + static_cast<std::size_t>(y) * width + x) * 3;
    if (at + 2 >= frames.size()) return {};
    return {frames[at], frames[at + 1], frames[at + 2]};
}

// A writer with uncompressed frames, so that decoded pixels are the pixels written.
cb::ComPtr<IAviWriter> OpenRawWriter(const std::string& path, LONG width, LONG height) {
    auto writer = NewWriter();
    writer->put_CompressorHandler(FourCC("DIB "));
    EXPECT_EQ(Failure(writer->CreateNew(Text(path).get(), width, height, 0)), "");
    return writer;
}

TEST(AviWriterObject, DefaultsEarlyAndLateBound) {
    auto writer = NewWriter();
    LONG number = -1;
    double rate = 0;
    VARIANT_BOOL flag = VARIANT_TRUE;
    writer->get_CompressorHandler(&number);
    EXPECT_EQ(number, FourCC("MSVC"));
    writer->get_Quality(&number);
    EXPECT_EQ(number, 7000);
    writer->get_FramesPerSecond(&rate);
    EXPECT_EQ(rate, 25.0);
    writer->get_IsOpen(&flag);
    EXPECT_EQ(flag, VARIANT_FALSE);
    for (auto get :
         {&IAviWriter::get_KeyFrameRate, &IAviWriter::get_BytesPerSecond, &IAviWriter::get_InterFrames}) {
        number = -1;
        (writer.get()->*get)(&number);
        EXPECT_EQ(number, 0);
    }
    writer->get_ShowDialog(&flag);
    EXPECT_EQ(flag, VARIANT_FALSE);

    cb::Variant value;
    ASSERT_EQ(InvokeByName(*writer, u"compressorhandler", DISPATCH_PROPERTYGET, {}, value.get()), S_OK);
    EXPECT_EQ(value.get()->lVal, FourCC("MSVC"));
    ASSERT_EQ(InvokeByName(*writer, u"Quality", DISPATCH_PROPERTYPUT, {cb::Variant::Long(12000)}, nullptr),
              S_OK);
    ASSERT_EQ(InvokeByName(*writer, u"Quality", DISPATCH_PROPERTYGET, {}, value.get()), S_OK);
    EXPECT_EQ(value.get()->lVal, 10000);
    ASSERT_EQ(InvokeByName(*writer, u"IsOpen", DISPATCH_PROPERTYGET, {}, value.get()), S_OK);
    EXPECT_EQ(value.get()->boolVal, VARIANT_FALSE);
}

TEST(AviWriterObject, PropertyRules) {
    struct Case {
        HRESULT (IAviWriter::*put)(LONG);
        HRESULT (IAviWriter::*get)(LONG*);
        LONG stored;
        LONG read;
    };
    const Case cases[] = {
        {&IAviWriter::put_Quality, &IAviWriter::get_Quality, 12000, 10000},
        {&IAviWriter::put_Quality, &IAviWriter::get_Quality, -5, 0},
        {&IAviWriter::put_Quality, &IAviWriter::get_Quality, 4321, 4321},
        {&IAviWriter::put_KeyFrameRate, &IAviWriter::get_KeyFrameRate, -3, 0},
        {&IAviWriter::put_BytesPerSecond, &IAviWriter::get_BytesPerSecond, -1, 0},
        {&IAviWriter::put_InterFrames, &IAviWriter::get_InterFrames, -2, 0},
        {&IAviWriter::put_CompressorHandler, &IAviWriter::get_CompressorHandler, 0, 0},
    };
    for (const Case& c : cases) {
        auto writer = NewWriter();
        EXPECT_EQ((writer.get()->*c.put)(c.stored), S_OK);
        LONG read = -99;
        (writer.get()->*c.get)(&read);
        EXPECT_EQ(read, c.read) << c.stored;
    }
    auto writer = NewWriter();
    writer->put_FramesPerSecond(-1);
    double rate = -1;
    writer->get_FramesPerSecond(&rate);
    EXPECT_EQ(rate, 0.0);

    // InterFrames stays as it was while a file is written.
    writer = OpenRawWriter(ScratchPath("inter-frames.avi"), 8, 8);
    writer->put_InterFrames(3);
    LONG inter = -1;
    writer->get_InterFrames(&inter);
    EXPECT_EQ(inter, 0);
}

TEST(AviWriterObject, CreateNewRefusals) {
    auto writer = NewWriter();
    const std::string path = ScratchPath("refused.avi");
    EXPECT_EQ(Failure(writer->CreateNew(Text(path).get(), 0, 10, 0)),
              "Invalid Width parameter of CreateNew method call");
    EXPECT_FALSE(std::filesystem::exists(path)) << "no file for a width of 0";
    EXPECT_EQ(Failure(writer->CreateNew(Text(path).get(), 10, -1, 0)),
              "Invalid Height parameter of CreateNew method call");
    EXPECT_FALSE(std::filesystem::exists(path));

    ASSERT_EQ(Failure(writer->CreateNew(Text(path).get(), 12, 12, 0)), "");
    EXPECT_EQ(Failure(writer->CreateNew(Text(path).get(), 12, 12, 0)),
              "Cannot create new AVI in writing mode. Call Close method firstly");
    VARIANT_BOOL open = VARIANT_FALSE;
    writer->get_IsOpen(&open);
    EXPECT_EQ(open, VARIANT_TRUE);
    EXPECT_EQ(writer->Close(), S_OK);
    EXPECT_EQ(writer->Close(), S_OK) << "closing a closed writer is no failure";
}

TEST(AviWriterObject, FrameAndSoundCallsNeedWritingMode) {
    auto writer = NewWriter();
    const std::string image = ScratchPath("image.png");
    RunCommand("ffmpeg -v error -y -f lavfi -i color=red:s=4x4 -frames:v 1 " + Quoted(image));
    SolidSource source(4, 4, 0, 0, 0);
    auto picture = cb::CreatePicture(std::make_shared<cb::Bitmap>(4, 4, 24));
    const cb::Bstr name = Text(image);
    const std::vector<std::pair<const char*, std::function<HRESULT()>>> calls = {
        {"AddImage", [&] { return writer->AddImage(name.get(), VARIANT_TRUE); }},
        {"AddImages", [&] { return writer->AddImages(name.get(), VARIANT_TRUE, VARIANT_FALSE); }},
        {"AddPicture", [&] { return writer->AddPicture(picture.get(), VARIANT_TRUE); }},
        {"AddPicture without picture", [&] { return writer->AddPicture(nullptr, VARIANT_TRUE); }},
        {"AddFrame", [&] { return writer->AddFrame(source.dc.handle(), 0, 0, 0, 0); }},
        {"AddFrame bogus", [&] { return writer->AddFrame(12345, 0, 0, 0, 0); }},
        {"AddStream", [&] { return writer->AddStream(nullptr, VARIANT_TRUE); }},
        {"AddAvi", [&] { return writer->AddAvi(name.get(), VARIANT_TRUE, VARIANT_FALSE, VARIANT_FALSE); }},
        {"AddWav", [&] { return writer->AddWav(name.get(), VARIANT_TRUE); }},
    };
    for (const auto& [what, call] : calls) EXPECT_EQ(Failure(call()), kNotWriting) << what;
    // AddImages checks the mode only through the images it adds.
    EXPECT_EQ(
        Failure(writer->AddImages(Text(ScratchPath("nothing-*.png")).get(), VARIANT_TRUE, VARIANT_FALSE)),
        "");
}

TEST(AviWriterObject, AddFrameTakesTheSourceRectangleAndRefusesOtherHandles) {
    const std::string path = ScratchPath("add-frame.avi");
    auto writer = OpenRawWriter(path, 4, 4);
    HDC stale = 0;
    {
        cb::Bitmap gone(4, 4, 24);
        const cb::DeviceContext dc(gone);
        stale = dc.handle();
    }
    // 0, a window handle, a bitmap handle, a device context that is gone, any number.
    for (const HDC bogus : {HDC{0}, HDC{0x00010001}, HDC{0x00050002}, stale, HDC{-7}}) {
        EXPECT_EQ(Failure(writer->AddFrame(bogus, 0, 0, 0, 0)), kInvalidDC) << bogus;
    }
    SolidSource source(8, 4, 255, 0, 0);  // left half blue
    source.paint(4, 8, 0, 0, 255);        // right half red
    EXPECT_EQ(Failure(writer->AddFrame(source.dc.handle(), 0, 0, 0, 0)), "") << "the frame's size, 1:1";
    EXPECT_EQ(Failure(writer->AddFrame(source.dc.handle(), 4, 0, 4, 4)), "") << "the right half";
    EXPECT_EQ(Failure(writer->AddFrame(source.dc.handle(), 0, 0, 8, 4)), "") << "the whole source squeezed";
    ASSERT_EQ(writer->Close(), S_OK);
    const auto frames = DecodeBgr24(path);
    ASSERT_EQ(frames.size(), 3u * 4 * 4 * 3) << "bogus handles write no frame";
    const std::vector<int> blue{255, 0, 0}, red{0, 0, 255};
    EXPECT_EQ(PixelOf(frames, 4, 4, 0, 3, 1), blue);
    EXPECT_EQ(PixelOf(frames, 4, 4, 1, 0, 1), red);
    EXPECT_EQ(PixelOf(frames, 4, 4, 2, 0, 1), blue);
    EXPECT_EQ(PixelOf(frames, 4, 4, 2, 3, 1), red);
}

TEST(AviWriterObject, InterFramesAndKeyFramesOfAddedFrames) {
    const std::string path = ScratchPath("black-grey-white.avi");
    auto writer = NewWriter();
    writer->put_CompressorHandler(FourCC("DIB "));
    writer->put_InterFrames(1);
    ASSERT_EQ(Failure(writer->CreateNew(Text(path).get(), 8, 8, 0)), "");
    SolidSource black(8, 8, 0, 0, 0), white(8, 8, 255, 255, 255);
    ASSERT_EQ(writer->AddFrame(black.dc.handle(), 0, 0, 0, 0), S_OK);
    ASSERT_EQ(writer->AddFrame(white.dc.handle(), 0, 0, 0, 0), S_OK);
    ASSERT_EQ(writer->Close(), S_OK);
    const auto frames = DecodeBgr24(path);
    ASSERT_EQ(frames.size(), 3u * 8 * 8 * 3);
    for (const auto& [index, level] : {std::pair{0, 0}, std::pair{1, 127}, std::pair{2, 255}})
        EXPECT_EQ(PixelOf(frames, 8, 8, index, 5, 5), (std::vector<int>{level, level, level})) << index;

    const std::string keys = ScratchPath("keys.avi");
    writer = NewWriter();
    writer->put_KeyFrameRate(10);
    ASSERT_EQ(Failure(writer->CreateNew(Text(keys).get(), 16, 16, 0)), "");
    for (int i = 0; i < 21; ++i)
        ASSERT_EQ(writer->AddFrame((i % 2 ? white : black).dc.handle(), 0, 0, 0, 0), S_OK);
    ASSERT_EQ(writer->Close(), S_OK);
    const auto flags = KeyFrameFlags(keys);
    ASSERT_EQ(flags.size(), 21u);
    for (std::size_t i = 0; i < flags.size(); ++i) EXPECT_EQ(flags[i], i % 10 == 0) << i;
}

TEST(AviWriterObject, SoundTrackOncePerFile) {
    const std::string tone = MakeToneFile("tone.wav", 1.0, 22050, 1, "pcm_s16le");
    const std::string path = ScratchPath("sound.avi");
    auto writer = OpenRawWriter(path, 8, 8);
    EXPECT_EQ(Failure(writer->AddWav(Text(ScratchPath("missing.wav")).get(), VARIANT_TRUE)),
              "WAV file \"" + ScratchPath("missing.wav") + "\" not found");
    EXPECT_EQ(Failure(writer->AddWav(Text(tone).get(), VARIANT_FALSE)), "");
    EXPECT_EQ(Failure(writer->AddWav(Text(tone).get(), VARIANT_FALSE)),
              "Sound track is already written to AVI file");
    ASSERT_EQ(writer->Close(), S_OK);
    EXPECT_EQ(ProbeSound(path).sampleFrames, 22050);

    ASSERT_EQ(Failure(writer->CreateNew(Text(path).get(), 8, 8, 0)), "");
    EXPECT_EQ(Failure(writer->AddWav(Text(tone).get(), VARIANT_TRUE)), "") << "allowed again in a new file";
    ASSERT_EQ(writer->Close(), S_OK);
}

TEST(AviWriterObject, ImagesByMaskInOrdinalOrder) {
    const std::filesystem::path folder = ScratchPath("images");
    std::filesystem::create_directories(folder);
    // Ordinal order puts upper case first: C.png, a.png, b.png.
    for (const auto& [name, colour] :
         {std::pair{"b.png", "blue"}, std::pair{"a.png", "lime"}, std::pair{"C.png", "red"}})
        RunCommand("ffmpeg -v error -y -f lavfi -i color=" + std::string(colour) +
                   ":s=4x4,format=rgb24 -frames:v 1 " + Quoted((folder / name).string()));
    const std::string path = ScratchPath("images.avi");
    auto writer = OpenRawWriter(path, 4, 4);
    EXPECT_EQ(
        Failure(writer->AddImages(Text((folder / "*.jpg").string()).get(), VARIANT_TRUE, VARIANT_FALSE)), "")
        << "a mask that matches nothing adds nothing";
    EXPECT_EQ(Failure(writer->AddImages(Text((folder / "*.png").string()).get(), VARIANT_TRUE, VARIANT_TRUE)),
              "");
    ASSERT_EQ(writer->Close(), S_OK);
    const auto frames = DecodeBgr24(path);
    ASSERT_EQ(frames.size(), 3u * 4 * 4 * 3);
    EXPECT_EQ(PixelOf(frames, 4, 4, 0, 1, 1), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(PixelOf(frames, 4, 4, 1, 1, 1), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(PixelOf(frames, 4, 4, 2, 1, 1), (std::vector<int>{0, 0, 255}));

    // GIF files need the LZW switch.
    SetLzwEnabledForTesting(false);
    writer = OpenRawWriter(ScratchPath("gif.avi"), 4, 4);
    EXPECT_NE(Failure(writer->AddImage(Text((folder / "x.gif").string()).get(), VARIANT_TRUE)), "");
    writer->EnableLZW();
    EXPECT_EQ(Failure(writer->AddImage(Text((folder / "x.gif").string()).get(), VARIANT_TRUE)), "")
        << "a file that cannot be read gives a black frame";
}

TEST(AviWriterObject, PicturesFillTheFrameOrCoverItsCornerWithoutClearingIt) {
    const std::string path = ScratchPath("pictures.avi");
    auto writer = OpenRawWriter(path, 16, 16);
    auto small = std::make_shared<cb::Bitmap>(8, 8, 24);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) small->topRow(y)[x * 3] = 255;  // blue
    small->topRow(0)[2] = 255;                                      // a magenta top-left pixel
    auto picture = cb::CreatePicture(small);
    SolidSource red(16, 16, 0, 0, 255);
    EXPECT_EQ(Failure(writer->AddPicture(nullptr, VARIANT_TRUE)),
              "Picture parameter of AddPicture method is empty");
    ASSERT_EQ(writer->AddFrame(red.dc.handle(), 0, 0, 0, 0), S_OK);
    ASSERT_EQ(writer->AddPicture(picture.get(), VARIANT_FALSE), S_OK);
    ASSERT_EQ(writer->AddPicture(picture.get(), VARIANT_TRUE), S_OK);
    ASSERT_EQ(writer->Close(), S_OK);
    const auto frames = DecodeBgr24(path);
    ASSERT_EQ(frames.size(), 3u * 16 * 16 * 3);
    const std::vector<int> blue{255, 0, 0}, redPixel{0, 0, 255}, magenta{255, 0, 255};
    // At its own size the picture sits on the frame's bottom edge: its source rectangle counts
    // upwards from the picture's bottom edge.
    EXPECT_EQ(PixelOf(frames, 16, 16, 1, 0, 8), magenta);
    EXPECT_EQ(PixelOf(frames, 16, 16, 1, 7, 15), blue);
    EXPECT_EQ(PixelOf(frames, 16, 16, 1, 12, 12), redPixel)
        << "the frame before shows where the picture ends";
    EXPECT_EQ(PixelOf(frames, 16, 16, 1, 3, 3), redPixel);
    EXPECT_EQ(PixelOf(frames, 16, 16, 2, 1, 1), magenta) << "stretched: one pixel of the picture covers four";
    EXPECT_EQ(PixelOf(frames, 16, 16, 2, 12, 12), blue);
}

// A 16 x 16 source of four frames of rising grey at 10 per second, with a sound track.
std::string GreyFramesWithSound() {
    const std::string path = ScratchPath("greys.avi");
    auto writer = NewWriter();
    writer->put_CompressorHandler(FourCC("DIB "));
    writer->put_FramesPerSecond(10);
    EXPECT_EQ(Failure(writer->CreateNew(Text(path).get(), 16, 16, 0)), "");
    for (std::uint8_t level : {10, 20, 30, 40}) {
        SolidSource grey(16, 16, level, level, level);
        EXPECT_EQ(writer->AddFrame(grey.dc.handle(), 0, 0, 0, 0), S_OK);
    }
    EXPECT_EQ(
        Failure(writer->AddWav(Text(MakeToneFile("greys.wav", 2.0, 8000, 1, "pcm_u8")).get(), VARIANT_TRUE)),
        "");
    EXPECT_EQ(writer->Close(), S_OK);
    return path;
}

TEST(AviWriterObject, AddAviCopiesFramesForwardOrReversedWithItsSound) {
    const std::string source = GreyFramesWithSound();
    struct Case {
        VARIANT_BOOL reverse;
        VARIANT_BOOL sound;
        std::vector<int> levels;
    };
    const Case cases[] = {{VARIANT_FALSE, VARIANT_FALSE, {10, 20, 30, 40}},
                          {VARIANT_TRUE, VARIANT_TRUE, {40, 30, 20, 10}}};
    for (const Case& c : cases) {
        const std::string path = ScratchPath("copy.avi");
        auto writer = OpenRawWriter(path, 8, 8);
        ASSERT_EQ(Failure(writer->AddAvi(Text(source).get(), VARIANT_TRUE, c.reverse, c.sound)), "");
        ASSERT_EQ(writer->Close(), S_OK);
        const auto frames = DecodeBgr24(path);
        ASSERT_EQ(frames.size(), 4u * 8 * 8 * 3);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(PixelOf(frames, 8, 8, i, 3, 3)[0], c.levels[static_cast<std::size_t>(i)]);
        // With the sound, cut at the last frame: 4 frames at 25 per second end at 0.12 s, sample 960.
        EXPECT_EQ(ProbeSound(path).sampleFrames, c.sound ? 961 : 0);
    }
    auto writer = OpenRawWriter(ScratchPath("copy.avi"), 8, 8);
    EXPECT_EQ(Failure(writer->AddAvi(Text(ScratchPath("missing.avi")).get(), VARIANT_TRUE, VARIANT_FALSE,
                                     VARIANT_FALSE)),
              "Cannot open AVI file " + ScratchPath("missing.avi") + ": No such file or directory");
}

TEST(AviWriterObject, CompressorListAndWatermarkLinks) {
    auto writer = NewWriter();
    cb::ComPtr<IAviCompressors> first, again;
    ASSERT_EQ(writer->get_Compressors(first.put()), S_OK);
    ASSERT_EQ(writer->get_Compressors(again.put()), S_OK);
    EXPECT_EQ(first.get(), again.get()) << "one list while it is held";

    cb::ComPtr<IAviWatermark> watermark, same;
    ASSERT_EQ(writer->get_Watermark(watermark.put()), S_OK);
    ASSERT_EQ(writer->get_Watermark(same.put()), S_OK);
    EXPECT_EQ(watermark.get(), same.get());
    same.reset();

    // The list outlives the writer; the watermark keeps its writer alive.
    IAviWriter* raw = writer.get();
    writer.reset();
    VARIANT_BOOL more = VARIANT_FALSE;
    EXPECT_EQ(first->Reset(), S_OK);
    EXPECT_EQ(first->Next(&more), S_OK);
    EXPECT_EQ(watermark->put_HorizontalOffset(3), S_OK);
    LONG quality = 0;
    EXPECT_EQ(raw->get_Quality(&quality), S_OK);
    EXPECT_EQ(quality, 7000);

    // After the list's last release the next read makes a new one.
    auto other = NewWriter();
    cb::ComPtr<IAviCompressors> list;
    ASSERT_EQ(other->get_Compressors(list.put()), S_OK);
    list.reset();
    ASSERT_EQ(other->get_Compressors(list.put()), S_OK);
    EXPECT_EQ(list->Reset(), S_OK);
}

TEST(AviWriterObject, OptionsDialogOfTheHostProgram) {
    struct Case {
        LONG handler;
        bool showDialog;
        bool registered;
        cb::DialogAnswer answer;
        const char* codecName;  // empty: CreateNew reports "Operation aborted"
    };
    const Case cases[] = {
        {0, false, false, cb::DialogAnswer::Accepted, "rawvideo"},
        {FourCC("MSVC"), true, false, cb::DialogAnswer::Accepted, "msvideo1"},
        {0, false, true, cb::DialogAnswer::Accepted, "mjpeg"},
        {FourCC("MSVC"), true, true, cb::DialogAnswer::Cancelled, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codecName);
        int asked = 0;
        if (c.registered) {
            cb::SetCompressorDialogProvider([&](cb::CompressorOptions& options, HWND parent) {
                ++asked;
                EXPECT_EQ(parent, 42);
                EXPECT_EQ(options.quality, 7000);
                options.handler = static_cast<std::uint32_t>(FourCC("MJPG"));
                return c.answer;
            });
        }
        const std::string path = ScratchPath("dialog.avi");
        auto writer = NewWriter();
        writer->put_CompressorHandler(c.handler);
        writer->put_ShowDialog(c.showDialog ? VARIANT_TRUE : VARIANT_FALSE);
        const std::string failure = Failure(writer->CreateNew(Text(path).get(), 16, 16, 42));
        cb::SetCompressorDialogProvider({});
        EXPECT_EQ(asked, c.registered ? 1 : 0);
        VARIANT_BOOL open = VARIANT_FALSE;
        writer->get_IsOpen(&open);
        if (*c.codecName == '\0') {
            EXPECT_EQ(failure, "Operation aborted");
            EXPECT_EQ(open, VARIANT_FALSE);
            continue;
        }
        ASSERT_EQ(failure, "");
        SolidSource grey(16, 16, 90, 90, 90);
        ASSERT_EQ(writer->AddFrame(grey.dc.handle(), 0, 0, 0, 0), S_OK);
        ASSERT_EQ(writer->Close(), S_OK);
        EXPECT_EQ(ProbeVideo(path).codecName, c.codecName);
        LONG handler = -1;
        writer->get_CompressorHandler(&handler);
        EXPECT_EQ(handler, c.handler) << "the dialog's choice holds for one file";
    }
}

// The frames of a raw 96 x 24 file whose watermark is set up by `decorate`, `count` black frames.
std::vector<std::uint8_t> WatermarkedFrames(const std::function<void(IAviWatermark&)>& decorate, int count) {
    const std::string path = ScratchPath("watermarked.avi");
    auto writer = OpenRawWriter(path, 96, 24);
    cb::ComPtr<IAviWatermark> watermark;
    EXPECT_EQ(writer->get_Watermark(watermark.put()), S_OK);
    decorate(*watermark);
    SolidSource black(96, 24, 0, 0, 0);
    for (int i = 0; i < count; ++i) EXPECT_EQ(writer->AddFrame(black.dc.handle(), 0, 0, 0, 0), S_OK);
    EXPECT_EQ(writer->Close(), S_OK);
    return DecodeBgr24(path);
}

TEST(AviWatermarkObject, TimerOnTheThirtyFirstFrameReadsOneSecondAndFiveFrames) {
    const std::size_t frameBytes = 96 * 24 * 3;
    const cb::Bstr font = Text("DejaVu Sans");
    const auto timer = WatermarkedFrames(
        [&](IAviWatermark& watermark) {
            EXPECT_EQ(watermark.AddTimer(2, 4, TimerStyleVideoFrame, 0, font.get(), FontStyleRegular, 12,
                                         0xFFFFFF, -1, 1, -1, 1, 0),
                      S_OK);
        },
        31);
    ASSERT_EQ(timer.size(), 31 * frameBytes);
    const auto title = [&](const char* text) {
        const cb::Bstr words = Text(text);
        const auto frames = WatermarkedFrames(
            [&](IAviWatermark& watermark) {
                EXPECT_EQ(watermark.AddTitle(words.get(), 2, 4, font.get(), FontStyleRegular, 12, 0xFFFFFF,
                                             -1, 1, -1, 1, 0),
                          S_OK);
            },
            1);
        return std::vector<std::uint8_t>(frames.begin(), frames.end());
    };
    const std::vector<std::uint8_t> last(timer.end() - static_cast<std::ptrdiff_t>(frameBytes), timer.end());
    const std::vector<std::uint8_t> before(timer.end() - 2 * static_cast<std::ptrdiff_t>(frameBytes),
                                           timer.end() - static_cast<std::ptrdiff_t>(frameBytes));
    EXPECT_EQ(last, title("00:00:01.05"));
    EXPECT_EQ(before, title("00:00:01.04"));
    EXPECT_NE(last, before);
}

TEST(AviWatermarkObject, PicturesDeviceContextsAndLateBoundDefaults) {
    auto redBitmap = std::make_shared<cb::Bitmap>(4, 4, 24);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) redBitmap->topRow(y)[x * 3 + 2] = 255;
    auto picture = cb::CreatePicture(redBitmap);
    SolidSource blue(10, 10, 255, 0, 0);
    const auto frames = WatermarkedFrames(
        [&](IAviWatermark& watermark) {
            EXPECT_EQ(watermark.AddPicture(picture.get(), 2, 2, 0), S_OK);
            EXPECT_EQ(watermark.AddDC(blue.dc.handle(), 8, 0, 4, 4, 20, 2, 0), S_OK)
                << "clipped to the source";
            EXPECT_EQ(watermark.AddDC(777, 0, 0, 4, 4, 40, 2, 0), S_OK) << "no device context draws nothing";
            EXPECT_EQ(watermark.AddPicture(nullptr, 40, 2, 0), S_OK);
            // Late bound with the defaults: no outline, transparency 25 (alpha 191).
            const auto dispatch = cb::ComPtr<IAviWatermark>::Retain(&watermark).as<IDispatch>();
            EXPECT_EQ(InvokeByName(*dispatch, u"AddRectangle", DISPATCH_METHOD,
                                   {cb::Variant::Single(60), cb::Variant::Single(2), cb::Variant::Single(4),
                                    cb::Variant::Single(4), cb::Variant::Long(0x00FF00)},
                                   nullptr),
                      S_OK);
        },
        1);
    ASSERT_EQ(frames.size(), 96u * 24 * 3);
    EXPECT_EQ(PixelOf(frames, 96, 24, 0, 3, 3), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(PixelOf(frames, 96, 24, 0, 21, 3), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(PixelOf(frames, 96, 24, 0, 23, 3), (std::vector<int>{0, 0, 0})) << "past the source's edge";
    EXPECT_EQ(PixelOf(frames, 96, 24, 0, 41, 3), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(PixelOf(frames, 96, 24, 0, 61, 3), (std::vector<int>{0, 191, 0}));
}

}  // namespace
}  // namespace vidmill
