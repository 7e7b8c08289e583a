// TAviWriter: the component shell of the AVI writer. Frames are composed here from device
// contexts, pictures, images, streams and other AVI files; writing them is the engine's.
#pragma once

#include <string>

#include "compressors/avi_compressors.h"
#include "frame/object_base.h"
#include "watermark/avi_watermark_object.h"
#include "watermark/cairo_owners.h"
#include "writer/avi_writer_engine.h"

namespace vidmill {

class TAviWriter final : public AutoObject<TAviWriter, IAviWriter>, private CompressorsLink {
  public:
    explicit TAviWriter(Counting counting);
    // Closes the file first; the compressor list handed out lives on without its link to us.
    ~TAviWriter() override;

    HRESULT CreateNew(BSTR FileName, LONG Width, LONG Height, HWND ParentWindow) override;
    HRESULT Close() override;
    HRESULT get_IsOpen(VARIANT_BOOL* value) override;
    HRESULT AddImage(BSTR FileName, VARIANT_BOOL Stretch) override;
    HRESULT AddPicture(IPicture* Picture, VARIANT_BOOL Stretch) override;
    HRESULT AddWav(BSTR FileName, VARIANT_BOOL CutWav) override;
    HRESULT get_Compressors(IAviCompressors** value) override;
    HRESULT get_CompressorHandler(LONG* value) override;
    HRESULT put_CompressorHandler(LONG value) override;
    HRESULT get_Quality(LONG* value) override;
    HRESULT put_Quality(LONG value) override;
    HRESULT get_ShowDialog(VARIANT_BOOL* value) override;
    HRESULT put_ShowDialog(VARIANT_BOOL value) override;
    HRESULT get_FramesPerSecond(double* value) override;
    HRESULT put_FramesPerSecond(double value) override;
    HRESULT get_KeyFrameRate(LONG* value) override;
    HRESULT put_KeyFrameRate(LONG value) override;
    HRESULT get_BytesPerSecond(LONG* value) override;
    HRESULT put_BytesPerSecond(LONG value) override;
    HRESULT AddFrame(HDC SourceDC, LONG SourceX, LONG SourceY, LONG SourceWidth, LONG SourceHeight) override;
    HRESULT AddImages(BSTR FileMask, VARIANT_BOOL Stretch, VARIANT_BOOL ReverseOrder) override;
    HRESULT AddAvi(BSTR FileName, VARIANT_BOOL Stretch, VARIANT_BOOL ReverseOrder,
                   VARIANT_BOOL AddSoundTrack) override;
    HRESULT AddStream(IUnknown* Stream, VARIANT_BOOL Stretch) override;
    HRESULT get_Watermark(IAviWatermark** value) override;
    HRESULT get_InterFrames(LONG* value) override;
    HRESULT put_InterFrames(LONG value) override;
    HRESULT EnableLZW() override;

    // The engine, for tests and for the frame objects that write into this writer.
    writer::AviWriterEngine& engine() { return engine_; }

  private:
    void CompressorsDestroyed() override { compressors_ = nullptr; }

    void addImageFile(const std::string& path, bool stretch);
    void writeImage(cairo_surface_t* image, bool stretch);
    void addFrame(HDC sourceDC, LONG sourceX, LONG sourceY, LONG sourceWidth, LONG sourceHeight);
    void addPicture(IPicture& picture, bool stretch);
    void addAvi(const std::string& fileName, bool stretch, bool reverseOrder);

    Counting counting_;
    writer::AviWriterEngine engine_;
    EmbeddedPtr<TAviWatermark> watermark_;
    // Not owned: the list lives as long as its holders do and clears this link when it goes.
    TAviCompressors* compressors_ = nullptr;
};

// A new AviWriter with one reference, as its IDispatch.
IDispatch* NewAviWriter(Counting counting);

}  // namespace vidmill
