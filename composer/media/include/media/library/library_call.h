#pragma once
// Calls into the AVI library from the program's wrappers. The library is never linked: its objects
// are created by class id through the component runtime, which finds it through the class registry.
// A failing library method leaves its message in the thread's error information; here it becomes
// a Failure carrying that message.
#include <string>

#include "base/failure.h"
#include "cbplatform/com_types.h"

namespace composer {

// Throws a Failure with the thread's error description (or a text naming the status code when
// the library left none) when status is a failure.
void CheckLibraryCall(HRESULT status);

// A new library object of the class, asked for interface T. Throws a Failure when the class
// is not registered, its library does not load or it refuses to make the object.
template <HasInterfaceId T>
cb::ComPtr<T> CreateLibraryObject(REFCLSID clsid);

// The untyped step behind CreateLibraryObject.
void CreateLibraryObjectRaw(REFCLSID clsid, REFIID iid, void** object);

template <HasInterfaceId T>
cb::ComPtr<T> CreateLibraryObject(REFCLSID clsid) {
    cb::ComPtr<T> object;
    CreateLibraryObjectRaw(clsid, T::kIid, object.putVoid());
    return object;
}

}  // namespace composer
