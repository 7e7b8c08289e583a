// TAviCompressor: the description of one video compressor. Free-standing, it describes the
// compressor whose Handler the caller sets; embedded in an AviCompressors enumeration, it is the
// enumeration's Current entry and follows its position.
#pragma once

#include "compressors/compressor_catalog.h"
#include "frame/object_base.h"

namespace vidmill {

class TAviCompressor final : public AutoObject<TAviCompressor, IAviCompressor> {
  public:
    // A free-standing compressor: invalid, Handler 0, until Handler is set.
    explicit TAviCompressor(Counting counting);
    // The Current entry of an enumeration: enumeration is the controlling parent's IUnknown.
    struct InsideEnumeration {};
    TAviCompressor(InsideEnumeration, IUnknown* enumeration);

    // Describes entry (copying every field), or nothing at all (invalid) for null.
    void describe(const compressors::CompressorInfo* entry);
    // A new free-standing compressor with a copy of every field of this one.
    TAviCompressor* copy() const;

    HRESULT get_IsValid(VARIANT_BOOL* value) override;
    HRESULT get_Name(BSTR* value) override;
    HRESULT get_Description(BSTR* value) override;
    HRESULT get_Driver(BSTR* value) override;
    HRESULT get_Version(LONG* value) override;
    HRESULT get_SupportsQuality(VARIANT_BOOL* value) override;
    HRESULT get_SupportsAbout(VARIANT_BOOL* value) override;
    HRESULT get_SupportsDraw(VARIANT_BOOL* value) override;
    // Put: fails on an enumeration's entry with the text below; otherwise looks the compressor up
    // by its code, and IsValid then tells whether it is installed.
    HRESULT get_Handler(LONG* value) override;
    HRESULT put_Handler(LONG value) override;
    // No compressor here has an about box: false.
    HRESULT About(HWND ParentWindow, VARIANT_BOOL* value) override;
    HRESULT get_DefaultKeyFrameRate(LONG* value) override;
    HRESULT get_DefaultQuality(LONG* value) override;
    HRESULT get_SupportsWriting(VARIANT_BOOL* value) override;
    HRESULT CheckFrameSize(LONG Width, LONG Height) override;

  private:
    bool insideEnumeration_ = false;
    bool valid_ = false;
    compressors::CompressorInfo info_;
};

inline constexpr char kHandlerInsideEnumeration[] =
    "Cannot set handler for AviCompressor inside AviCompressor enumeration. Create standalone AviCompressor "
    "object and set Handler property";

// A new free-standing AviCompressor with one reference, as its IDispatch.
IDispatch* NewAviCompressor(Counting counting);

}  // namespace vidmill
