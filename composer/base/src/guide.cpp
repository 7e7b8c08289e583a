#include "base/guide.h"

#include "base/app_state.h"
#include "base/interaction.h"
#include "base/settings.h"
#include "base/text_number.h"

namespace composer {

namespace {

constexpr std::size_t kLongestTitleChars = 50;
const char* const kGuideSection = "I Know";

}  // namespace

void ShowStatusHelp(const std::string& text) { UI().StatusHelp(text); }

bool ShowGuideTip(bool tipsOn, const std::string& message, const std::string& title) {
    if (!tipsOn) return false;
    const std::string key = title.empty() ? FirstChars(message, kLongestTitleChars) : title;
    if (ReadIniValue(kGuideSection, key, "No", GuideFilePath()) == "Yes") return false;
    if (UI().ShowGuideWindow(message)) WriteIniValue(kGuideSection, key, "Yes", GuideFilePath());
    return true;
}

std::string HelpFolderBesideProgram() { return AppFolder + "/" + ProgramBaseName() + "-help"; }

}  // namespace composer
