// Objects whose members are not built yet: every member reports "Not implemented yet" with
// E_NOTIMPL. Each class leaves this file when its real implementation arrives.
#include <algorithm>

#include "frame/class_table.h"

namespace vidmill {

namespace {
// Its settings are kept already, so that the writer can be configured and read back.
class PendingAviWriter final : public AutoObject<PendingAviWriter, IAviWriter> {
public:
    explicit PendingAviWriter(Counting counting) : AutoObject(counting) {}
    HRESULT CreateNew(BSTR, LONG, LONG, HWND) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT Close() override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_IsOpen(VARIANT_BOOL* value) override { return Get(VARIANT_BOOL{VARIANT_FALSE}, value); }
    HRESULT AddImage(BSTR, VARIANT_BOOL) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT AddPicture(IPicture*, VARIANT_BOOL) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT AddWav(BSTR, VARIANT_BOOL) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_Compressors(IAviCompressors**) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_CompressorHandler(LONG* value) override { return Get(handler_, value); }
    HRESULT put_CompressorHandler(LONG value) override { handler_ = value; return S_OK; }
    HRESULT get_Quality(LONG* value) override { return Get(quality_, value); }
    HRESULT put_Quality(LONG value) override {
        quality_ = std::clamp<LONG>(value, 0, 10000);
        return S_OK;
    }
    HRESULT get_ShowDialog(VARIANT_BOOL* value) override { return Get(showDialog_, value); }
    HRESULT put_ShowDialog(VARIANT_BOOL value) override { showDialog_ = value; return S_OK; }
    HRESULT get_FramesPerSecond(double* value) override { return Get(framesPerSecond_, value); }
    HRESULT put_FramesPerSecond(double value) override { framesPerSecond_ = value < 0 ? 0 : value; return S_OK; }
    HRESULT get_KeyFrameRate(LONG*) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT put_KeyFrameRate(LONG) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_BytesPerSecond(LONG*) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT put_BytesPerSecond(LONG) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT AddFrame(HDC, LONG, LONG, LONG, LONG) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT AddImages(BSTR, VARIANT_BOOL, VARIANT_BOOL) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT AddAvi(BSTR, VARIANT_BOOL, VARIANT_BOOL, VARIANT_BOOL) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT AddStream(IUnknown*, VARIANT_BOOL) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_Watermark(IAviWatermark**) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_InterFrames(LONG*) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT put_InterFrames(LONG) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT EnableLZW() override { return Guarded([] { NotBuiltYet(); }); }

private:
    template <typename T>
    static HRESULT Get(T value, T* out) {
        if (!out) return E_POINTER;
        *out = value;
        return S_OK;
    }
    LONG handler_ = MsVideo1Compressor;
    LONG quality_ = 7000;
    VARIANT_BOOL showDialog_ = VARIANT_FALSE;
    double framesPerSecond_ = 25.0;
};

class PendingAviCompressors final : public AutoObject<PendingAviCompressors, IAviCompressors> {
public:
    explicit PendingAviCompressors(Counting counting) : AutoObject(counting) {}
    HRESULT Reset() override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT Next(VARIANT_BOOL*) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_Current(IAviCompressor**) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get__NewEnum(IUnknown**) override { return Guarded([] { NotBuiltYet(); }); }
};

class PendingAviCompressor final : public AutoObject<PendingAviCompressor, IAviCompressor> {
public:
    explicit PendingAviCompressor(Counting counting) : AutoObject(counting) {}
    HRESULT get_IsValid(VARIANT_BOOL*) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_Name(BSTR*) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_Description(BSTR*) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_Driver(BSTR*) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_Version(LONG*) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_SupportsQuality(VARIANT_BOOL*) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_SupportsAbout(VARIANT_BOOL*) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_SupportsDraw(VARIANT_BOOL*) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_Handler(LONG*) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT put_Handler(LONG) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT About(HWND, VARIANT_BOOL*) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_DefaultKeyFrameRate(LONG*) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_DefaultQuality(LONG*) override { return Guarded([] { NotBuiltYet(); }); }
    HRESULT get_SupportsWriting(VARIANT_BOOL*) override { return Guarded([] { NotBuiltYet(); }); }
};

}  // namespace

IDispatch* NewAviWriter(Counting counting) { return new PendingAviWriter(counting); }
IDispatch* NewAviCompressors(Counting counting) { return new PendingAviCompressors(counting); }
IDispatch* NewAviCompressor(Counting counting) { return new PendingAviCompressor(counting); }

}  // namespace vidmill
