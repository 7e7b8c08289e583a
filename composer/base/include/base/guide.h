#pragma once
// The status-bar help line, the one-time user-guide tips and the help pages.
#include <string>

namespace composer {

// Sets the status bar's help line (through the interaction seam).
void ShowStatusHelp(const std::string& text);

// Shows a tip in the guide window unless tips are off (`tipsOn` false: the user's setting) or the user
// acknowledged it before. An empty title becomes the message, cut to 50 characters when it is longer.
// Acknowledged tips are remembered in the guide file (section "I Know", key = title, value "Yes"). Returns
// whether the window was shown.
bool ShowGuideTip(bool tipsOn, const std::string& message, const std::string& title = "");

// The folder of help pages beside the program: AppFolder + "/" + program name + "-help", one page per
// topic number.
std::string HelpFolderBesideProgram();

}  // namespace composer
