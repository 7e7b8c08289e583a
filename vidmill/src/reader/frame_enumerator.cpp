#include "reader/frame_enumerator.h"

#include "frame/server_counts.h"
#include "reader/avi_frame_object.h"
#include "reader/avi_reader_object.h"

namespace vidmill {

TAviFrameEnumerator::TAviFrameEnumerator(ReaderLinkPtr link, LONG position)
    : link_(std::move(link)), position_(position) {
    CountObject(true);
}

TAviFrameEnumerator::~TAviFrameEnumerator() { CountObject(false); }

HRESULT TAviFrameEnumerator::Next(ULONG count, VARIANT* items, ULONG* fetched) {
    ULONG delivered = 0;
    HRESULT result = S_FALSE;
    if (items && link_->reader) {
        const int frameCount = link_->reader->frameCountOrZero();
        result = S_OK;
        for (; delivered < count; ++delivered) {
            if (position_ > frameCount - 1) {
                result = S_FALSE;
                break;
            }
            VARIANT& item = items[delivered];
            VariantInit(&item);
            item.vt = VT_DISPATCH;
            item.pdispVal = static_cast<IAviFrame*>(new TAviFrame(link_, position_));
            ++position_;
        }
    }
    if (fetched) *fetched = delivered;
    return result;
}

HRESULT TAviFrameEnumerator::Skip(ULONG count) {
    if (!link_->reader) return S_FALSE;
    const long long target = static_cast<long long>(position_) + count;
    if (target >= link_->reader->frameCountOrZero()) return S_FALSE;
    position_ = static_cast<LONG>(target);
    return S_OK;
}

HRESULT TAviFrameEnumerator::Reset() {
    if (!link_->reader) return S_FALSE;
    position_ = 0;
    return S_OK;
}

HRESULT TAviFrameEnumerator::Clone(IEnumVARIANT** copy) {
    if (!copy) return E_POINTER;
    *copy = nullptr;
    if (!link_->reader) return S_FALSE;
    *copy = new TAviFrameEnumerator(link_, position_);
    return S_OK;
}

}  // namespace vidmill
