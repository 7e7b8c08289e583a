#pragma once
// The interaction seam for tests: records every request in order and replays queued answers.
// When a queue is empty the safe answer is given (as headless), so a test only queues what it means.
#include <deque>
#include <vector>

#include "base/interaction.h"

namespace composer {

class ScriptedInteraction : public Interaction {
  public:
    struct Message {
        std::string text;
        std::string title;
        MsgButtons buttons = MsgButtons::OK;
        MsgIcon icon = MsgIcon::None;
        MsgAnswer answer = MsgAnswer::OK;  // the answer that was given
    };
    struct Input {
        std::string prompt;
        std::string title;
        std::string defaultText;
    };
    enum class ProgressKind { Clear, Fraction, Text, Hide };
    struct ProgressEvent {
        ProgressKind kind;
        double fraction = 0;
        std::string text;
    };

    // Answers to give, first in first out.
    std::deque<MsgAnswer> messageAnswers;
    std::deque<std::optional<std::string>> inputAnswers;
    std::deque<std::optional<int32_t>> colorAnswers;
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<bool> guideAnswers;  // whether "I know" gets ticked

    // What happened.
    std::vector<Message> messages;
    std::vector<Input> inputs;
    std::vector<int32_t> colorRequests;
    std::vector<FileChoiceRequest> fileRequests;
    std::vector<ProgressEvent> progress;
    std::vector<std::string> statusHelp;
    std::vector<std::string> guideMessages;
    int waitCursorDepth = 0;     // > 0 while the hourglass is on
    int waitCursorRequests = 0;  // how many times it was switched on

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
};

}  // namespace composer
