#include "cbplatform/runtime.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

#include "cbplatform/bstr.h"
#include "cbplatform/registry.h"

namespace {

struct LoadedServer {
    void* handle = nullptr;
    DllGetClassObjectFn getClassObject = nullptr;
    DllCanUnloadNowFn canUnloadNow = nullptr;
};

std::mutex serversMutex;
std::map<std::string, LoadedServer> servers;  // by library path

HRESULT LoadServer(const std::string& path, LoadedServer& out) {
    std::lock_guard lock(serversMutex);
    if (auto found = servers.find(path); found != servers.end()) {
        out = found->second;
        return S_OK;
    }
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return CO_E_DLLNOTFOUND;
    LoadedServer server;
    server.handle = handle;
    server.getClassObject = reinterpret_cast<DllGetClassObjectFn>(::dlsym(handle, "DllGetClassObject"));
    server.canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(::dlsym(handle, "DllCanUnloadNow"));
    if (!server.getClassObject) {
        ::dlclose(handle);
        return CO_E_ERRORINDLL;
    }
    servers.emplace(path, server);
    out = server;
    return S_OK;
}

}  // namespace

extern "C" {

HRESULT CoGetClassObject(REFCLSID clsid, DWORD /*context*/, void* /*reserved*/, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    const auto path = cb::registry::GetValue("CLSID\\" + cb::FormatGuid(clsid) + "\\InprocServer32");
    if (!path || path->empty()) return REGDB_E_CLASSNOTREG;
    LoadedServer server;
    const HRESULT hr = LoadServer(*path, server);
    if (FAILED(hr)) return hr;
    return server.getClassObject(clsid, iid, object);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    cb::ComPtr<IClassFactory> factory;
    const HRESULT hr = CoGetClassObject(clsid, context, nullptr, IClassFactory::kIid, factory.putVoid());
    if (FAILED(hr)) return hr;
    return factory->CreateInstance(outer, iid, object);
}

HRESULT CLSIDFromProgID(const char16_t* progId, CLSID* clsid) {
    if (!progId || !clsid) return E_POINTER;
    return cb::ClsidFromProgId(cb::Utf16ToUtf8(progId), *clsid);
}

void CoFreeUnusedLibraries() {
    std::lock_guard lock(serversMutex);
    for (auto it = servers.begin(); it != servers.end();) {
        if (it->second.canUnloadNow && it->second.canUnloadNow() == S_OK) {
            ::dlclose(it->second.handle);
            it = servers.erase(it);
        } else {
            ++it;
        }
    }
}
}

namespace cb {

HRESULT ClsidFromProgId(const std::string& progId, CLSID& clsid) {
    const auto text = registry::GetValue(progId + "\\Clsid");
    if (!text) return CO_E_CLASSSTRING;
    const auto parsed = ParseGuid(*text);
    if (!parsed) return CO_E_CLASSSTRING;
    clsid = *parsed;
    return S_OK;
}

int LoadedServerCount() {
    std::lock_guard lock(serversMutex);
    return static_cast<int>(servers.size());
}

}  // namespace cb
