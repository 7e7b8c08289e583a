#include "frame/guard.h"

#include "cbplatform/bstr.h"
#include "cbplatform/errorinfo.h"

namespace vidmill {

HRESULT ReportError(REFIID iid, const char* progId, const std::string& message, HRESULT platformCode) {
    try {
        cb::ComPtr<ICreateErrorInfo> created;
        if (FAILED(CreateErrorInfo(created.put())) || !created) return E_UNEXPECTED;
        created->SetGUID(iid);
        const std::u16string source = cb::Utf8ToUtf16(progId ? progId : "");
        const std::u16string description = cb::Utf8ToUtf16(message);
        created->SetSource(source.c_str());
        created->SetDescription(description.c_str());
        created->SetHelpContext(0);
        cb::ComPtr<IErrorInfo> info = created.as<IErrorInfo>();
        SetErrorInfo(0, info.get());
    } catch (...) {
        return E_UNEXPECTED;
    }
    return platformCode < 0 ? platformCode : E_UNEXPECTED;
}

}  // namespace vidmill
