#include "cbplatform/errorinfo.h"

#include <atomic>
#include <new>

#include "cbplatform/com_object.h"

namespace {

class ErrorInfo final : public cb::RefCountedObject<ErrorInfo, IErrorInfo, ICreateErrorInfo> {
  public:
    HRESULT GetGUID(GUID* guid) override {
        if (!guid) return E_POINTER;
        *guid = guid_;
        return S_OK;
    }
    HRESULT GetSource(BSTR* source) override { return Copy(source_, source); }
    HRESULT GetDescription(BSTR* description) override { return Copy(description_, description); }
    HRESULT GetHelpFile(BSTR* helpFile) override { return Copy(helpFile_, helpFile); }
    HRESULT GetHelpContext(DWORD* helpContext) override {
        if (!helpContext) return E_POINTER;
        *helpContext = helpContext_;
        return S_OK;
    }
    HRESULT SetGUID(REFIID guid) override {
        guid_ = guid;
        return S_OK;
    }
    HRESULT SetSource(const OLECHAR* source) override { return Assign(source, source_); }
    HRESULT SetDescription(const OLECHAR* description) override { return Assign(description, description_); }
    HRESULT SetHelpFile(const OLECHAR* helpFile) override { return Assign(helpFile, helpFile_); }
    HRESULT SetHelpContext(DWORD helpContext) override {
        helpContext_ = helpContext;
        return S_OK;
    }

  private:
    static HRESULT Copy(const std::u16string& text, BSTR* out) {
        if (!out) return E_POINTER;
        *out = SysAllocStringLen(text.data(), static_cast<unsigned int>(text.size()));
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    static HRESULT Assign(const OLECHAR* text, std::u16string& field) {
        field = text ? std::u16string(text) : std::u16string();
        return S_OK;
    }
    GUID guid_{};
    std::u16string source_, description_, helpFile_;
    DWORD helpContext_ = 0;
};

thread_local cb::ComPtr<IErrorInfo> currentError;

}  // namespace

extern "C" {

HRESULT CreateErrorInfo(ICreateErrorInfo** info) {
    if (!info) return E_POINTER;
    auto* created = new (std::nothrow) ErrorInfo();
    if (!created) return E_OUTOFMEMORY;
    *info = created;  // the new object starts with one reference
    return S_OK;
}

HRESULT SetErrorInfo(DWORD /*reserved*/, IErrorInfo* info) {
    currentError = cb::ComPtr<IErrorInfo>::Retain(info);
    return S_OK;
}

HRESULT GetErrorInfo(DWORD /*reserved*/, IErrorInfo** info) {
    if (!info) return E_POINTER;
    *info = currentError.detach();
    return *info ? S_OK : S_FALSE;
}
}

namespace cb {

std::string TakeErrorDescription() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info) return {};
    Bstr description;
    info->GetDescription(description.put());
    return description.utf8();
}

}  // namespace cb
