#include "media/library/library_call.h"

#include <cstdio>

#include "cbplatform/errorinfo.h"
#include "cbplatform/runtime.h"

namespace composer {
namespace {

std::string StatusText(HRESULT status) {
    char text[64];
    std::snprintf(text, sizeof text, "Library call failed (0x%08X)", static_cast<unsigned>(status));
    return text;
}

}  // namespace

void CheckLibraryCall(HRESULT status) {
    if (SUCCEEDED(status)) return;
    std::string message = cb::TakeErrorDescription();
    if (message.empty()) message = StatusText(status);
    throw Failure(message);
}

void CreateLibraryObjectRaw(REFCLSID clsid, REFIID iid, void** object) {
    // Error information left over from an earlier call must not pass for this one's.
    cb::TakeErrorDescription();
    const HRESULT status = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
    if (SUCCEEDED(status) && *object) return;
    if (status == REGDB_E_CLASSNOTREG) throw Failure("The AVI library is not registered");
    if (status == CO_E_DLLNOTFOUND) throw Failure("The AVI library could not be loaded");
    CheckLibraryCall(FAILED(status) ? status : E_UNEXPECTED);
}

}  // namespace composer
