// Creation of objects by class id through the class registry: the library named by the class's
// InprocServer32 entry is loaded, asked for its class factory, and the factory makes the object.
#pragma once

#include <string>

#include "cbplatform/com_types.h"

struct IClassFactory : IUnknown {
    static constexpr IID kIid = cb::MakeGuid("{00000001-0000-0000-C000-000000000046}");
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
    virtual HRESULT LockServer(int lock) = 0;

  protected:
    ~IClassFactory() = default;
};

// The exports an in-process server library offers.
using DllGetClassObjectFn = HRESULT (*)(REFCLSID clsid, REFIID iid, void** object);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();

constexpr DWORD CLSCTX_INPROC_SERVER = 1;

extern "C" {
CB_PLATFORM_API HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* reserved, REFIID iid,
                                         void** object);
// REGDB_E_CLASSNOTREG when the class is not registered, CO_E_DLLNOTFOUND when its library does
// not load, CO_E_ERRORINDLL when the library lacks the entry point.
CB_PLATFORM_API HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                                         void** object);
CB_PLATFORM_API HRESULT CLSIDFromProgID(const char16_t* progId, CLSID* clsid);
// Unloads every loaded server library whose DllCanUnloadNow answers S_OK.
CB_PLATFORM_API void CoFreeUnusedLibraries();
}

namespace cb {
// The class id registered for a ProgID such as "Vidmill.AviWriter".
CB_PLATFORM_API HRESULT ClsidFromProgId(const std::string& progId, CLSID& clsid);
// The number of server libraries currently loaded by the runtime.
CB_PLATFORM_API int LoadedServerCount();
}  // namespace cb
