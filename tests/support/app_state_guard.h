#pragma once
// Puts the program's global state back as it was when the guard was made, so that a test that sets a
// global (the work folder, the memory budget, ...) leaves nothing behind for
// the tests that run after it, whatever their order.
#include <cstdint>
#include <string>

#include "base/app_state.h"

namespace composer::testing {

class AppStateGuard {
  public:
    AppStateGuard() = default;
    ~AppStateGuard() {
        AppFolder = appFolder_;
        TempFolder = tempFolder_;
        WorkFolder = workFolder_;
        TempFileCounter = tempFileCounter_;
    }
    AppStateGuard(const AppStateGuard&) = delete;
    AppStateGuard& operator=(const AppStateGuard&) = delete;

  private:
    std::string appFolder_ = AppFolder;
    std::string tempFolder_ = TempFolder;
    std::string workFolder_ = WorkFolder;
    int32_t tempFileCounter_ = TempFileCounter;
};

}  // namespace composer::testing
