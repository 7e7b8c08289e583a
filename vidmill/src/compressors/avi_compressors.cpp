#include "compressors/avi_compressors.h"

namespace vidmill {

TAviCompressors::TAviCompressors(Counting counting, std::vector<compressors::CompressorInfo> list)
    : AutoObject(counting),
      cursor_(std::move(list)),
      current_(new TAviCompressor(TAviCompressor::InsideEnumeration{}, static_cast<IAviCompressors*>(this))) {
    showCurrent();
}

TAviCompressors::~TAviCompressors() {
    if (link_ != nullptr) link_->CompressorsDestroyed();
}

void TAviCompressors::showCurrent() { current_->describe(cursor_.current()); }

HRESULT TAviCompressors::Reset() {
    cursor_.reset();
    showCurrent();
    return S_OK;
}

HRESULT TAviCompressors::Next(VARIANT_BOOL* value) {
    if (value == nullptr) return E_POINTER;
    const bool valid = cursor_.next();
    showCurrent();
    *value = valid ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT TAviCompressors::get_Current(IAviCompressor** value) {
    return HandOut<IAviCompressor>(current_.get(), value);
}

HRESULT TAviCompressors::get__NewEnum(IUnknown** value) {
    return HandOut<IUnknown>(static_cast<IEnumVARIANT*>(this), value);
}

HRESULT TAviCompressors::Next(ULONG count, VARIANT* items, ULONG* fetched) {
    if (fetched != nullptr) *fetched = 0;
    if (items == nullptr || !cursor_.valid()) return S_FALSE;
    for (ULONG i = 0; i < count; ++i) {
        if (i > 0 && !cursor_.valid()) return S_FALSE;
        VariantInit(&items[i]);
        items[i].vt = VT_DISPATCH;
        items[i].pdispVal = static_cast<IAviCompressor*>(current_->copy());
        if (fetched != nullptr) ++*fetched;
        cursor_.next();
        showCurrent();
    }
    return S_OK;
}

HRESULT TAviCompressors::Skip(ULONG count) {
    for (ULONG i = 0; i < count; ++i) {
        const bool advanced = cursor_.next();
        showCurrent();
        if (!advanced) return S_FALSE;
    }
    return S_OK;
}

HRESULT TAviCompressors::Clone(IEnumVARIANT** copy) {
    if (copy == nullptr) return E_POINTER;
    auto* clone = new TAviCompressors(Counting::Counted, {});
    clone->cursor_ = cursor_;
    clone->showCurrent();
    *copy = static_cast<IEnumVARIANT*>(clone);
    return S_OK;
}

IDispatch* NewAviCompressors(Counting counting) { return new TAviCompressors(counting); }

}  // namespace vidmill
