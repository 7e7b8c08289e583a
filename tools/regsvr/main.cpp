// regsvr: registers or unregisters an in-process component library by calling its exports.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "cbplatform/registry.h"
#include "cbplatform/runtime.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: regsvr [-u] LIBRARY.so\n"
                 "  Registers the library's classes in the class registry (%s),\n"
                 "  or removes them with -u. The registry file can be chosen with CB_REGISTRY.\n",
                 cb::registry::FilePath().c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool unregister = false;
    const char* library = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-u") == 0)
            unregister = true;
        else if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0)
            return Usage();
        else if (!library)
            library = argv[i];
        else
            return Usage();
    }
    if (!library) return Usage();

    // A bare file name would be searched on the library path; a path to a file is meant as given.
    std::string path = library;
    if (path.find('/') == std::string::npos) path = "./" + path;
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "regsvr: cannot load %s: %s\n", library, ::dlerror());
        return 1;
    }
    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    auto call = reinterpret_cast<DllRegisterServerFn>(::dlsym(handle, entry));
    if (!call) {
        std::fprintf(stderr, "regsvr: %s has no entry point %s\n", library, entry);
        ::dlclose(handle);
        return 1;
    }
    const HRESULT hr = call();
    ::dlclose(handle);
    if (FAILED(hr)) {
        std::fprintf(stderr, "regsvr: %s failed in %s (0x%08X); registry file %s\n", library, entry,
                     static_cast<unsigned>(hr), cb::registry::FilePath().c_str());
        return 1;
    }
    std::printf("%s %s (registry %s)\n", unregister ? "Unregistered" : "Registered", library,
                cb::registry::FilePath().c_str());
    return 0;
}
