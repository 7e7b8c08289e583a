#include "ui/entry_dialogs.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace composer {

namespace {

// OK and Cancel: OK sets the flag, both close the dialog (the close box rejects, as Cancel).
template <typename Dialog>
QDialogButtonBox* OkCancel(Dialog* dialog) {
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("CancelBtn"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [dialog] {
        dialog->accepted = true;
        dialog->accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, [dialog] {
        dialog->accepted = false;
        dialog->reject();
    });
    return buttons;
}

}  // namespace

EntDurFrm::EntDurFrm(QWidget* parent)
    : HelpLineDialog(parent),
      prompt_(new QLabel(QStringLiteral("Enter Duration:"), this)),
      remark_(new QLabel(QStringLiteral("Additional Remark"), this)),
      entry_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("EntDurFrm"));
    setWindowTitle(QStringLiteral(" Jump or GoTo"));
    prompt_->setObjectName(QStringLiteral("PromptLbl"));
    remark_->setObjectName(QStringLiteral("RemarkLbl"));
    entry_->setObjectName(QStringLiteral("EnterDurTxt"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Duration:"), this));
    row->addWidget(entry_, 1);
    row->addWidget(new QLabel(QStringLiteral("(hh:mm:ss or seconds)"), this));
    layout->addLayout(row);
    layout->addWidget(remark_);
    layout->addWidget(OkCancel(this));
}

void EntDurFrm::Prepare(const QString& caption, const QString& prompt, const QString& remark,
                        const QString& text) {
    setWindowTitle(caption);
    prompt_->setText(prompt);
    remark_->setText(remark);
    entry_->setText(text);
    entry_->selectAll();
}

std::string EntDurFrm::EnteredText() const { return entry_->text().toStdString(); }

EntClipScaleFrm::EntClipScaleFrm(QWidget* parent) : HelpLineDialog(parent), entry_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("EntClipScaleFrm"));
    setWindowTitle(QStringLiteral(" Enter Clip View Scale"));
    entry_->setObjectName(QStringLiteral("FramesTxt"));
    entry_->setStatusTip(QStringLiteral("Number of frames."));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Show one frame for every"), this));
    row->addWidget(entry_, 1);
    row->addWidget(new QLabel(QStringLiteral("frames"), this));
    layout->addLayout(row);
    layout->addWidget(OkCancel(this));
}

void EntClipScaleFrm::SetText(const QString& text) {
    entry_->setText(text);
    entry_->selectAll();
}

std::string EntClipScaleFrm::EnteredText() const { return entry_->text().toStdString(); }

std::optional<std::string> AskDurationText(QWidget* parent, const QString& caption, const QString& prompt,
                                           const QString& remark, const QString& text) {
    EntDurFrm dialog(parent);
    dialog.Prepare(caption, prompt, remark, text);
    dialog.exec();
    if (!dialog.accepted) return std::nullopt;
    return dialog.EnteredText();
}

std::optional<std::string> AskViewScaleText(QWidget* parent, int32_t scale) {
    EntClipScaleFrm dialog(parent);
    dialog.SetText(QString::number(scale));
    dialog.exec();
    if (!dialog.accepted) return std::nullopt;
    return dialog.EnteredText();
}

}  // namespace composer
