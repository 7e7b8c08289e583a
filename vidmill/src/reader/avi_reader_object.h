// TAviReader and its frames collection TAviFrames: the component shell of the reader engine.
#pragma once

#include <memory>

#include "cbplatform/bitmap.h"
#include "frame/object_base.h"
#include "reader/avi_reader_engine.h"
#include "reader/reader_link.h"

namespace vidmill {

class TAviReader;

// The frames of one reader, embedded in it: it lives exactly as long as the reader.
class TAviFrames final : public AutoObject<TAviFrames, IAviFrames> {
  public:
    explicit TAviFrames(TAviReader& reader);

    HRESULT get__NewEnum(IUnknown** value) override;
    HRESULT SaveSeq(LONG FrameStartIndex, LONG FrameCount, BSTR FileNamePrefix, BSTR FileNamePostfix,
                    LONG SequenceDigitCount, LONG SequenceStartNumber, LONG FileFormat, LONG JpegQuality,
                    LONG TiffCompression, LONG TiffColorDepth, LONG Width, LONG Height) override;
    HRESULT get_Item(LONG Index, IAviFrame** value) override;
    HRESULT get_Count(LONG* value) override;
    HRESULT EnableLZW() override;

  private:
    TAviReader& reader_;
};

class TAviReader final : public AutoObject<TAviReader, IAviReader> {
  public:
    explicit TAviReader(Counting counting);
    ~TAviReader() override;

    HRESULT ExtractWav(BSTR WavFileName) override;
    HRESULT Open(BSTR FileName) override;
    HRESULT Close() override;
    HRESULT get_Width(LONG* value) override;
    HRESULT get_Height(LONG* value) override;
    HRESULT get_CompressorHandler(LONG* value) override;
    HRESULT get_Quality(LONG* value) override;
    HRESULT get_FramesPerSecond(double* value) override;
    HRESULT get_BytesPerSecond(LONG* value) override;
    HRESULT get_IsOpen(VARIANT_BOOL* value) override;
    HRESULT get_Frames(IAviFrames** value) override;

    reader::AviReaderEngine& engine() { return engine_; }
    const ReaderLinkPtr& link() const { return link_; }
    // The frame count, or 0 while closed: for the enumerator, which does not check the mode.
    int frameCountOrZero() const;
    // FrameBitmap: a 32-bit bitmap of the file's frame size holding the frame last read for a
    // writer; made on first use, dropped by Close.
    cb::Bitmap& frameBitmap();

  private:
    template <typename T, typename Field>
    HRESULT GetFact(T* value, Field field);

    reader::AviReaderEngine engine_;
    ReaderLinkPtr link_;
    EmbeddedPtr<TAviFrames> frames_;
    std::unique_ptr<cb::Bitmap> frameBitmap_;
};

// A new AviReader with one reference, as its IDispatch.
IDispatch* NewAviReader(Counting counting);

}  // namespace vidmill
