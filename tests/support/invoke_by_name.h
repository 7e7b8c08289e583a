// Late binding for tests: calls a member of an object through IDispatch by its name, as a script
// host does.
#pragma once

#include <vector>

#include "cbplatform/com_types.h"
#include "cbplatform/variant.h"

namespace cb::testing {

// Calls member with the arguments given first to last (IDispatch takes them last to first). For
// DISPATCH_PROPERTYPUT the one argument is the value put. The name's lookup failure, or Invoke's
// status.
HRESULT InvokeByName(IDispatch& object, const char16_t* member, WORD flags,
                     const std::vector<cb::Variant>& arguments, VARIANT* result,
                     EXCEPINFO* exception = nullptr, UINT* badArgument = nullptr);

}  // namespace cb::testing
