// The library's exports: plain creation, class factories, unloading and registration.
#include <dlfcn.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "cbplatform/com_object.h"
#include "cbplatform/registry.h"
#include "cbplatform/runtime.h"
#include "compressors/avi_compressor.h"
#include "compressors/avi_compressors.h"
#include "frame/class_table.h"
#include "frame/server_counts.h"
#include "reader/avi_reader_object.h"
#include "writer/avi_writer_object.h"

#define VIDMILL_EXPORT extern "C" __attribute__((visibility("default")))

namespace vidmill {

namespace {

std::atomic<long> factoryReferences{0};

// One factory per class, made when the library loads and living as long as it. Its references
// count towards DllCanUnloadNow.
class ClassFactory final : public IClassFactory {
  public:
    explicit ClassFactory(const ClassEntry& entry) : entry_(entry) {}

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IUnknown::kIid && iid != IClassFactory::kIid) return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return static_cast<ULONG>(++factoryReferences); }
    ULONG Release() override { return static_cast<ULONG>(--factoryReferences); }

    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (!entry_.creatable || !entry_.create) return CLASS_E_CLASSNOTAVAILABLE;
        IDispatch* created = nullptr;
        try {
            created = entry_.create(Counting::Counted);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        if (!created) return E_OUTOFMEMORY;
        const HRESULT hr = created->QueryInterface(iid, object);
        created->Release();
        return hr;
    }
    HRESULT LockServer(int lock) override {
        CountLock(lock != 0);
        return S_OK;
    }

  private:
    const ClassEntry& entry_;
};

ClassFactory* FactoryFor(REFCLSID clsid) {
    // Made in the order of the class table when the library loads.
    static ClassFactory factories[] = {
        ClassFactory(Classes()[0]), ClassFactory(Classes()[1]), ClassFactory(Classes()[2]),
        ClassFactory(Classes()[3]), ClassFactory(Classes()[4]), ClassFactory(Classes()[5]),
        ClassFactory(Classes()[6]),
    };
    for (std::size_t i = 0; i < Classes().size(); ++i)
        if (Classes()[i].clsid == clsid) return &factories[i];
    return nullptr;
}

[[maybe_unused]] const bool factoriesReady = (FactoryFor(GUID{}), true);

std::string LibraryPath() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&FactoryFor), &info) == 0 || !info.dli_fname) return {};
    std::error_code ignored;
    const auto absolute = std::filesystem::absolute(info.dli_fname, ignored);
    return absolute.lexically_normal().string();
}

std::string ClassKey(const ClassEntry& entry) { return "CLSID\\" + cb::FormatGuid(entry.clsid); }
std::string ProgId(const ClassEntry& entry) { return std::string("Vidmill.") + entry.className; }
std::string TypeLibKey() { return "TypeLib\\" + cb::FormatGuid(LIBID_Vidmill); }
std::string InterfaceKey(const ClassEntry& entry) { return "Interface\\" + cb::FormatGuid(entry.primaryIid); }

void WriteEntries(cb::registry::Keys& keys, const std::string& libraryPath) {
    const std::string libid = cb::FormatGuid(LIBID_Vidmill);
    const std::string version = std::to_string(kTypeLibMajor) + "." + std::to_string(kTypeLibMinor);
    keys.SetValue(TypeLibKey() + "\\" + version, "", "Vidmill");
    keys.SetValue(TypeLibKey() + "\\" + version + "\\0\\linux64", "", libraryPath);
    keys.SetValue(TypeLibKey() + "\\" + version + "\\FLAGS", "", "0");
    keys.SetValue(TypeLibKey() + "\\" + version + "\\HELPDIR", "",
                  std::filesystem::path(libraryPath).parent_path().string());
    for (const auto& entry : Classes()) {
        const std::string key = ClassKey(entry);
        keys.SetValue(key, "", entry.helpString);
        keys.SetValue(key + "\\InprocServer32", "", libraryPath);
        keys.SetValue(key + "\\InprocServer32", "ThreadingModel", "Apartment");
        keys.SetValue(key + "\\ProgID", "", ProgId(entry));
        keys.SetValue(key + "\\Version", "", version);
        keys.SetValue(key + "\\TypeLib", "", libid);
        keys.SetValue(ProgId(entry), "", entry.helpString);
        keys.SetValue(ProgId(entry) + "\\Clsid", "", cb::FormatGuid(entry.clsid));
        keys.SetValue(InterfaceKey(entry), "", std::string("I") + entry.className);
        keys.SetValue(InterfaceKey(entry) + "\\TypeLib", "", libid);
        keys.SetValue(InterfaceKey(entry) + "\\TypeLib", "Version", version);
    }
}

void RemoveEntries(cb::registry::Keys& keys) {
    keys.DeleteTree(TypeLibKey());
    for (const auto& entry : Classes()) {
        keys.DeleteTree(ClassKey(entry));
        keys.DeleteTree(ProgId(entry));
        keys.DeleteTree(InterfaceKey(entry));
    }
}

}  // namespace

}  // namespace vidmill

using namespace vidmill;

VIDMILL_EXPORT void AviCreateObject(IDispatch** object, LONG kind) {
    if (!object) return;
    IDispatch* created = nullptr;
    try {
        switch (kind) {
            case 1:
                created = NewAviWriter(Counting::NotCounted);
                break;
            case 2:
                created = NewAviCompressors(Counting::NotCounted);
                break;
            case 3:
                created = NewAviCompressor(Counting::NotCounted);
                break;
            case 4:
                created = NewAviReader(Counting::NotCounted);
                break;
            default:
                break;
        }
    } catch (...) {
        created = nullptr;
    }
    if (IDispatch* old = *object) old->Release();
    *object = created;
}

VIDMILL_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    ClassFactory* factory = FactoryFor(clsid);
    if (!factory) return CLASS_E_CLASSNOTAVAILABLE;
    return factory->QueryInterface(iid, object);
}

VIDMILL_EXPORT HRESULT DllCanUnloadNow() {
    return ObjectCount() == 0 && LockCount() == 0 && factoryReferences.load() == 0 ? S_OK : S_FALSE;
}

VIDMILL_EXPORT HRESULT DllRegisterServer() {
    const std::string path = LibraryPath();
    if (path.empty()) return E_FAIL;
    return cb::registry::Update([&](cb::registry::Keys& keys) { WriteEntries(keys, path); }) ? S_OK : E_FAIL;
}

VIDMILL_EXPORT HRESULT DllUnregisterServer() {
    return cb::registry::Update([](cb::registry::Keys& keys) { RemoveEntries(keys); }) ? S_OK : E_FAIL;
}
