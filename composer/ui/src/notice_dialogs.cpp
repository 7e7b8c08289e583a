#include "ui/notice_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include "base/app_state.h"
#include "base/interaction.h"
#include "commands/display_text.h"
#include "commands/main_commands.h"

#ifndef CB_VERSION
#define CB_VERSION "0"
#endif

namespace composer {

namespace {

QLabel* LinkLabel(QWidget* parent, const char* objectName, const QString& caption, const QString& address,
                  const QString& help) {
    auto* label = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(address, caption), parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setOpenExternalLinks(true);
    label->setTextInteractionFlags(Qt::TextBrowserInteraction);
    label->setStatusTip(help);
    label->setToolTip(help);
    return label;
}

QPushButton* AddButton(QDialogButtonBox* buttons, const char* objectName, const QString& caption,
                       QDialogButtonBox::ButtonRole role) {
    QPushButton* button = buttons->addButton(caption, role);
    button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

QLabel* WrappedLabel(QWidget* parent, const char* objectName, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setWordWrap(true);
    return label;
}

}  // namespace

UserGuideFrm::UserGuideFrm(QWidget* parent)
    : HelpLineDialog(parent),
      tip_(WrappedLabel(this, "GuideLbl", QString())),
      iKnow_(new QCheckBox(QStringLiteral("I know, don't tell me this again."), this)) {
    setObjectName(QStringLiteral("UserGuideFrm"));
    setWindowTitle(QStringLiteral("Guide"));
    setStatusTip(
        QStringLiteral("Optional guide text message. If you dont want to see any guide message like "
                       "this, set that option in options."));
    tip_->setStatusTip(QStringLiteral(
        "Optional guide. If you dont want to see any guide message, set that in \"Options\"."));
    tip_->setMinimumWidth(360);
    iKnow_->setObjectName(QStringLiteral("IKnowChk"));
    iKnow_->setStatusTip(
        QStringLiteral("Check this ON if you dont want to see this particular message again."));
    auto* stop = new QLabel(QStringLiteral("<a href=\"#\">How to stop this?</a>"), this);
    stop->setObjectName(QStringLiteral("StopThisLbl"));
    connect(stop, &QLabel::linkActivated, this, [this] { ExplainStopping(); });
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = AddButton(buttons, "OKBtn", QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setStatusTip(QStringLiteral("Click OK to proceed."));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tip_);
    layout->addWidget(iKnow_);
    auto* row = new QHBoxLayout;
    row->addWidget(stop);
    row->addStretch(1);
    row->addWidget(buttons);
    layout->addLayout(row);
}

void UserGuideFrm::SetTip(const QString& text) { tip_->setText(text); }

void UserGuideFrm::ExplainStopping() {
    // The normal pointer while the message is up, whatever the caller had.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    MsgBox(
        "If you dont want to see these user-guide-tips any more\r\nyou can put it off, see "
        "Menu-Tools-Option-UserGuide");
    QApplication::restoreOverrideCursor();
}

bool ShowUserGuideFrm(QWidget* parent, const std::string& message) {
    UserGuideFrm dialog(parent);
    dialog.SetTip(DisplayText(message));
    dialog.exec();
    return dialog.IKnow()->isChecked();
}

Dx8Frm::Dx8Frm(QWidget* parent) : HelpLineDialog(parent) {
    setObjectName(QStringLiteral("Dx8Frm"));
    setWindowTitle(QStringLiteral(" Need DirectX 8"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(WrappedLabel(this, "MsgLbl",
                                   QStringLiteral("You need to install DirectX8 or higher to play audio.")));
    layout->addWidget(WrappedLabel(
        this, "Label1",
        QStringLiteral("On this computer sound plays through the desktop's sound service; no sound output "
                       "device was found. Press F1 in the main window for help on setting one up.")));
    layout->addWidget(LinkLabel(this, "WebSiteLbl",
                                QStringLiteral("Click here to visit our web site to download DirectX8"),
                                QString::fromLatin1(kSoundHelpAddress), QString()));
    auto* buttons = new QDialogButtonBox(this);
    AddButton(buttons, "OK", QStringLiteral("Close"), QDialogButtonBox::RejectRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

About_Frm::About_Frm(const std::string& helpPage, QWidget* parent) : HelpLineDialog(parent) {
    setObjectName(QStringLiteral("About_Frm"));
    setWindowTitle(QStringLiteral(" About Cinebrix Composer"));
    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(style()->standardIcon(QStyle::SP_MediaPlay).pixmap(48, 48));
    auto* title = new QLabel(QString::fromUtf8(kProgramTitle), this);
    title->setObjectName(QStringLiteral("AppTitleLbl"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    auto* version = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(CB_VERSION)), this);
    version->setObjectName(QStringLiteral("open_lbl"));
    version->setStatusTip(QStringLiteral("Version"));
    auto* info = new QPlainTextEdit(this);
    info->setObjectName(QStringLiteral("InfoTxt"));
    info->setReadOnly(true);
    info->setStatusTip(QStringLiteral("Contact info"));
    info->setPlainText(QStringLiteral(
        "Compose movies from video clips, pictures and sounds: arrange them, lay clips over each other "
        "and render the movie into an AVI file.\n\nThis program is provided as it is, without warranty of "
        "any kind. See Help - End User License Agreement."));
    info->setMaximumHeight(110);
    auto* head = new QHBoxLayout;
    head->addWidget(logo);
    auto* names = new QVBoxLayout;
    names->addWidget(title);
    names->addWidget(version);
    head->addLayout(names, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(info);
    layout->addWidget(WrappedLabel(
        this, "AdditionLbl",
        QStringLiteral(
            "In addition to this we also have other music softwares. Please visit our web site.")));
    // The program's own pages stand in for a web site: they are installed with it.
    layout->addWidget(LinkLabel(this, "WebSiteLbl", QStringLiteral("The program's help pages"),
                                QUrl::fromLocalFile(QString::fromStdString(helpPage)).toString(),
                                QStringLiteral("Click to visit our web site")));
    auto* buttons = new QDialogButtonBox(this);
    AddButton(buttons, "OK", QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    AddButton(buttons, "Cancel_Btn", QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(440, sizeHint().height());
}

}  // namespace composer
