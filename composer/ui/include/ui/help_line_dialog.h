#pragma once
// A dialog of the program whose controls' help texts reach the main window's status-bar help line.
// A dialog is a window of its own, so the desktop does not pass its status tips on; this does.
#include <QDialog>

namespace composer {

class HelpLineDialog : public QDialog {
  public:
    explicit HelpLineDialog(QWidget* parent) : QDialog(parent) {}

  protected:
    bool event(QEvent* event) override;
};

}  // namespace composer
