#include "reader/avi_frame_object.h"

#include "cbplatform/errorinfo.h"
#include "cbplatform/gdi.h"
#include "cbplatform/picture.h"
#include "cbplatform/stream.h"
#include "frame/lzw.h"
#include "imaging/encoder_parameters.h"
#include "imaging/image_encoder.h"
#include "imaging/image_formats.h"
#include "imaging/image_resize.h"
#include "reader/avi_reader_object.h"
#include "reader/output_over_source.h"

namespace vidmill {

void SaveFrameFile(TAviReader& reader, LONG index, const std::string& fileName,
                   const FrameImageSettings& settings) {
    reader::AviReaderEngine& engine = reader.engine();
    const cb::Bitmap& frame = engine.frameAt(index);
    const imaging::SaveTarget target = imaging::ResolveSaveTarget(fileName, settings.fileFormat);
    reader::RefuseOutputOverSource(engine.path(), target.fileName);
    const imaging::EncoderParameters parameters = imaging::BuildEncoderParameters(
        target.formatCode, settings.jpegQuality, settings.tiffCompression, settings.tiffColorDepth);
    // Resized when both sizes are given; otherwise the reader's own frame, not a copy of it.
    if (settings.width > 0 && settings.height > 0) {
        const cb::Bitmap resized = imaging::ResizeImage(frame, settings.width, settings.height);
        imaging::SaveImageFile(resized, target.fileName, target.formatCode, parameters);
    } else {
        imaging::SaveImageFile(frame, target.fileName, target.formatCode, parameters);
    }
}

TAviFrame::TAviFrame(ReaderLinkPtr link, LONG index)
    : AutoObject(Counting::Counted), link_(std::move(link)), index_(index) {}

TAviReader& TAviFrame::reader() const {
    if (!link_->reader) throw Error(kReaderFreedMessage);
    return *link_->reader;
}

HRESULT TAviFrame::Picture(IPicture** value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    return Guarded([&] {
        // Later reads of the reader do not change the picture: the reader decodes the next frame
        // into a bitmap of its own while a picture holds this one.
        *value = cb::CreatePicture(reader().engine().sharedFrameAt(index_)).detach();
    });
}

HRESULT TAviFrame::Draw(HDC DC, LONG X, LONG Y, LONG Width, LONG Height) {
    return Guarded([&] {
        reader::AviReaderEngine& engine = reader().engine();
        const cb::Bitmap& frame = engine.frameAt(index_);
        const reader::AviFileFacts& facts = engine.facts();
        const int width = Width <= 0 ? facts.width : Width;
        const int height = Height <= 0 ? facts.height : Height;
        cb::StretchDIBits(DC, X, Y, width, height, 0, 0, facts.width, facts.height, frame, cb::SRCCOPY);
    });
}

HRESULT TAviFrame::SaveFile(BSTR FileName, LONG FileFormat, LONG JpegQuality, LONG TiffCompression,
                            LONG TiffColorDepth, LONG Width, LONG Height) {
    return Guarded([&] {
        const std::string fileName = cb::BstrToUtf8(FileName);
        imaging::CheckLzwByExtension(fileName, TiffCompression);
        SaveFrameFile(
            reader(), index_, fileName,
            FrameImageSettings{FileFormat, JpegQuality, TiffCompression, TiffColorDepth, Width, Height});
    });
}

// Width and Height are part of the interface but a stream always gets the frame at its own size.
HRESULT TAviFrame::SaveStream(IUnknown* Stream, LONG FileFormat, LONG JpegQuality, LONG TiffCompression,
                              LONG TiffColorDepth, LONG, LONG) {
    return Guarded([&] {
        imaging::CheckLzwByFormat(FileFormat, TiffCompression);
        const cb::Bitmap& frame = reader().engine().frameAt(index_);
        const imaging::EncoderParameters parameters =
            imaging::BuildEncoderParameters(FileFormat, JpegQuality, TiffCompression, TiffColorDepth);
        imaging::FindImageFormat(FileFormat);
        cb::ComPtr<IStream> stream;
        if (!Stream || FAILED(Stream->QueryInterface(IStream::kIid, stream.putVoid())) || !stream)
            throw Error("Interface not supported");
        imaging::SaveImageStream(frame, *stream, FileFormat, parameters);
    });
}

HRESULT TAviFrame::Write(IAviWriter* Writer, VARIANT_BOOL Stretch) {
    return Guarded([&] {
        TAviReader& owner = reader();
        if (!Writer) throw Error("Parameter Write of WriteFrame method is empty");
        const cb::Bitmap& frame = owner.engine().frameAt(index_);
        cb::Bitmap& bitmap = owner.frameBitmap();
        cb::StretchBitmap(bitmap, {0, 0, bitmap.width(), bitmap.height()}, frame,
                          {0, 0, frame.width(), frame.height()});
        const cb::DeviceContext dc(bitmap);
        // Without stretching the writer copies its own frame size 1:1 from the top-left corner.
        const bool stretch = Stretch != VARIANT_FALSE;
        const HRESULT result =
            Writer->AddFrame(dc.handle(), 0, 0, stretch ? bitmap.width() : 0, stretch ? bitmap.height() : 0);
        if (FAILED(result)) throw Error(cb::TakeErrorDescription(), result);
    });
}

HRESULT TAviFrame::get_Index(LONG* value) { return Read(index_, value); }

HRESULT TAviFrame::EnableLZW() {
    vidmill::EnableLZW();
    return S_OK;
}

}  // namespace vidmill
