#include "ui/message_dialog.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>
#include <vector>

#include "commands/display_text.h"

namespace composer {
namespace {

bool IsLong(const QString& text) {
    return text.count(QLatin1Char('\n')) >= MessageDialog::kLabelLines ||
           text.size() > MessageDialog::kLabelCharacters;
}

QStyle::StandardPixmap IconPixmap(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Information:
            return QStyle::SP_MessageBoxInformation;
        case MsgIcon::Exclamation:
            return QStyle::SP_MessageBoxWarning;
        case MsgIcon::Critical:
            return QStyle::SP_MessageBoxCritical;
        case MsgIcon::Question:
            return QStyle::SP_MessageBoxQuestion;
        case MsgIcon::None:
            break;
    }
    return QStyle::SP_CustomBase;
}

std::vector<std::pair<QDialogButtonBox::StandardButton, MsgAnswer>> ButtonsOf(MsgButtons buttons) {
    using B = QDialogButtonBox;
    switch (buttons) {
        case MsgButtons::OK:
            return {{B::Ok, MsgAnswer::OK}};
        case MsgButtons::OKCancel:
            return {{B::Ok, MsgAnswer::OK}, {B::Cancel, MsgAnswer::Cancel}};
        case MsgButtons::YesNo:
            return {{B::Yes, MsgAnswer::Yes}, {B::No, MsgAnswer::No}};
        case MsgButtons::YesNoCancel:
            return {{B::Yes, MsgAnswer::Yes}, {B::No, MsgAnswer::No}, {B::Cancel, MsgAnswer::Cancel}};
        case MsgButtons::RetryCancel:
            return {{B::Retry, MsgAnswer::Retry}, {B::Cancel, MsgAnswer::Cancel}};
    }
    return {{B::Ok, MsgAnswer::OK}};
}

// The text area of a long text: as wide as its longest line and as tall as its lines, within
// most of the screen.
QSize TextAreaSize(const QPlainTextEdit& area, const QString& text) {
    const QRect screen = QGuiApplication::primaryScreen() != nullptr
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1024, 768);
    const QFontMetrics metrics(area.font());
    int widest = 0;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    const int frame = 2 * area.frameWidth() + area.style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 16;
    const int width = std::clamp(widest + frame, 320, screen.width() * 3 / 4);
    const int height = std::clamp(static_cast<int>(lines.size()) * metrics.lineSpacing() + frame, 120,
                                  screen.height() * 3 / 5);
    return {width, height};
}

}  // namespace

MessageDialog::MessageDialog(const std::string& text, const std::string& title, MsgButtons buttons,
                             MsgIcon icon, QWidget* parent)
    : QDialog(parent), answer_(SafeAnswer(buttons)) {
    setWindowTitle(QString::fromStdString(title));
    auto* layout = new QVBoxLayout(this);
    auto* body = new QHBoxLayout();
    layout->addLayout(body);
    if (icon != MsgIcon::None) {
        auto* picture = new QLabel(this);
        const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        picture->setPixmap(style()->standardIcon(IconPixmap(icon), nullptr, this).pixmap(side, side));
        picture->setAlignment(Qt::AlignTop);
        body->addWidget(picture);
    }
    const QString shown = DisplayText(text);
    if (IsLong(shown)) {
        textArea_ = new QPlainTextEdit(this);
        textArea_->setReadOnly(true);
        textArea_->setLineWrapMode(QPlainTextEdit::NoWrap);
        textArea_->setPlainText(shown);
        textArea_->setMinimumSize(TextAreaSize(*textArea_, shown));
        body->addWidget(textArea_, 1);
    } else {
        auto* label = new QLabel(shown, this);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setWordWrap(true);
        body->addWidget(label, 1);
    }
    buttonBox_ = new QDialogButtonBox(this);
    for (const auto& [button, choice] : ButtonsOf(buttons))
        choices_.emplace_back(buttonBox_->addButton(button), choice);
    // The first button answers Enter, as in the program's message boxes; Escape gives the safe answer.
    if (auto* first = qobject_cast<QPushButton*>(choices_.front().first)) {
        first->setDefault(true);
        first->setFocus();
    }
    connect(buttonBox_, &QDialogButtonBox::clicked, this, &MessageDialog::choose);
    layout->addWidget(buttonBox_);
}

void MessageDialog::choose(QAbstractButton* button) {
    for (const auto& [shown, choice] : choices_) {
        if (shown == button) answer_ = choice;
    }
    accept();
}

MsgAnswer ShowMessageDialog(const std::string& text, const std::string& title, MsgButtons buttons,
                            MsgIcon icon, QWidget* parent) {
    MessageDialog dialog(text, title, buttons, icon, parent);
    dialog.exec();
    return dialog.answer();
}

}  // namespace composer
