#include "writer/avi_writer_object.h"

#include "cbplatform/errorinfo.h"
#include "cbplatform/gdi.h"
#include "cbplatform/stream.h"
#include "frame/lzw.h"
#include "imaging/encoder_parameters.h"
#include "reader/avi_reader_object.h"
#include "watermark/watermark_images.h"
#include "writer/image_frame.h"
#include "writer/image_mask.h"
#include "writer/source_rectangles.h"

namespace vidmill {
namespace {

bool IsTrue(VARIANT_BOOL value) { return value != VARIANT_FALSE; }
VARIANT_BOOL AsVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// Passes on the failure of a call into another component object, with its message.
void Require(HRESULT result) {
    if (FAILED(result)) throw Error(cb::TakeErrorDescription(), result);
}

}  // namespace

TAviWriter::TAviWriter(Counting counting) : AutoObject(counting), counting_(counting) {
    engine_.setFrameOverlay([this](cb::Bitmap& frame, int frameCounter, double framesPerSecond) {
        if (watermark_ && !watermark_->items().empty())
            watermark_->items().draw(frame, frameCounter, framesPerSecond);
    });
}

TAviWriter::~TAviWriter() {
    if (compressors_ != nullptr) compressors_->setLink(nullptr);
    try {
        engine_.close();
    } catch (const Error&) {
        // Destruction cannot report; callers that care call Close first.
    }
}

HRESULT TAviWriter::CreateNew(BSTR FileName, LONG Width, LONG Height, HWND ParentWindow) {
    return Guarded([&] { engine_.createNew(cb::BstrToUtf8(FileName), Width, Height, ParentWindow); });
}

HRESULT TAviWriter::Close() {
    return Guarded([&] { engine_.close(); });
}

HRESULT TAviWriter::get_IsOpen(VARIANT_BOOL* value) { return ReadFlag(engine_.isOpen(), value); }

void TAviWriter::writeImage(cairo_surface_t* image, bool stretch) {
    writer::ComposeImageFrame(engine_.frameBitmap(), image,
                              stretch ? writer::ImagePlacement::Stretch : writer::ImagePlacement::OwnSize);
    engine_.writeCurrentFrame();
}

void TAviWriter::addImageFile(const std::string& path, bool stretch) {
    engine_.frameBitmap();  // the writing-mode check comes first
    imaging::CheckLzwByExtension(path, 0);
    const watermark::SurfacePtr image = watermark::LoadImageSurface(path);
    writeImage(image.get(), stretch);
}

HRESULT TAviWriter::AddImage(BSTR FileName, VARIANT_BOOL Stretch) {
    return Guarded([&] { addImageFile(cb::BstrToUtf8(FileName), IsTrue(Stretch)); });
}

HRESULT TAviWriter::AddImages(BSTR FileMask, VARIANT_BOOL Stretch, VARIANT_BOOL ReverseOrder) {
    return Guarded([&] {
        const auto order =
            IsTrue(ReverseOrder) ? writer::NameOrder::Descending : writer::NameOrder::Ascending;
        for (const auto& path : writer::MatchingImageFiles(cb::BstrToUtf8(FileMask), order))
            addImageFile(path, IsTrue(Stretch));
    });
}

HRESULT TAviWriter::AddStream(IUnknown* Stream, VARIANT_BOOL Stretch) {
    return Guarded([&] {
        engine_.frameBitmap();
        // A missing or unreadable stream leaves a black frame, as an image that cannot be loaded does.
        std::vector<std::uint8_t> bytes;
        cb::ComPtr<IStream> stream;
        if (Stream != nullptr && SUCCEEDED(Stream->QueryInterface(IStream::kIid, stream.putVoid())))
            cb::ReadWholeStream(stream.get(), bytes);
        const watermark::SurfacePtr image = watermark::LoadImageSurface(bytes);
        writeImage(image.get(), IsTrue(Stretch));
    });
}

// The picture is drawn over what the frame held before: a picture with transparent parts lets
// the previous frame show through.
void TAviWriter::addPicture(IPicture& picture, bool stretch) {
    cb::Bitmap& frame = engine_.frameBitmap();
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (stretch) {
        Require(picture.get_Width(&width));
        Require(picture.get_Height(&height));
    }
    const writer::PictureSource source =
        writer::PictureSourceFor(stretch, width, height, frame.width(), frame.height());
    const cb::DeviceContext dc(frame);
    Require(picture.Render(dc.handle(), 0, 0, frame.width(), frame.height(), source.x, source.y, source.width,
                           source.height, nullptr));
    engine_.writeCurrentFrame();
}

HRESULT TAviWriter::AddPicture(IPicture* Picture, VARIANT_BOOL Stretch) {
    return Guarded([&] {
        engine_.frameBitmap();
        if (Picture == nullptr) throw Error("Picture parameter of AddPicture method is empty");
        addPicture(*Picture, IsTrue(Stretch));
    });
}

void TAviWriter::addFrame(HDC sourceDC, LONG sourceX, LONG sourceY, LONG sourceWidth, LONG sourceHeight) {
    cb::Bitmap& frame = engine_.frameBitmap();
    if (cb::BitmapOfDC(sourceDC) == nullptr) throw Error("Invalid SourceHDC parameter of AddFrame method");
    const writer::DeviceSource source =
        writer::DeviceSourceFor(sourceX, sourceY, sourceWidth, sourceHeight, frame.width(), frame.height());
    const cb::DeviceContext dc(frame);
    const int previousMode = cb::SetStretchBltMode(dc.handle(), cb::HALFTONE);
    cb::StretchBlt(dc.handle(), 0, 0, frame.width(), frame.height(), sourceDC, source.x, source.y,
                   source.width, source.height, cb::SRCCOPY);
    cb::SetStretchBltMode(dc.handle(), previousMode);
    engine_.writeCurrentFrame();
}

HRESULT TAviWriter::AddFrame(HDC SourceDC, LONG SourceX, LONG SourceY, LONG SourceWidth, LONG SourceHeight) {
    return Guarded([&] { addFrame(SourceDC, SourceX, SourceY, SourceWidth, SourceHeight); });
}

// Every frame of the file goes through its frame object's Write, as any caller's would.
void TAviWriter::addAvi(const std::string& fileName, bool stretch, bool reverseOrder) {
    const auto reader = cb::ComPtr<IDispatch>::Adopt(NewAviReader(Counting::NotCounted)).as<IAviReader>();
    const cb::Bstr name(fileName);
    Require(reader->Open(name.get()));
    cb::ComPtr<IAviFrames> frames;
    Require(reader->get_Frames(frames.put()));
    LONG count = 0;
    Require(frames->get_Count(&count));
    for (LONG step = 0; step < count; ++step) {
        cb::ComPtr<IAviFrame> frame;
        Require(frames->get_Item(reverseOrder ? count - 1 - step : step, frame.put()));
        Require(frame->Write(this, AsVariantBool(stretch)));
    }
}

HRESULT TAviWriter::AddAvi(BSTR FileName, VARIANT_BOOL Stretch, VARIANT_BOOL ReverseOrder,
                           VARIANT_BOOL AddSoundTrack) {
    return Guarded([&] {
        engine_.frameBitmap();
        const std::string fileName = cb::BstrToUtf8(FileName);
        addAvi(fileName, IsTrue(Stretch), IsTrue(ReverseOrder));
        if (IsTrue(AddSoundTrack)) engine_.addWav(fileName, true);
    });
}

HRESULT TAviWriter::AddWav(BSTR FileName, VARIANT_BOOL CutWav) {
    return Guarded([&] { engine_.addWav(cb::BstrToUtf8(FileName), IsTrue(CutWav)); });
}

HRESULT TAviWriter::get_Compressors(IAviCompressors** value) {
    if (value == nullptr) return E_POINTER;
    return Guarded([&] {
        if (compressors_ != nullptr) {
            HandOut<IAviCompressors>(compressors_, value);
            return;
        }
        // The caller gets the one reference: the list goes with its last holder.
        auto* made = static_cast<TAviCompressors*>(NewAviCompressors(counting_));
        made->setLink(this);
        compressors_ = made;
        *value = made;
    });
}

HRESULT TAviWriter::get_Watermark(IAviWatermark** value) {
    if (value == nullptr) return E_POINTER;
    return Guarded([&] {
        if (!watermark_) watermark_.reset(new TAviWatermark(static_cast<IAviWriter*>(this)));
        HandOut<IAviWatermark>(watermark_.get(), value);
    });
}

HRESULT TAviWriter::get_CompressorHandler(LONG* value) {
    return Read(static_cast<LONG>(engine_.properties().compressorHandler()), value);
}
HRESULT TAviWriter::put_CompressorHandler(LONG value) {
    engine_.properties().setCompressorHandler(static_cast<std::uint32_t>(value));
    return S_OK;
}
HRESULT TAviWriter::get_Quality(LONG* value) {
    return Read(static_cast<LONG>(engine_.properties().quality()), value);
}
HRESULT TAviWriter::put_Quality(LONG value) {
    engine_.properties().setQuality(value);
    return S_OK;
}
HRESULT TAviWriter::get_ShowDialog(VARIANT_BOOL* value) {
    return ReadFlag(engine_.properties().showDialog(), value);
}
HRESULT TAviWriter::put_ShowDialog(VARIANT_BOOL value) {
    engine_.properties().setShowDialog(IsTrue(value));
    return S_OK;
}
HRESULT TAviWriter::get_FramesPerSecond(double* value) {
    return Read(engine_.properties().framesPerSecond(), value);
}
HRESULT TAviWriter::put_FramesPerSecond(double value) {
    engine_.properties().setFramesPerSecond(value);
    return S_OK;
}
HRESULT TAviWriter::get_KeyFrameRate(LONG* value) {
    return Read(static_cast<LONG>(engine_.properties().keyFrameRate()), value);
}
HRESULT TAviWriter::put_KeyFrameRate(LONG value) {
    engine_.properties().setKeyFrameRate(value);
    return S_OK;
}
HRESULT TAviWriter::get_BytesPerSecond(LONG* value) {
    return Read(static_cast<LONG>(engine_.properties().bytesPerSecond()), value);
}
HRESULT TAviWriter::put_BytesPerSecond(LONG value) {
    engine_.properties().setBytesPerSecond(value);
    return S_OK;
}
HRESULT TAviWriter::get_InterFrames(LONG* value) {
    return Read(static_cast<LONG>(engine_.properties().interFrames()), value);
}
HRESULT TAviWriter::put_InterFrames(LONG value) {
    engine_.properties().setInterFrames(value, engine_.isOpen());
    return S_OK;
}

HRESULT TAviWriter::EnableLZW() {
    vidmill::EnableLZW();
    return S_OK;
}

IDispatch* NewAviWriter(Counting counting) { return new TAviWriter(counting); }

}  // namespace vidmill
