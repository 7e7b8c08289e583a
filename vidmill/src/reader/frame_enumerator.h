// TAviFrameEnumerator: IEnumVARIANT over the frames of a reader, handing out a new AviFrame per
// position. Once the reader is gone every call answers S_FALSE.
#pragma once

#include "cbplatform/com_object.h"
#include "reader/reader_link.h"

namespace vidmill {

class TAviFrameEnumerator final : public cb::RefCountedObject<TAviFrameEnumerator, IEnumVARIANT> {
  public:
    TAviFrameEnumerator(ReaderLinkPtr link, LONG position);
    ~TAviFrameEnumerator() override;

    HRESULT Next(ULONG count, VARIANT* items, ULONG* fetched) override;
    HRESULT Skip(ULONG count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumVARIANT** copy) override;

  private:
    ReaderLinkPtr link_;
    LONG position_;
};

}  // namespace vidmill
