// AviReader, AviFrames, AviFrame and the frame enumerator through their interfaces: messages,
// state rules, what frames give as pictures, drawings, files, streams and writer frames.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cbplatform/errorinfo.h"
#include "cbplatform/gdi.h"
#include "cbplatform/picture.h"
#include "cbplatform/stream.h"
#include "frame/lzw.h"
#include "reader/avi_reader_engine.h"
#include "reader/avi_reader_object.h"
#include "reader_test_support.h"

namespace vidmill {
namespace {

using namespace reader::testing;

constexpr char kNotReading[] = "AviReader object is not in Reading mode. Firstly call Open method";
constexpr char kFreed[] = "AviReader object already freed";

cb::ComPtr<IAviReader> NewReader() {
    return cb::ComPtr<IDispatch>::Adopt(NewAviReader(Counting::NotCounted)).as<IAviReader>();
}

// The message of a failed call; empty when it succeeded.
std::string Failure(HRESULT result) {
    if (SUCCEEDED(result)) return {};
    EXPECT_EQ(result, E_UNEXPECTED);
    return cb::TakeErrorDescription();
}

cb::Bstr Text(const std::string& utf8) { return cb::Bstr(utf8); }

// A 40 x 30 file of 15 frames at 5 per second, lossless so that frames compare exactly.
class ReaderObjects : public ::testing::Test {
  protected:
    void SetUp() override {
        SetLzwEnabledForTesting(true);
        path_ = MakeAvi("objects.avi", 40, 30, 15, "5", "-c:v huffyuv", "-c:a pcm_s16le");
        reader_ = NewReader();
        ASSERT_EQ(reader_->Open(Text(path_).get()), S_OK);
        ASSERT_EQ(reader_->get_Frames(frames_.put()), S_OK);
    }
    cb::ComPtr<IAviFrame> Item(LONG index) {
        cb::ComPtr<IAviFrame> frame;
        EXPECT_EQ(frames_->get_Item(index, frame.put()), S_OK);
        return frame;
    }
    // Frame `index` as the engine reads it, for comparisons.
    cb::Bitmap EngineFrame(int index) {
        reader::AviReaderEngine engine;
        engine.open(path_);
        return engine.frameAt(index);
    }

    std::string path_;
    cb::ComPtr<IAviReader> reader_;
    cb::ComPtr<IAviFrames> frames_;
};

TEST(ReaderState, ClosedReaderRefusesEveryReadWithTheModeMessage) {
    auto reader = NewReader();
    LONG number = 0;
    double rate = 0;
    const std::vector<std::pair<const char*, std::function<HRESULT()>>> calls = {
        {"Width", [&] { return reader->get_Width(&number); }},
        {"Height", [&] { return reader->get_Height(&number); }},
        {"CompressorHandler", [&] { return reader->get_CompressorHandler(&number); }},
        {"Quality", [&] { return reader->get_Quality(&number); }},
        {"FramesPerSecond", [&] { return reader->get_FramesPerSecond(&rate); }},
        {"BytesPerSecond", [&] { return reader->get_BytesPerSecond(&number); }},
        {"ExtractWav", [&] { return reader->ExtractWav(Text(ScratchPath("closed.wav")).get()); }},
        {"Frames.Count",
         [&] {
             cb::ComPtr<IAviFrames> frames;
             reader->get_Frames(frames.put());
             return frames->get_Count(&number);
         }},
        {"Frame.Picture",
         [&] {
             cb::ComPtr<IAviFrames> frames;
             cb::ComPtr<IAviFrame> frame;
             cb::ComPtr<IPicture> picture;
             reader->get_Frames(frames.put());
             frames->get_Item(0, frame.put());
             return frame->Picture(picture.put());
         }},
    };
    for (const auto& [name, call] : calls) EXPECT_EQ(Failure(call()), kNotReading) << name;

    VARIANT_BOOL open = VARIANT_TRUE;
    EXPECT_EQ(reader->get_IsOpen(&open), S_OK);
    EXPECT_EQ(open, VARIANT_FALSE);
    EXPECT_EQ(reader->Close(), S_OK);
    EXPECT_EQ(reader->Close(), S_OK);
}

// A file that cannot be opened is named with the reason; the reader stays closed and never waits
// on a pipe.
TEST(ReaderState, FailedOpenNamesTheFileAndWhyAndLeavesTheReaderClosed) {
    const std::string folder = ScratchPath("a-folder.avi");
    std::filesystem::create_directories(folder);
    const std::string junk = ScratchPath("junk.avi");
    WriteFileBytes(junk, std::vector<std::uint8_t>(1000, 0x5A));
    const std::string pipe = ScratchPath("pipe.avi");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {{ScratchPath("missing.avi"), "No such file or directory"},
                 {folder, "Is a directory"},
                 {junk, "not an AVI file"},
                 {pipe, "not a regular file"}};
    for (const auto& c : cases) {
        auto reader = NewReader();
        EXPECT_EQ(Failure(reader->Open(Text(c.path).get())),
                  "Cannot open AVI file " + c.path + ": " + c.reason);
        VARIANT_BOOL open = VARIANT_TRUE;
        reader->get_IsOpen(&open);
        EXPECT_EQ(open, VARIANT_FALSE) << c.path;
    }
}

TEST_F(ReaderObjects, OpenTwiceFailsAndKeepsTheFirstFile) {
    const std::string other = MakeAvi("other.avi", 64, 48, 2, "5", "-c:v msvideo1");
    EXPECT_EQ(Failure(reader_->Open(Text(other).get())),
              "Cannot open AVI in reading mode. Call Close method firstly");
    LONG width = 0;
    EXPECT_EQ(reader_->get_Width(&width), S_OK);
    EXPECT_EQ(width, 40);
    reader_->Close();
    EXPECT_EQ(reader_->Open(Text(other).get()), S_OK);
    reader_->get_Width(&width);
    EXPECT_EQ(width, 64);
}

TEST_F(ReaderObjects, PropertiesAndTheSameFramesCollection) {
    LONG value = 0;
    double rate = 0;
    EXPECT_EQ(reader_->get_Height(&value), S_OK);
    EXPECT_EQ(value, 30);
    EXPECT_EQ(reader_->get_FramesPerSecond(&rate), S_OK);
    EXPECT_DOUBLE_EQ(rate, 5.0);
    EXPECT_EQ(reader_->get_CompressorHandler(&value), S_OK);
    EXPECT_EQ(value, FourCC("HFYU"));
    EXPECT_EQ(frames_->get_Count(&value), S_OK);
    EXPECT_EQ(value, 15);
    cb::ComPtr<IAviFrames> again;
    EXPECT_EQ(reader_->get_Frames(again.put()), S_OK);
    EXPECT_EQ(again.get(), frames_.get());
}

TEST_F(ReaderObjects, ItemPastTheEndIsAnObjectWhosePictureFails) {
    auto frame = Item(15);
    LONG index = 0;
    EXPECT_EQ(frame->get_Index(&index), S_OK);
    EXPECT_EQ(index, 15);
    cb::ComPtr<IPicture> picture;
    EXPECT_EQ(Failure(frame->Picture(picture.put())), "Cannot decompress AVI file content");
    EXPECT_EQ(Failure(Item(-1)->Picture(picture.put())), "Cannot decompress AVI file content");
}

TEST_F(ReaderObjects, PictureHoldsItsOwnCopyOfTheFrame) {
    cb::ComPtr<IPicture> picture;
    ASSERT_EQ(Item(7)->Picture(picture.put()), S_OK);
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    EXPECT_EQ(width, cb::PixelsToHimetric(40));
    EXPECT_EQ(height, cb::PixelsToHimetric(30));
    cb::ComPtr<IPicture> later;
    ASSERT_EQ(Item(2)->Picture(later.put()), S_OK);  // the reader has moved on
    const auto bitmap = cb::PictureBitmap(picture.get());
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->bitsPerPixel(), 32);
    EXPECT_EQ(TopDownBgra(*bitmap), TopDownBgra(EngineFrame(7)));
    EXPECT_NE(TopDownBgra(*bitmap), TopDownBgra(*cb::PictureBitmap(later.get())));
}

TEST_F(ReaderObjects, DrawAtTheFileSizeOrStretched) {
    const cb::Bitmap expected = EngineFrame(4);
    cb::Bitmap surface(40, 30, 32);
    {
        const cb::DeviceContext dc(surface);
        EXPECT_EQ(Item(4)->Draw(dc.handle(), 0, 0, 0, 0), S_OK);
    }
    EXPECT_EQ(TopDownBgra(surface), TopDownBgra(expected));

    cb::Bitmap twice(80, 60, 32);
    {
        const cb::DeviceContext dc(twice);
        EXPECT_EQ(Item(4)->Draw(dc.handle(), 0, 0, 80, 60), S_OK);
    }
    for (const auto& [x, y] : {std::pair{0, 0}, {79, 59}, {41, 17}})
        EXPECT_EQ(std::memcmp(twice.topRow(y) + x * 4, expected.topRow(y / 2) + (x / 2) * 4, 3), 0)
            << x << "," << y;
}

TEST_F(ReaderObjects, SaveFileNamesAndFormats) {
    const std::string folder = ScratchPath("saved");
    std::filesystem::create_directories(folder);
    struct Row {
        const char* name;
        LONG format;
        const char* written;
        const char* codec;  // as ffprobe names the image's codec
    };
    const Row rows[] = {
        {"shot.txt", 0, "shot.txt", "mjpeg"}, {"shot.txt", 4, "shot.png", "png"},
        {"noext", 0, "noext", "mjpeg"},       {"Upper.BMP", 0, "Upper.BMP", "bmp"},
        {"a.tiff", 0, "a.tiff", "tiff"},      {"b.gif", 1, "b.bmp", "bmp"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Item(3)->SaveFile(Text(folder + "/" + row.name).get(), row.format, -1, 0, 0, 0, 0), S_OK)
            << row.name;
        const std::string written = folder + "/" + row.written;
        EXPECT_EQ(
            RunCommand("ffprobe -v error -show_entries stream=codec_name -of csv=p=0 " + Quoted(written)),
            std::string(row.codec) + "\n")
            << row.name;
    }
    EXPECT_EQ(Failure(Item(3)->SaveFile(Text(folder + "/x.png").get(), 6, -1, 0, 0, 0, 0)),
              "Invalid FileFormat parameter");
    // A save that writes no file says so.
    const std::string unwritable = folder + "/no-such-folder/y.png";
    EXPECT_EQ(Failure(Item(3)->SaveFile(Text(unwritable).get(), 0, -1, 0, 0, 0, 0)),
              "Cannot save image file \"" + unwritable + "\"");
    // Resized when both sizes are given.
    ASSERT_EQ(Item(3)->SaveFile(Text(folder + "/small.png").get(), 0, -1, 0, 0, 20, 10), S_OK);
    EXPECT_EQ(ProbeField(folder + "/small.png", "v:0", "width"), "20");
    EXPECT_EQ(ProbeField(folder + "/small.png", "v:0", "height"), "10");
}

TEST_F(ReaderObjects, SaveSeqNumbersTheFiles) {
    const std::string folder = ScratchPath("sequence");
    std::filesystem::create_directories(folder);
    const cb::Bstr prefix = Text(folder + "/f");
    const cb::Bstr postfix = Text(".bmp");
    ASSERT_EQ(frames_->SaveSeq(10, 3, prefix.get(), postfix.get(), 3, 1, 0, -1, 0, 0, 0, 0), S_OK);
    for (int i = 0; i < 3; ++i) {
        const std::string name = folder + "/f00" + std::to_string(i + 1) + ".bmp";
        const cb::Bitmap saved = cb::DecodeImageFile(name);
        ASSERT_FALSE(saved.empty()) << name;
        EXPECT_EQ(LargestColourDifference(TopDownBgra(saved), TopDownBgra(EngineFrame(10 + i))), 0) << name;
    }
    ASSERT_EQ(frames_->SaveSeq(0, 1, prefix.get(), postfix.get(), 2, 100, 0, -1, 0, 0, 0, 0), S_OK);
    EXPECT_TRUE(std::filesystem::exists(folder + "/f100.bmp"));
    // The first failure stops the sequence; the files before it stay.
    EXPECT_EQ(Failure(frames_->SaveSeq(13, 4, prefix.get(), postfix.get(), 1, 7, 0, -1, 0, 0, 0, 0)),
              "Cannot decompress AVI file content");
    EXPECT_TRUE(std::filesystem::exists(folder + "/f7.bmp"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/f8.bmp"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/f9.bmp"));
}

TEST_F(ReaderObjects, SaveStreamWritesTheImageAtItsOwnSize) {
    cb::ComPtr<IStream> stream;
    ASSERT_EQ(cb::CreateStreamOnMemory({}, stream.put()), S_OK);
    ASSERT_EQ(Item(5)->SaveStream(stream.get(), FileFormatPNG, -1, 0, 0, 10, 10), S_OK);
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(cb::ReadWholeStream(stream.get(), bytes), S_OK);
    const cb::Bitmap saved = cb::DecodeImageBytes(bytes);
    EXPECT_EQ(saved.width(), 40);
    EXPECT_EQ(LargestColourDifference(TopDownBgra(saved), TopDownBgra(EngineFrame(5))), 0);
    EXPECT_EQ(Failure(Item(5)->SaveStream(stream.get(), 0, -1, 0, 0, 0, 0)), "Invalid FileFormat parameter");
    EXPECT_EQ(Failure(Item(5)->SaveStream(reader_.get(), FileFormatPNG, -1, 0, 0, 0, 0)),
              "Interface not supported");
}

TEST_F(ReaderObjects, ExtractWavThroughTheInterface) {
    const std::string wav = ScratchPath("objects.wav");
    ASSERT_EQ(reader_->ExtractWav(Text(wav).get()), S_OK);
    EXPECT_EQ(ProbeField(wav, "a:0", "codec_name"), "pcm_s16le");
}

// A writer that records the frames it is given.
class RecordingWriter final : public AutoObject<RecordingWriter, IAviWriter> {
  public:
    RecordingWriter() : AutoObject(Counting::NotCounted) {}
    struct Call {
        std::vector<std::uint8_t> pixels;
        LONG x, y, width, height;
    };
    std::vector<Call> calls;
    bool refuse = false;

    HRESULT AddFrame(HDC dc, LONG x, LONG y, LONG width, LONG height) override {
        if (refuse) return Guarded([] { throw Error("Cannot write AVI frame"); });
        const cb::Bitmap* surface = cb::BitmapOfDC(dc);
        if (!surface) return E_INVALIDARG;
        calls.push_back({TopDownBgra(*surface), x, y, width, height});
        return S_OK;
    }
#define VIDMILL_UNUSED(signature) \
    HRESULT signature override { return E_NOTIMPL; }
    VIDMILL_UNUSED(CreateNew(BSTR, LONG, LONG, HWND))
    VIDMILL_UNUSED(Close())
    VIDMILL_UNUSED(get_IsOpen(VARIANT_BOOL*))
    VIDMILL_UNUSED(AddImage(BSTR, VARIANT_BOOL))
    VIDMILL_UNUSED(AddPicture(IPicture*, VARIANT_BOOL))
    VIDMILL_UNUSED(AddWav(BSTR, VARIANT_BOOL))
    VIDMILL_UNUSED(get_Compressors(IAviCompressors**))
    VIDMILL_UNUSED(get_CompressorHandler(LONG*))
    VIDMILL_UNUSED(put_CompressorHandler(LONG))
    VIDMILL_UNUSED(get_Quality(LONG*))
    VIDMILL_UNUSED(put_Quality(LONG))
    VIDMILL_UNUSED(get_ShowDialog(VARIANT_BOOL*))
    VIDMILL_UNUSED(put_ShowDialog(VARIANT_BOOL))
    VIDMILL_UNUSED(get_FramesPerSecond(double*))
    VIDMILL_UNUSED(put_FramesPerSecond(double))
    VIDMILL_UNUSED(get_KeyFrameRate(LONG*))
    VIDMILL_UNUSED(put_KeyFrameRate(LONG))
    VIDMILL_UNUSED(get_BytesPerSecond(LONG*))
    VIDMILL_UNUSED(put_BytesPerSecond(LONG))
    VIDMILL_UNUSED(AddImages(BSTR, VARIANT_BOOL, VARIANT_BOOL))
    VIDMILL_UNUSED(AddAvi(BSTR, VARIANT_BOOL, VARIANT_BOOL, VARIANT_BOOL))
    VIDMILL_UNUSED(AddStream(IUnknown*, VARIANT_BOOL))
    VIDMILL_UNUSED(get_Watermark(IAviWatermark**))
    VIDMILL_UNUSED(get_InterFrames(LONG*))
    VIDMILL_UNUSED(put_InterFrames(LONG))
    VIDMILL_UNUSED(EnableLZW())
#undef VIDMILL_UNUSED
};

TEST_F(ReaderObjects, WriteHandsTheFrameToTheWritersAddFrame) {
    auto writer = cb::ComPtr<RecordingWriter>::Adopt(new RecordingWriter);
    ASSERT_EQ(Item(6)->Write(writer.get(), VARIANT_TRUE), S_OK);
    ASSERT_EQ(Item(9)->Write(writer.get(), VARIANT_FALSE), S_OK);
    ASSERT_EQ(writer->calls.size(), 2u);
    EXPECT_EQ(writer->calls[0].pixels, TopDownBgra(EngineFrame(6)));
    EXPECT_EQ((std::vector<LONG>{writer->calls[0].x, writer->calls[0].y, writer->calls[0].width,
                                 writer->calls[0].height}),
              (std::vector<LONG>{0, 0, 40, 30}));
    EXPECT_EQ(writer->calls[1].pixels, TopDownBgra(EngineFrame(9)));
    EXPECT_EQ((std::vector<LONG>{writer->calls[1].x, writer->calls[1].y, writer->calls[1].width,
                                 writer->calls[1].height}),
              (std::vector<LONG>{0, 0, 0, 0}));

    EXPECT_EQ(Failure(Item(6)->Write(nullptr, VARIANT_TRUE)),
              "Parameter Write of WriteFrame method is empty");
    writer->refuse = true;
    EXPECT_EQ(Failure(Item(6)->Write(writer.get(), VARIANT_TRUE)), "Cannot write AVI frame");
}

TEST_F(ReaderObjects, EnumeratorWalksTheFrames) {
    cb::ComPtr<IUnknown> unknown;
    ASSERT_EQ(frames_->get__NewEnum(unknown.put()), S_OK);
    auto enumerator = unknown.as<IEnumVARIANT>();
    ASSERT_TRUE(enumerator);
    VARIANT items[10];
    ULONG fetched = 99;
    EXPECT_EQ(enumerator->Next(10, items, &fetched), S_OK);
    ASSERT_EQ(fetched, 10u);
    for (ULONG i = 0; i < fetched; ++i) {
        ASSERT_EQ(items[i].vt, VT_DISPATCH);
        auto frame = cb::ComPtr<IDispatch>::Adopt(items[i].pdispVal).as<IAviFrame>();
        LONG index = -1;
        frame->get_Index(&index);
        EXPECT_EQ(index, static_cast<LONG>(i));
    }
    EXPECT_EQ(enumerator->Skip(5), S_FALSE) << "10 + 5 reaches the count";
    EXPECT_EQ(enumerator->Skip(3), S_OK);
    EXPECT_EQ(enumerator->Next(10, items, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    for (ULONG i = 0; i < fetched; ++i) VariantClear(&items[i]);
    EXPECT_EQ(enumerator->Next(1, nullptr, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(enumerator->Reset(), S_OK);
    cb::ComPtr<IEnumVARIANT> copy;
    EXPECT_EQ(enumerator->Skip(5), S_OK);
    EXPECT_EQ(enumerator->Clone(copy.put()), S_OK);
    EXPECT_EQ(copy->Next(1, items, &fetched), S_OK);
    LONG index = -1;
    cb::ComPtr<IDispatch>::Adopt(items[0].pdispVal).as<IAviFrame>()->get_Index(&index);
    EXPECT_EQ(index, 5);
}

TEST_F(ReaderObjects, FramesAndEnumeratorsOutliveTheirReader) {
    auto frame = Item(1);
    cb::ComPtr<IUnknown> unknown;
    ASSERT_EQ(frames_->get__NewEnum(unknown.put()), S_OK);
    auto enumerator = unknown.as<IEnumVARIANT>();
    unknown.reset();
    frames_.reset();
    reader_.reset();  // the last reference: the reader is destroyed

    cb::ComPtr<IPicture> picture;
    cb::Bitmap surface(40, 30, 32);
    const cb::DeviceContext dc(surface);
    cb::ComPtr<IStream> stream;
    cb::CreateStreamOnMemory({}, stream.put());
    auto writer = cb::ComPtr<RecordingWriter>::Adopt(new RecordingWriter);
    EXPECT_EQ(Failure(frame->Picture(picture.put())), kFreed);
    EXPECT_EQ(Failure(frame->Draw(dc.handle(), 0, 0, 0, 0)), kFreed);
    EXPECT_EQ(Failure(frame->SaveFile(Text(ScratchPath("gone.png")).get(), 0, -1, 0, 0, 0, 0)), kFreed);
    EXPECT_EQ(Failure(frame->SaveStream(stream.get(), FileFormatPNG, -1, 0, 0, 0, 0)), kFreed);
    EXPECT_EQ(Failure(frame->Write(writer.get(), VARIANT_TRUE)), kFreed);
    LONG index = 0;
    EXPECT_EQ(frame->get_Index(&index), S_OK);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(frame->EnableLZW(), S_OK);

    // The LZW checks of SaveFile and SaveStream come before the reader check.
    SetLzwEnabledForTesting(false);
    EXPECT_NE(Failure(frame->SaveFile(Text(ScratchPath("gone.gif")).get(), 0, -1, 0, 0, 0, 0)), kFreed);
    EXPECT_NE(Failure(frame->SaveStream(stream.get(), FileFormatGIF, -1, 0, 0, 0, 0)), kFreed);
    SetLzwEnabledForTesting(true);

    VARIANT item;
    ULONG fetched = 7;
    EXPECT_EQ(enumerator->Next(1, &item, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(enumerator->Skip(1), S_FALSE);
    EXPECT_EQ(enumerator->Reset(), S_FALSE);
    cb::ComPtr<IEnumVARIANT> copy;
    EXPECT_EQ(enumerator->Clone(copy.put()), S_FALSE);
    EXPECT_FALSE(copy);
}

}  // namespace
}  // namespace vidmill
