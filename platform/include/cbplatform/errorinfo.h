// Error information: a record of what failed (interface, source, description) kept per thread,
// so a caller that gets a failure code can read the message text.
#pragma once

#include "cbplatform/bstr.h"
#include "cbplatform/com_types.h"

struct IErrorInfo : IUnknown {
    static constexpr IID kIid = cb::MakeGuid("{1CF2B120-547D-101B-8E65-08002B2BD119}");
    virtual HRESULT GetGUID(GUID* guid) = 0;
    virtual HRESULT GetSource(BSTR* source) = 0;
    virtual HRESULT GetDescription(BSTR* description) = 0;
    virtual HRESULT GetHelpFile(BSTR* helpFile) = 0;
    virtual HRESULT GetHelpContext(DWORD* helpContext) = 0;

  protected:
    ~IErrorInfo() = default;
};

struct ICreateErrorInfo : IUnknown {
    static constexpr IID kIid = cb::MakeGuid("{22F03340-547D-101B-8E65-08002B2BD119}");
    virtual HRESULT SetGUID(REFIID guid) = 0;
    virtual HRESULT SetSource(const OLECHAR* source) = 0;
    virtual HRESULT SetDescription(const OLECHAR* description) = 0;
    virtual HRESULT SetHelpFile(const OLECHAR* helpFile) = 0;
    virtual HRESULT SetHelpContext(DWORD helpContext) = 0;

  protected:
    ~ICreateErrorInfo() = default;
};

extern "C" {
CB_PLATFORM_API HRESULT CreateErrorInfo(ICreateErrorInfo** info);
// Makes info the calling thread's current error information (null clears it).
CB_PLATFORM_API HRESULT SetErrorInfo(DWORD reserved, IErrorInfo* info);
// Hands over the thread's current error information and clears it; S_FALSE when there is none.
CB_PLATFORM_API HRESULT GetErrorInfo(DWORD reserved, IErrorInfo** info);
}

namespace cb {
// The description of the thread's current error information (taking it), or empty.
CB_PLATFORM_API std::string TakeErrorDescription();
}  // namespace cb
