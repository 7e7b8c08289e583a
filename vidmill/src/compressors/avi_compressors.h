// TAviCompressors: the installed video compressors, one at a time through its embedded Current
// entry, and its own IEnumVARIANT that hands out free-standing copies of the entries. The
// enumeration and its IEnumVARIANT share one position.
#pragma once

#include <vector>

#include "compressors/avi_compressor.h"
#include "compressors/compressor_cursor.h"
#include "frame/object_base.h"

namespace vidmill {

// Whoever keeps a non-owning link to an enumeration (the writer that handed it out) hears here
// when the enumeration goes.
class CompressorsLink {
  public:
    virtual void CompressorsDestroyed() = 0;

  protected:
    ~CompressorsLink() = default;
};

class TAviCompressors final : public AutoObject<TAviCompressors, IAviCompressors, IEnumVARIANT> {
  public:
    // Positioned at the first entry of list (the installed compressors unless a test gives its own).
    explicit TAviCompressors(Counting counting, std::vector<compressors::CompressorInfo> list =
                                                    compressors::InstalledCompressors());
    ~TAviCompressors() override;

    // Sets or (with null, when the linked object goes first) clears the link.
    void setLink(CompressorsLink* link) { link_ = link; }

    // IAviCompressors
    HRESULT Reset() override;
    HRESULT Next(VARIANT_BOOL* value) override;
    HRESULT get_Current(IAviCompressor** value) override;
    HRESULT get__NewEnum(IUnknown** value) override;

    // IEnumVARIANT: Next stores free-standing copies of the entries as dispatch variants.
    HRESULT Next(ULONG count, VARIANT* items, ULONG* fetched) override;
    HRESULT Skip(ULONG count) override;
    HRESULT Clone(IEnumVARIANT** copy) override;

  private:
    // After the cursor moved: the Current entry describes where it stands.
    void showCurrent();

    compressors::CompressorCursor cursor_;
    EmbeddedPtr<TAviCompressor> current_;
    CompressorsLink* link_ = nullptr;
};

// A new AviCompressors with one reference, as its IDispatch.
IDispatch* NewAviCompressors(Counting counting);

}  // namespace vidmill
