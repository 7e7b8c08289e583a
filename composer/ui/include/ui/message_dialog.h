#pragma once
// The program's message box. Short texts read as in any message box; a long one (the render's
// crop warnings can run to thousands of lines) goes into a scrolling, selectable text area, so
// the dialog never grows past the screen and its buttons stay in reach.
#include <QDialog>
#include <string>
#include <utility>
#include <vector>

#include "base/interaction.h"

class QAbstractButton;
class QDialogButtonBox;
class QPlainTextEdit;

namespace composer {

class MessageDialog : public QDialog {
  public:
    MessageDialog(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon icon,
                  QWidget* parent = nullptr);

    // The button chosen; closing the dialog without one gives SafeAnswer(buttons).
    MsgAnswer answer() const { return answer_; }
    // The scrolling text area of a long text; null when the text is shown as a label.
    QPlainTextEdit* textArea() const { return textArea_; }
    QDialogButtonBox* buttonBox() const { return buttonBox_; }

    // Texts longer than this many lines or characters scroll.
    static constexpr int kLabelLines = 25;
    static constexpr int kLabelCharacters = 2000;

  private:
    void choose(QAbstractButton* button);

    MsgAnswer answer_;
    std::vector<std::pair<QAbstractButton*, MsgAnswer>> choices_;
    QPlainTextEdit* textArea_ = nullptr;
    QDialogButtonBox* buttonBox_ = nullptr;
};

// Shows the dialog modally and returns the answer.
MsgAnswer ShowMessageDialog(const std::string& text, const std::string& title, MsgButtons buttons,
                            MsgIcon icon, QWidget* parent = nullptr);

}  // namespace composer
