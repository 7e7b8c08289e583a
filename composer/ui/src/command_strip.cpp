#include "ui/command_strip.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace composer {

QToolButton* MakeCommandLabel(QWidget* parent, const QString& objectName, const QString& caption,
                              const QString& help, std::function<void()> action) {
    auto* label = new QToolButton(parent);
    label->setObjectName(objectName);
    label->setText(caption);
    label->setStatusTip(help);
    label->setToolTip(help);
    label->setAutoRaise(true);
    label->setCursor(Qt::PointingHandCursor);
    label->setFixedHeight(CommandStrip::kHeight);
    label->setFocusPolicy(Qt::TabFocus);
    QObject::connect(label, &QToolButton::clicked, label, [action = std::move(action)] { action(); });
    return label;
}

CommandStrip::CommandStrip(const QString& objectName, QWidget* parent)
    : QFrame(parent), layout_(new QHBoxLayout(this)) {
    setObjectName(objectName);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    hide();
}

QToolButton* CommandStrip::Add(const QString& objectName, const QString& caption, const QString& help,
                               std::function<void()> action) {
    QToolButton* label = MakeCommandLabel(this, objectName, caption, help, std::move(action));
    layout_->addWidget(label);
    return label;
}

void CommandStrip::Fit() { resize(sizeHint().width(), kHeight); }

}  // namespace composer
