#include "base/app_state.h"

namespace composer {

std::string AppFolder;
std::string TempFolder;
std::string WorkFolder;
std::atomic<int32_t> TempFileCounter{0};

}  // namespace composer
