#pragma once
// A small strip of clickable commands (the mixer's command labels): each a flat button with a hand
// pointer and its help line, shown above the current clip's box.
#include <QFrame>
#include <functional>
#include <string>

class QHBoxLayout;
class QToolButton;

namespace composer {

// One clickable command label.
QToolButton* MakeCommandLabel(QWidget* parent, const QString& objectName, const QString& caption,
                              const QString& help, std::function<void()> action);

class CommandStrip : public QFrame {
  public:
    CommandStrip(const QString& objectName, QWidget* parent);
    QToolButton* Add(const QString& objectName, const QString& caption, const QString& help,
                     std::function<void()> action);
    // The strip at its natural size.
    void Fit();

    static constexpr int kHeight = 20;

  private:
    QHBoxLayout* layout_;
};

}  // namespace composer
