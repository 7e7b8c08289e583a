#include "base/app_state.h"

namespace composer {

std::string AppFolder;
std::string TempFolder;
std::string WorkFolder;
std::string HelpFilePath;
bool ShowUserGuide = true;
int32_t MemoryBudget = kMinimumMemoryBudget;
int32_t TempFileCounter = 0;

}  // namespace composer
