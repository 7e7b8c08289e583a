#include "ui/qt_interaction.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QStatusBar>

#include "base/app_state.h"
#include "base/color.h"
#include "commands/display_text.h"
#include "commands/gui_thread.h"
#include "commands/main_window_rules.h"
#include "ui/message_dialog.h"
#include "ui/notice_dialogs.h"

namespace composer {

namespace {

QStringList QtFilters(const std::string& filter) {
    QStringList filters;
    for (const std::string& entry : DialogFilters(filter)) filters << QString::fromStdString(entry);
    return filters;
}

// The file dialog of a request, before it is shown.
void PrepareFileDialog(QFileDialog& dialog, const FileChoiceRequest& request) {
    dialog.setWindowTitle(QString::fromStdString(request.title));
    const QStringList filters = QtFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    const bool save = request.mode == FileDialogMode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save || !request.fileMustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    const QString previous = QString::fromStdString(request.fileName);
    const QString folder = QString::fromStdString(request.initialFolder);
    if (!folder.isEmpty()) {
        dialog.setDirectory(folder);
    } else if (!previous.isEmpty()) {
        dialog.setDirectory(QFileInfo(previous).absolutePath());
    }
    if (!previous.isEmpty()) dialog.selectFile(QFileInfo(previous).fileName());
}

}  // namespace

MsgAnswer QtInteraction::ShowMessage(const std::string& text, const std::string& title, MsgButtons buttons,
                                     MsgIcon icon) {
    MsgAnswer answer = SafeAnswer(buttons);
    RunOnGuiThread([&] { answer = ShowMessageDialog(text, title, buttons, icon, parent_); });
    return answer;
}

std::optional<std::string> QtInteraction::AskInput(const std::string& prompt, const std::string& title,
                                                   const std::string& defaultText) {
    std::optional<std::string> answer;
    RunOnGuiThread([&] {
        bool ok = false;
        const QString text =
            QInputDialog::getText(parent_, QString::fromStdString(title), DisplayText(prompt),
                                  QLineEdit::Normal, QString::fromStdString(defaultText), &ok);
        if (ok) answer = text.toStdString();
    });
    return answer;
}

std::optional<int32_t> QtInteraction::ChooseColor(int32_t initialColor) {
    std::optional<int32_t> answer;
    RunOnGuiThread([&] {
        const RgbBytes rgb = SplitColor(initialColor);
        const QColor chosen = QColorDialog::getColor(QColor(rgb.red, rgb.green, rgb.blue), parent_);
        if (chosen.isValid()) answer = chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
    });
    return answer;
}

std::optional<std::string> QtInteraction::ChooseFile(const FileChoiceRequest& request) {
    std::optional<std::string> answer;
    RunOnGuiThread([&] {
        QFileDialog dialog(parent_);
        PrepareFileDialog(dialog, request);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            answer = dialog.selectedFiles().first().toStdString();
    });
    return answer;
}

void QtInteraction::SetWaitCursor(bool busy) {
    PostToGuiThread([busy] {
        if (busy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    });
}

void QtInteraction::ProgressClear() {
    if (progress_.clear) PostToGuiThread(progress_.clear);
}

void QtInteraction::ProgressFraction(double fraction) {
    if (progress_.fraction) PostToGuiThread([show = progress_.fraction, fraction] { show(fraction); });
}

void QtInteraction::ProgressText(const std::string& text) {
    if (progress_.text) PostToGuiThread([show = progress_.text, text] { show(text); });
}

void QtInteraction::ProgressHide() {
    if (progress_.hide) PostToGuiThread(progress_.hide);
}

void QtInteraction::StatusHelp(const std::string& text) {
    if (statusLine_) PostToGuiThread([line = statusLine_, text] { line(text); });
}

bool QtInteraction::ShowGuideWindow(const std::string& message) {
    bool know = false;
    RunOnGuiThread([&] { know = ShowUserGuideFrm(parent_, message); });
    return know;
}

}  // namespace composer
