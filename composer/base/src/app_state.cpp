#include "base/app_state.h"

namespace composer {

std::string AppFolder;
std::string TempFolder;
std::string WorkFolder;
std::string HelpFilePath;
bool ShowUserGuide = true;
int32_t MemoryBudget = kMinimumMemoryBudget;
int32_t TempFileCounter = 0;
int32_t OutCompressor = 0;
OutputCoding OutCoding;
double TestPlayStart = 0.0;
double TestPlayDuration = 10.0;
int32_t UnusedTrackX = 20;
int32_t ArrangedTrackX = 20;
int32_t ClipViewScale = 1;

}  // namespace composer
