#include "invoke_by_name.h"

#include <string>

namespace cb::testing {

HRESULT InvokeByName(IDispatch& object, const char16_t* member, WORD flags,
                     const std::vector<cb::Variant>& arguments, VARIANT* result, EXCEPINFO* exception,
                     UINT* badArgument) {
    std::u16string name(member);
    OLECHAR* names[] = {name.data()};
    DISPID id = 0;
    const HRESULT found = object.GetIDsOfNames(IID{}, names, 1, 0, &id);
    if (FAILED(found)) return found;
    std::vector<VARIANT> reversed;
    for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) reversed.push_back(*it->get());
    const bool put = flags == DISPATCH_PROPERTYPUT;
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), put ? &putId : nullptr, static_cast<UINT>(reversed.size()),
                      put ? 1u : 0u};
    return object.Invoke(id, IID{}, 0, flags, &params, result, exception, badArgument);
}

}  // namespace cb::testing
