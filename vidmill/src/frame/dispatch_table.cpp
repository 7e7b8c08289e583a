#include "frame/dispatch_table.h"

#include <cctype>

#include "cbplatform/errorinfo.h"

namespace vidmill {

namespace {

bool SameNameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool IsOmitted(const VARIANT* v) { return !v || (v->vt == VT_ERROR && v->scode == DISP_E_PARAMNOTFOUND); }

// Moves the failure's error information into the caller's exception record, and leaves it on
// the thread as well for callers that read it there.
void FillException(HRESULT failure, EXCEPINFO& exception) {
    exception = EXCEPINFO{};
    exception.scode = failure;
    cb::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info) return;
    info->GetSource(&exception.bstrSource);
    info->GetDescription(&exception.bstrDescription);
    info->GetHelpFile(&exception.bstrHelpFile);
    info->GetHelpContext(&exception.dwHelpContext);
    SetErrorInfo(0, info.get());
}

}  // namespace

HRESULT DispatchTable::GetIDsOfNames(OLECHAR** names, UINT count, DISPID* ids) const {
    if (!names || !ids) return E_POINTER;
    if (count == 0) return S_OK;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    const std::string memberName =
        cb::Utf16ToUtf8(names[0] ? std::u16string_view(names[0]) : std::u16string_view());
    const DispatchMember* found = nullptr;
    for (const auto& member : members_) {
        if (SameNameNoCase(member.name, memberName)) {
            found = &member;
            break;
        }
    }
    if (!found) return DISP_E_UNKNOWNNAME;
    ids[0] = found->id;
    HRESULT result = S_OK;
    for (UINT i = 1; i < count; ++i) {
        const std::string parameter =
            cb::Utf16ToUtf8(names[i] ? std::u16string_view(names[i]) : std::u16string_view());
        for (std::size_t p = 0; p < found->parameterNames.size(); ++p)
            if (SameNameNoCase(found->parameterNames[p], parameter)) ids[i] = static_cast<DISPID>(p);
        if (ids[i] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
    }
    return result;
}

const DispatchMember* DispatchTable::Find(DISPID id, WORD flags) const {
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    for (const auto& member : members_) {
        if (member.id != id) continue;
        if (put == (member.kind == DISPATCH_PROPERTYPUT)) return &member;
    }
    return nullptr;
}

HRESULT DispatchTable::Invoke(IUnknown* self, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                              EXCEPINFO* exception, UINT* badArgument) const {
    const DispatchMember* member = Find(id, flags);
    if (!member) return DISP_E_MEMBERNOTFOUND;
    DISPPARAMS none;
    const DISPPARAMS& call = params ? *params : none;
    if (call.cNamedArgs > call.cArgs || (call.cArgs && !call.rgvarg)) return E_INVALIDARG;

    const std::size_t inputs = member->defaults.size();
    std::vector<const VARIANT*> args(inputs, nullptr);
    std::size_t positional = call.cArgs - call.cNamedArgs;
    if (member->kind == DISPATCH_PROPERTYPUT) {
        // The value being put is the named argument DISPID_PROPERTYPUT (or the last positional one).
        if (inputs == 0 || call.cArgs == 0) return DISP_E_BADPARAMCOUNT;
        args[inputs - 1] = &call.rgvarg[0];
        if (call.cNamedArgs == 0) --positional;
    }
    const std::size_t positionalSlots = member->kind == DISPATCH_PROPERTYPUT ? inputs - 1 : inputs;
    if (positional > positionalSlots) return DISP_E_BADPARAMCOUNT;
    for (std::size_t i = 0; i < positional; ++i) args[i] = &call.rgvarg[call.cArgs - 1 - i];
    for (UINT n = 0; n < call.cNamedArgs; ++n) {
        const DISPID named = call.rgdispidNamedArgs ? call.rgdispidNamedArgs[n] : DISPID_UNKNOWN;
        if (named == DISPID_PROPERTYPUT && member->kind == DISPATCH_PROPERTYPUT) continue;
        if (named < 0 || static_cast<std::size_t>(named) >= positionalSlots) return DISP_E_PARAMNOTFOUND;
        args[static_cast<std::size_t>(named)] = &call.rgvarg[n];
    }
    for (std::size_t i = 0; i < inputs; ++i)
        if (IsOmitted(args[i])) args[i] = member->defaults[i].get();

    if (result) VariantInit(result);
    UINT failedArgument = 0;
    const HRESULT hr = member->invoke(self, args, result, &failedArgument);
    if (hr == DISP_E_TYPEMISMATCH) {
        if (badArgument) *badArgument = static_cast<UINT>(call.cArgs - 1 - failedArgument);
        return hr;
    }
    if (FAILED(hr) && exception) {
        FillException(hr, *exception);
        return DISP_E_EXCEPTION;
    }
    return hr;
}

}  // namespace vidmill
