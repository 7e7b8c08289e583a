#pragma once
// The program's notices: the user-guide tip window (UserGuideFrm), the notice that sound cannot be
// played (Dx8Frm) and the about box (About_Frm). Each is shown modally by its caller.
#include <QString>
#include <string>

#include "ui/help_line_dialog.h"

class QCheckBox;
class QLabel;

namespace composer {

class UserGuideFrm : public HelpLineDialog {
  public:
    explicit UserGuideFrm(QWidget* parent = nullptr);
    void SetTip(const QString& text);
    QCheckBox* IKnow() const { return iKnow_; }
    // Shows the "How to stop this?" message.
    void ExplainStopping();

  private:
    QLabel* tip_;
    QCheckBox* iKnow_;
};

// Shows a tip modally; returns whether "I know, don't tell me this again." was ticked.
bool ShowUserGuideFrm(QWidget* parent, const std::string& message);

class Dx8Frm : public HelpLineDialog {
  public:
    explicit Dx8Frm(QWidget* parent = nullptr);
};

class About_Frm : public HelpLineDialog {
  public:
    // `helpPage`: the page its link leads to (the help contents).
    explicit About_Frm(const std::string& helpPage, QWidget* parent = nullptr);
};

// Where the sound notice's link leads: how the desktop's sound service is set up.
inline constexpr const char* kSoundHelpAddress = "https://www.freedesktop.org/wiki/Software/PulseAudio/";

}  // namespace composer
