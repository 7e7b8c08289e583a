#pragma once
// The interaction seam: every question and message of the program reaches the user through it.
// The windows install an implementation with real dialogs; the headless program uses
// ConsoleInteraction (console_interaction.h); tests use ScriptedInteraction (scripted_interaction.h).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace composer {

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgAnswer { OK, Cancel, Yes, No, Retry };
enum class MsgIcon { None, Information, Exclamation, Critical, Question };

// The answer that closing a message box without choosing gives, and that headless runs use:
// OK for a plain message, otherwise Cancel, or No when there is no Cancel.
MsgAnswer SafeAnswer(MsgButtons buttons);

enum class FileDialogMode { Open, Save };

// A file-choice dialog as the program fills it.
struct FileChoiceRequest {
    FileDialogMode mode = FileDialogMode::Open;
    std::string title;
    std::string filter;  // description|pattern pairs: "AVI files (*.avi)|*.avi|All files (*.*)|*.*"
    int filterIndex = 1;
    std::string defaultExtension;  // without the dot; empty for none
    std::string initialFolder;     // empty: the dialog's own choice
    std::string fileName;          // the previous file name shown in the dialog
    bool fileMustExist = false;
    bool pathMustExist = false;
    bool overwritePrompt = false;
    bool hideReadOnly = true;
};

class Interaction {
  public:
    virtual ~Interaction() = default;

    // A message box; title is never empty here (MsgBox puts in the program title). Returns the button chosen.
    virtual MsgAnswer ShowMessage(const std::string& text, const std::string& title, MsgButtons buttons,
                                  MsgIcon icon) = 0;
    // An input box; the entered text, or nothing on Cancel.
    virtual std::optional<std::string> AskInput(const std::string& prompt, const std::string& title,
                                                const std::string& defaultText) = 0;
    // The colour dialog opened on a colour (red in bits 0-7); the chosen colour, or nothing on Cancel.
    virtual std::optional<int32_t> ChooseColor(int32_t initialColor) = 0;
    // A file dialog; the chosen path, or nothing on Cancel.
    virtual std::optional<std::string> ChooseFile(const FileChoiceRequest& request) = 0;

    // The hourglass pointer on (busy) or back to normal.
    virtual void SetWaitCursor(bool busy) = 0;

    // The mixer window's progress bar: cleared and shown, filled to a fraction (0 .. 1), a text
    // printed on it, hidden again.
    virtual void ProgressClear() = 0;
    virtual void ProgressFraction(double fraction) = 0;
    virtual void ProgressText(const std::string& text) = 0;
    virtual void ProgressHide() = 0;

    // The help line of the status bar (panel "UserGuide"), repainted at once.
    virtual void StatusHelp(const std::string& text) = 0;

    // The modal guide window with a tip, its "I know, don't tell me this again." box unticked.
    // Returns whether the user ticked the box.
    virtual bool ShowGuideWindow(const std::string& message) = 0;
};

// The seam in use. Until something is installed it is a ConsoleInteraction.
Interaction& UI();
// Installs a seam (not owned; it must outlive its use). nullptr returns to the console seam.
void SetInteraction(Interaction* seam);
// The installed seam, or nullptr while the console seam is in use.
Interaction* InstalledInteraction();

// Installs a seam for the lifetime of the object and restores the previous one after.
class ScopedInteraction {
  public:
    explicit ScopedInteraction(Interaction& seam);
    ~ScopedInteraction();
    ScopedInteraction(const ScopedInteraction&) = delete;
    ScopedInteraction& operator=(const ScopedInteraction&) = delete;

  private:
    Interaction* previous_;
};

// Conveniences over UI(). An empty title means the program title "Cinebrix Composer".
MsgAnswer MsgBox(const std::string& text, MsgButtons buttons = MsgButtons::OK, const std::string& title = "",
                 MsgIcon icon = MsgIcon::None);
// A message that work below a command hands back for the command to show: its text, and its title
// ("" for the program title). Shown with the OK button.
struct UserMessage {
    std::string text;
    std::string title;
};
// Shows each message with MsgBox, in order.
void ShowMessages(const std::vector<UserMessage>& messages);
// Yes and No buttons; true on Yes.
bool AskYesNo(const std::string& text, const std::string& title = "");
std::optional<std::string> InputBox(const std::string& prompt, const std::string& title = "",
                                    const std::string& defaultText = "");

// The hourglass pointer for the lifetime of the object; nested owners restore in turn.
class WaitCursor {
  public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace composer
