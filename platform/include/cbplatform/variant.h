// The VARIANT subset the library's late-bound interfaces use, and IDispatch with its call records.
#pragma once

#include <cstdint>

#include "cbplatform/bstr.h"
#include "cbplatform/com_types.h"

using VARTYPE = std::uint16_t;
using DISPID = std::int32_t;
using LCID = std::uint32_t;
using WORD = std::uint16_t;
using UINT = unsigned int;
using SCODE = std::int32_t;

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_UI1 = 17,
    VT_BYREF = 0x4000,
};

struct IDispatch;

struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    std::uint16_t reserved1 = 0, reserved2 = 0, reserved3 = 0;
    union {
        std::int64_t llVal = 0;  // widest member first so a zeroed variant is all zero
        LONG lVal;
        std::int16_t iVal;
        std::uint8_t bVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        VARIANT* pvarVal;  // with VT_BYREF | VT_VARIANT
        LONG* plVal;
        double* pdblVal;
        BSTR* pbstrVal;
        VARIANT_BOOL* pboolVal;
    };
};
static_assert(sizeof(VARIANT) == 16);
using VARIANTARG = VARIANT;

extern "C" {
CB_PLATFORM_API void VariantInit(VARIANT* v);
// Releases what the variant holds (text, interface) and makes it empty.
CB_PLATFORM_API HRESULT VariantClear(VARIANT* v);
// Deep copy: texts are duplicated, interfaces get a reference.
CB_PLATFORM_API HRESULT VariantCopy(VARIANT* dest, const VARIANT* source);
// Converts among the numeric types, booleans (-1/0), texts and interfaces. By-reference
// sources are read through. DISP_E_TYPEMISMATCH when there is no sensible conversion.
CB_PLATFORM_API HRESULT VariantChangeType(VARIANT* dest, const VARIANT* source, WORD flags, VARTYPE type);
}

struct DISPPARAMS {
    VARIANTARG* rgvarg = nullptr;  // arguments in reverse order: the last argument first
    DISPID* rgdispidNamedArgs = nullptr;
    UINT cArgs = 0;
    UINT cNamedArgs = 0;
};

struct EXCEPINFO {
    WORD wCode = 0;
    WORD wReserved = 0;
    BSTR bstrSource = nullptr;
    BSTR bstrDescription = nullptr;
    BSTR bstrHelpFile = nullptr;
    DWORD dwHelpContext = 0;
    void* pvReserved = nullptr;
    void* pfnDeferredFillIn = nullptr;
    SCODE scode = 0;
};

constexpr WORD DISPATCH_METHOD = 1;
constexpr WORD DISPATCH_PROPERTYGET = 2;
constexpr WORD DISPATCH_PROPERTYPUT = 4;
constexpr WORD DISPATCH_PROPERTYPUTREF = 8;
constexpr DISPID DISPID_VALUE = 0;
constexpr DISPID DISPID_UNKNOWN = -1;
constexpr DISPID DISPID_PROPERTYPUT = -3;
constexpr DISPID DISPID_NEWENUM = -4;

struct ITypeInfo;

struct IDispatch : IUnknown {
    static constexpr IID kIid = cb::MakeGuid("{00020400-0000-0000-C000-000000000046}");
    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) = 0;
    virtual HRESULT GetIDsOfNames(REFIID reserved, OLECHAR** names, UINT nameCount, LCID locale,
                                  DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID member, REFIID reserved, LCID locale, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argumentError) = 0;

  protected:
    ~IDispatch() = default;
};

struct IEnumVARIANT : IUnknown {
    static constexpr IID kIid = cb::MakeGuid("{00020404-0000-0000-C000-000000000046}");
    virtual HRESULT Next(ULONG count, VARIANT* items, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumVARIANT** copy) = 0;

  protected:
    ~IEnumVARIANT() = default;
};

namespace cb {

// Owns one VARIANT's contents.
class Variant {
  public:
    Variant() { VariantInit(&v_); }
    Variant(const Variant& other) {
        VariantInit(&v_);
        VariantCopy(&v_, &other.v_);
    }
    Variant& operator=(const Variant& other) {
        if (this != &other) VariantCopy(&v_, &other.v_);
        return *this;
    }
    ~Variant() { VariantClear(&v_); }
    static Variant Long(LONG value) {
        Variant v;
        v.v_.vt = VT_I4;
        v.v_.lVal = value;
        return v;
    }
    static Variant Double(double value) {
        Variant v;
        v.v_.vt = VT_R8;
        v.v_.dblVal = value;
        return v;
    }
    static Variant Single(float value) {
        Variant v;
        v.v_.vt = VT_R4;
        v.v_.fltVal = value;
        return v;
    }
    static Variant Bool(bool value) {
        Variant v;
        v.v_.vt = VT_BOOL;
        v.v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        return v;
    }
    static Variant Text(std::string_view utf8) {
        Variant v;
        v.v_.vt = VT_BSTR;
        v.v_.bstrVal = AllocBstr(utf8);
        return v;
    }
    // An omitted optional argument, as late-bound callers pass it.
    static Variant Missing() {
        Variant v;
        v.v_.vt = VT_ERROR;
        v.v_.scode = DISP_E_PARAMNOTFOUND;
        return v;
    }
    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }
    VARIANT* operator&() = delete;

  private:
    VARIANT v_;
};

}  // namespace cb
