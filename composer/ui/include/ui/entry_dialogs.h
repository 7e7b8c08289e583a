#pragma once
// The clip window's two entry dialogs: the duration of a Jump or Goto (EntDurFrm) and the view
// scale (EntClipScaleFrm). OK sets `accepted` and closes; Cancel and the close box clear it.
#include <QString>
#include <cstdint>
#include <optional>
#include <string>

#include "ui/help_line_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace composer {

class EntDurFrm : public HelpLineDialog {
  public:
    explicit EntDurFrm(QWidget* parent = nullptr);
    // The caller's caption (" Jump", " Go to"), prompt, remark and the entry's text.
    void Prepare(const QString& caption, const QString& prompt, const QString& remark, const QString& text);
    std::string EnteredText() const;
    QLineEdit* Entry() const { return entry_; }
    QLabel* Prompt() const { return prompt_; }
    QLabel* Remark() const { return remark_; }
    bool accepted = false;

  private:
    QLabel* prompt_;
    QLabel* remark_;
    QLineEdit* entry_;
};

class EntClipScaleFrm : public HelpLineDialog {
  public:
    explicit EntClipScaleFrm(QWidget* parent = nullptr);
    void SetText(const QString& text);
    std::string EnteredText() const;
    QLineEdit* Entry() const { return entry_; }
    bool accepted = false;

  private:
    QLineEdit* entry_;
};

// Each shows its dialog modally and gives the entered text after OK, nothing after Cancel.
std::optional<std::string> AskDurationText(QWidget* parent, const QString& caption, const QString& prompt,
                                           const QString& remark, const QString& text);
std::optional<std::string> AskViewScaleText(QWidget* parent, int32_t scale);

}  // namespace composer
