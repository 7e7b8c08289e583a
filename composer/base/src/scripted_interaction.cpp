#include "base/scripted_interaction.h"

namespace composer {

namespace {

template <typename T>
T TakeOr(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}

}  // namespace

MsgAnswer ScriptedInteraction::ShowMessage(const std::string& text, const std::string& title,
                                           MsgButtons buttons, MsgIcon icon) {
    const MsgAnswer answer = TakeOr(messageAnswers, SafeAnswer(buttons));
    messages.push_back(Message{text, title, buttons, icon, answer});
    return answer;
}

std::optional<std::string> ScriptedInteraction::AskInput(const std::string& prompt, const std::string& title,
                                                         const std::string& defaultText) {
    inputs.push_back(Input{prompt, title, defaultText});
    return TakeOr(inputAnswers, std::optional<std::string>{});
}

std::optional<int32_t> ScriptedInteraction::ChooseColor(int32_t initialColor) {
    colorRequests.push_back(initialColor);
    return TakeOr(colorAnswers, std::optional<int32_t>{});
}

std::optional<std::string> ScriptedInteraction::ChooseFile(const FileChoiceRequest& request) {
    fileRequests.push_back(request);
    return TakeOr(fileAnswers, std::optional<std::string>{});
}

void ScriptedInteraction::SetWaitCursor(bool busy) {
    waitCursorDepth += busy ? 1 : -1;
    if (busy) ++waitCursorRequests;
}

void ScriptedInteraction::ProgressClear() { progress.push_back({ProgressKind::Clear, 0, {}}); }
void ScriptedInteraction::ProgressFraction(double fraction) {
    progress.push_back({ProgressKind::Fraction, fraction, {}});
}
void ScriptedInteraction::ProgressText(const std::string& text) {
    progress.push_back({ProgressKind::Text, 0, text});
}
void ScriptedInteraction::ProgressHide() { progress.push_back({ProgressKind::Hide, 0, {}}); }

void ScriptedInteraction::StatusHelp(const std::string& text) { statusHelp.push_back(text); }

bool ScriptedInteraction::ShowGuideWindow(const std::string& message) {
    guideMessages.push_back(message);
    return TakeOr(guideAnswers, false);
}

}  // namespace composer
