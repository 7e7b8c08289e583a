#pragma once
// The interaction seam with real dialogs: message boxes (the first button the default, Escape
// the safe answer), input boxes, the colour and file dialogs, the wait cursor, the guide window,
// and forwarding of the progress bar and the help line to the windows that show them. Every call
// may come from the render's worker thread: dialogs then wait for the GUI thread's answer, and
// progress is queued so the worker never waits for a repaint.
#include <functional>

#include "base/interaction.h"

class QWidget;

namespace composer {

// Where the progress bar and the help line are shown.
struct ProgressDisplay {
    std::function<void()> clear;
    std::function<void(double)> fraction;
    std::function<void(const std::string&)> text;
    std::function<void()> hide;
};

class QtInteraction : public Interaction {
  public:
    // Dialogs are centred on `parent` (may be null).
    explicit QtInteraction(QWidget* parent = nullptr) : parent_(parent) {}

    void SetParent(QWidget* parent) { parent_ = parent; }
    void SetProgressDisplay(ProgressDisplay display) { progress_ = std::move(display); }
    void SetStatusLine(std::function<void(const std::string&)> line) { statusLine_ = std::move(line); }

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
    QWidget* parent_;
    ProgressDisplay progress_;
    std::function<void(const std::string&)> statusLine_;
};

}  // namespace composer
