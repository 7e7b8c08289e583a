#include "cbplatform/variant.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

const VARIANT& ReadThrough(const VARIANT& v) {
    if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal) return *v.pvarVal;
    return v;
}

// Numeric value of a scalar variant; false when it is not numeric.
bool NumberOf(const VARIANT& v, double& out) {
    switch (v.vt) {
        case VT_EMPTY:
            out = 0;
            return true;
        case VT_I2:
            out = v.iVal;
            return true;
        case VT_I4:
            out = v.lVal;
            return true;
        case VT_UI1:
            out = v.bVal;
            return true;
        case VT_R4:
            out = v.fltVal;
            return true;
        case VT_R8:
            out = v.dblVal;
            return true;
        case VT_BOOL:
            out = v.boolVal ? -1 : 0;
            return true;
        case VT_BYREF | VT_I4:
            out = *v.plVal;
            return true;
        case VT_BYREF | VT_R8:
            out = *v.pdblVal;
            return true;
        case VT_BYREF | VT_BOOL:
            out = *v.pboolVal ? -1 : 0;
            return true;
        case VT_BSTR: {
            const std::string text = cb::BstrToUtf8(v.bstrVal);
            if (text.empty()) return false;
            char* end = nullptr;
            errno = 0;
            out = std::strtod(text.c_str(), &end);
            while (end && *end == ' ') ++end;
            return errno == 0 && end && *end == 0;
        }
        default:
            return false;
    }
}

// Whole numbers from floating point round half to even, as the platform converts.
bool ToWhole(double value, double low, double high, std::int64_t& out) {
    if (!std::isfinite(value)) return false;
    const double rounded = std::nearbyint(value);
    if (rounded < low || rounded > high) return false;
    out = static_cast<std::int64_t>(rounded);
    return true;
}

std::string FormatNumber(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

HRESULT ToInterface(VARIANT& dest, const VARIANT& src, VARTYPE type) {
    IUnknown* unknown = nullptr;
    if (src.vt == VT_UNKNOWN || src.vt == VT_DISPATCH)
        unknown = src.punkVal;
    else if (src.vt == VT_EMPTY || src.vt == VT_NULL)
        unknown = nullptr;
    else
        return DISP_E_TYPEMISMATCH;
    dest.vt = type;
    dest.punkVal = nullptr;
    if (!unknown) return S_OK;
    if (type == VT_UNKNOWN) {
        unknown->AddRef();
        dest.punkVal = unknown;
        return S_OK;
    }
    void* dispatch = nullptr;
    if (FAILED(unknown->QueryInterface(IDispatch::kIid, &dispatch))) {
        dest.vt = VT_EMPTY;
        return DISP_E_TYPEMISMATCH;
    }
    dest.pdispVal = static_cast<IDispatch*>(dispatch);
    return S_OK;
}

}  // namespace

extern "C" {

void VariantInit(VARIANT* v) {
    v->vt = VT_EMPTY;
    v->reserved1 = v->reserved2 = v->reserved3 = 0;
    v->llVal = 0;
}

HRESULT VariantClear(VARIANT* v) {
    if (!v) return E_INVALIDARG;
    switch (v->vt) {
        case VT_BSTR:
            SysFreeString(v->bstrVal);
            break;
        case VT_UNKNOWN:
        case VT_DISPATCH:
            if (v->punkVal) v->punkVal->Release();
            break;
        default:
            break;
    }
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* source) {
    if (!dest || !source) return E_INVALIDARG;
    if (dest == source) return S_OK;
    VARIANT copy = *source;
    if (copy.vt == VT_BSTR && copy.bstrVal) {
        copy.bstrVal = SysAllocStringLen(source->bstrVal, SysStringLen(source->bstrVal));
        if (!copy.bstrVal) return E_OUTOFMEMORY;
    } else if ((copy.vt == VT_UNKNOWN || copy.vt == VT_DISPATCH) && copy.punkVal) {
        copy.punkVal->AddRef();
    }
    VariantClear(dest);
    *dest = copy;
    return S_OK;
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* source, WORD /*flags*/, VARTYPE type) {
    if (!dest || !source) return E_INVALIDARG;
    const VARIANT& src = ReadThrough(*source);
    VARIANT result;
    VariantInit(&result);
    if (src.vt == type) {
        const HRESULT hr = VariantCopy(&result, &src);
        if (FAILED(hr)) return hr;
    } else if (type == VT_UNKNOWN || type == VT_DISPATCH) {
        const HRESULT hr = ToInterface(result, src, type);
        if (FAILED(hr)) return hr;
    } else if (type == VT_BSTR) {
        double number = 0;
        if (src.vt == VT_BOOL) {
            result.bstrVal = cb::AllocBstr(src.boolVal ? "True" : "False");
        } else if (NumberOf(src, number)) {
            result.bstrVal = cb::AllocBstr(src.vt == VT_EMPTY ? "" : FormatNumber(number));
        } else {
            return DISP_E_TYPEMISMATCH;
        }
        result.vt = VT_BSTR;
    } else {
        double number = 0;
        if (!NumberOf(src, number)) {
            if (src.vt == VT_BSTR && type == VT_BOOL) {
                const std::string text = cb::BstrToUtf8(src.bstrVal);
                if (text == "True" || text == "true")
                    number = -1;
                else if (text == "False" || text == "false")
                    number = 0;
                else
                    return DISP_E_TYPEMISMATCH;
            } else {
                return DISP_E_TYPEMISMATCH;
            }
        }
        std::int64_t whole = 0;
        switch (type) {
            case VT_I4:
                if (!ToWhole(number, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max(),
                             whole))
                    return DISP_E_TYPEMISMATCH;
                result.lVal = static_cast<LONG>(whole);
                break;
            case VT_I2:
                if (!ToWhole(number, -32768, 32767, whole)) return DISP_E_TYPEMISMATCH;
                result.iVal = static_cast<std::int16_t>(whole);
                break;
            case VT_UI1:
                if (!ToWhole(number, 0, 255, whole)) return DISP_E_TYPEMISMATCH;
                result.bVal = static_cast<std::uint8_t>(whole);
                break;
            case VT_R4:
                result.fltVal = static_cast<float>(number);
                break;
            case VT_R8:
                result.dblVal = number;
                break;
            case VT_BOOL:
                result.boolVal = number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
                break;
            default:
                return DISP_E_TYPEMISMATCH;
        }
        result.vt = type;
    }
    VariantClear(dest);
    *dest = result;
    return S_OK;
}
}
