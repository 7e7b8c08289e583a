#pragma once
// The interaction seam of the headless program: messages go to standard error as
// "title: text", questions get their safe answer, dialogs are cancelled, progress is printed
// as whole percents and texts, the pointer and the status help line are ignored.
#include <cstdio>

#include "base/interaction.h"

namespace composer {

class ConsoleInteraction : public Interaction {
  public:
    explicit ConsoleInteraction(std::FILE* out = stderr) : out_(out) {}

    MsgAnswer ShowMessage(const std::string& text, const std::string& title, MsgButtons buttons,
                          MsgIcon icon) override;
    std::optional<std::string> AskInput(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText) override;
    std::optional<int32_t> ChooseColor(int32_t initialColor) override;
    std::optional<std::string> ChooseFile(const FileChoiceRequest& request) override;
    void SetWaitCursor(bool busy) override;
    void ProgressClear() override;
    void ProgressFraction(double fraction) override;
    void ProgressText(const std::string& text) override;
    void ProgressHide() override;
    void StatusHelp(const std::string& text) override;
    bool ShowGuideWindow(const std::string& message) override;

  private:
    std::FILE* out_;
    int lastPercent_ = -1;
};

}  // namespace composer
