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

}  // namespace

IDispatch* NewAviWriter(Counting counting) { return new PendingAviWriter(counting); }

}  // namespace vidmill
