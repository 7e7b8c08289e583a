#include "compressors/avi_compressor.h"

#include "compressors/frame_size_check.h"

namespace vidmill {
namespace {

HRESULT ReadText(const std::string& text, BSTR* out) {
    if (out == nullptr) return E_POINTER;
    *out = cb::AllocBstr(text);
    return *out == nullptr ? E_OUTOFMEMORY : S_OK;
}

}  // namespace

TAviCompressor::TAviCompressor(Counting counting) : AutoObject(counting) {}

TAviCompressor::TAviCompressor(InsideEnumeration, IUnknown* enumeration)
    : AutoObject(Counting::Embedded, enumeration), insideEnumeration_(true) {}

void TAviCompressor::describe(const compressors::CompressorInfo* entry) {
    valid_ = entry != nullptr;
    info_ = valid_ ? *entry : compressors::CompressorInfo{};
}

TAviCompressor* TAviCompressor::copy() const {
    auto* copied = new TAviCompressor(Counting::Counted);
    copied->valid_ = valid_;
    copied->info_ = info_;
    return copied;
}

HRESULT TAviCompressor::get_IsValid(VARIANT_BOOL* value) { return ReadFlag(valid_, value); }
HRESULT TAviCompressor::get_Name(BSTR* value) { return ReadText(info_.name, value); }
HRESULT TAviCompressor::get_Description(BSTR* value) { return ReadText(info_.description, value); }
HRESULT TAviCompressor::get_Driver(BSTR* value) { return ReadText(info_.driver, value); }
HRESULT TAviCompressor::get_Version(LONG* value) { return Read<LONG>(info_.version, value); }
HRESULT TAviCompressor::get_SupportsQuality(VARIANT_BOOL* value) {
    return ReadFlag(info_.supportsQuality, value);
}
HRESULT TAviCompressor::get_SupportsAbout(VARIANT_BOOL* value) {
    return ReadFlag(info_.supportsAbout, value);
}
HRESULT TAviCompressor::get_SupportsDraw(VARIANT_BOOL* value) { return ReadFlag(info_.supportsDraw, value); }
HRESULT TAviCompressor::get_Handler(LONG* value) { return Read(static_cast<LONG>(info_.handler), value); }
// Opening an encoder takes time, so the check runs when a caller asks (once per handler).
HRESULT TAviCompressor::get_SupportsWriting(VARIANT_BOOL* value) {
    return ReadFlag(valid_ && compressors::SupportsWriting(info_), value);
}

HRESULT TAviCompressor::CheckFrameSize(LONG Width, LONG Height) {
    return Guarded([&] {
        if (!valid_) throw Error("No installed compressor has this handler code");
        const compressors::FrameSizeCheck check = compressors::CheckFrameSize(info_.handler, Width, Height);
        if (check.verdict != compressors::SizeVerdict::Writes) throw Error(check.message);
    });
}

HRESULT TAviCompressor::put_Handler(LONG value) {
    return Guarded([&] {
        if (insideEnumeration_) throw Error(kHandlerInsideEnumeration);
        describe(compressors::FindCompressor(static_cast<std::uint32_t>(value)));
    });
}

HRESULT TAviCompressor::About(HWND, VARIANT_BOOL* value) { return ReadFlag(false, value); }

HRESULT TAviCompressor::get_DefaultKeyFrameRate(LONG* value) {
    const compressors::CompressorInfo* entry = compressors::FindCompressor(info_.handler);
    return Read<LONG>(entry != nullptr ? compressors::DefaultKeyFrameRate(*entry) : 0, value);
}

HRESULT TAviCompressor::get_DefaultQuality(LONG* value) {
    const compressors::CompressorInfo* entry = compressors::FindCompressor(info_.handler);
    return Read<LONG>(entry != nullptr ? compressors::DefaultQuality(*entry) : 0, value);
}

IDispatch* NewAviCompressor(Counting counting) { return new TAviCompressor(counting); }

}  // namespace vidmill
