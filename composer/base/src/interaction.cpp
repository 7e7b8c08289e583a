#include "base/interaction.h"

#include "base/app_state.h"
#include "base/console_interaction.h"

namespace composer {

namespace {

Interaction* installed = nullptr;
int waitCursorDepth = 0;

ConsoleInteraction& Console() {
    static ConsoleInteraction console;
    return console;
}

const std::string& TitleOrProgram(const std::string& title, std::string& holder) {
    if (!title.empty()) return title;
    holder = kProgramTitle;
    return holder;
}

}  // namespace

MsgAnswer SafeAnswer(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::OK:
            return MsgAnswer::OK;
        case MsgButtons::YesNo:
            return MsgAnswer::No;
        case MsgButtons::OKCancel:
        case MsgButtons::YesNoCancel:
        case MsgButtons::RetryCancel:
            return MsgAnswer::Cancel;
    }
    return MsgAnswer::Cancel;
}

Interaction& UI() { return installed ? *installed : Console(); }
void SetInteraction(Interaction* seam) { installed = seam; }
Interaction* InstalledInteraction() { return installed; }

MsgAnswer MsgBox(const std::string& text, MsgButtons buttons, const std::string& title, MsgIcon icon) {
    std::string holder;
    return UI().ShowMessage(text, TitleOrProgram(title, holder), buttons, icon);
}

void ShowMessages(const std::vector<UserMessage>& messages) {
    for (const UserMessage& message : messages) MsgBox(message.text, MsgButtons::OK, message.title);
}

bool AskYesNo(const std::string& text, const std::string& title) {
    return MsgBox(text, MsgButtons::YesNo, title, MsgIcon::Question) == MsgAnswer::Yes;
}

std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                    const std::string& defaultText) {
    std::string holder;
    return UI().AskInput(prompt, TitleOrProgram(title, holder), defaultText);
}

WaitCursor::WaitCursor() {
    if (waitCursorDepth++ == 0) UI().SetWaitCursor(true);
}

WaitCursor::~WaitCursor() {
    if (--waitCursorDepth == 0) UI().SetWaitCursor(false);
}

ScopedInteraction::ScopedInteraction(Interaction& seam) : previous_(installed) { installed = &seam; }
ScopedInteraction::~ScopedInteraction() { installed = previous_; }

}  // namespace composer
