// The registered compressor options dialog. The provider is copied out under the lock and called
// without it, so a dialog that runs an event loop never blocks a registration.
#include "cbplatform/compressor_dialog.h"

#include <mutex>
#include <utility>

namespace cb {
namespace {

struct Registration {
    std::mutex mutex;
    CompressorDialogProvider provider;
};

Registration& TheRegistration() {
    static Registration registration;
    return registration;
}

CompressorDialogProvider CurrentProvider() {
    Registration& registration = TheRegistration();
    std::lock_guard lock(registration.mutex);
    return registration.provider;
}

}  // namespace

void SetCompressorDialogProvider(CompressorDialogProvider provider) {
    Registration& registration = TheRegistration();
    std::lock_guard lock(registration.mutex);
    registration.provider = std::move(provider);
}

bool HasCompressorDialogProvider() { return static_cast<bool>(CurrentProvider()); }

DialogAnswer ShowCompressorDialog(CompressorOptions& options, HWND parent) {
    const CompressorDialogProvider provider = CurrentProvider();
    if (!provider) return DialogAnswer::Accepted;
    return provider(options, parent);
}

}  // namespace cb
