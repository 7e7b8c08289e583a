// TAviFrame: one frame of a reader by index, as a picture, drawn on a device context, saved as an
// image file or into a stream, or appended to a writer.
#pragma once

#include <string>

#include "frame/object_base.h"
#include "reader/reader_link.h"

namespace vidmill {

// How a frame image is saved: FileFormat 0 (by extension) or 1..5, encoder settings, and the size
// it is resized to when both Width and Height are above 0.
struct FrameImageSettings {
    LONG fileFormat = 0;
    LONG jpegQuality = -1;
    LONG tiffCompression = 0;
    LONG tiffColorDepth = 0;
    LONG width = 0;
    LONG height = 0;
};

// SaveFile of frame `index` after its LZW check: the frame read, the format and name resolved, a
// name that is the file being read refused, the image resized and encoded. The file is written
// aside and takes the name only when complete: a failure leaves an existing file of that name.
void SaveFrameFile(TAviReader& reader, LONG index, const std::string& fileName,
                   const FrameImageSettings& settings);

class TAviFrame final : public AutoObject<TAviFrame, IAviFrame> {
  public:
    TAviFrame(ReaderLinkPtr link, LONG index);

    HRESULT Picture(IPicture** value) override;
    HRESULT Draw(HDC DC, LONG X, LONG Y, LONG Width, LONG Height) override;
    HRESULT SaveFile(BSTR FileName, LONG FileFormat, LONG JpegQuality, LONG TiffCompression,
                     LONG TiffColorDepth, LONG Width, LONG Height) override;
    HRESULT SaveStream(IUnknown* Stream, LONG FileFormat, LONG JpegQuality, LONG TiffCompression,
                       LONG TiffColorDepth, LONG Width, LONG Height) override;
    HRESULT Write(IAviWriter* Writer, VARIANT_BOOL Stretch) override;
    HRESULT get_Index(LONG* value) override;
    HRESULT EnableLZW() override;

  private:
    // The reader, or kReaderFreedMessage when it is gone.
    TAviReader& reader() const;

    ReaderLinkPtr link_;
    LONG index_;
};

}  // namespace vidmill
