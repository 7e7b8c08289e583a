#include "base/console_interaction.h"

#include <cmath>

namespace composer {

MsgAnswer ConsoleInteraction::ShowMessage(const std::string& text, const std::string& title,
                                          MsgButtons buttons, MsgIcon) {
    std::fprintf(out_, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(out_);
    return SafeAnswer(buttons);
}

std::optional<std::string> ConsoleInteraction::AskInput(const std::string&, const std::string&,
                                                        const std::string&) {
    return std::nullopt;
}

std::optional<int32_t> ConsoleInteraction::ChooseColor(int32_t) { return std::nullopt; }

std::optional<std::string> ConsoleInteraction::ChooseFile(const FileChoiceRequest&) { return std::nullopt; }

void ConsoleInteraction::SetWaitCursor(bool) {}

void ConsoleInteraction::ProgressClear() { lastPercent_ = -1; }

void ConsoleInteraction::ProgressFraction(double fraction) {
    if (!std::isfinite(fraction)) return;
    const int percent = static_cast<int>(std::floor(std::fmin(std::fmax(fraction, 0.0), 1.0) * 100.0));
    if (percent == lastPercent_) return;
    lastPercent_ = percent;
    std::fprintf(out_, "progress %d%%\n", percent);
    std::fflush(out_);
}

void ConsoleInteraction::ProgressText(const std::string& text) {
    std::fprintf(out_, "%s\n", text.c_str());
    std::fflush(out_);
}

void ConsoleInteraction::ProgressHide() { lastPercent_ = -1; }

void ConsoleInteraction::StatusHelp(const std::string&) {}

bool ConsoleInteraction::ShowGuideWindow(const std::string& message) {
    std::fprintf(out_, "Guide: %s\n", message.c_str());
    std::fflush(out_);
    return false;
}

}  // namespace composer
