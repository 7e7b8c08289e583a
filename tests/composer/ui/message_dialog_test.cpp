// The message box: thousands of warning lines stay inside the screen with the buttons in reach,
// and every button gives its answer.
#include "ui/message_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace composer {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "windows_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

std::string CropWarnings(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += "Crop Top + Bottom is too high, both reset to zero (Clip: Clip " + std::to_string(i % 7) +
                ")\r\n";
    return text;
}

TEST(MessageDialogTest, ThousandsOfLinesScrollInsideTheScreen) {
    App();
    MessageDialog dialog(CropWarnings(5000), "Cinebrix Composer", MsgButtons::OK, MsgIcon::None);
    dialog.adjustSize();
    ASSERT_NE(dialog.textArea(), nullptr);
    EXPECT_GE(dialog.textArea()->document()->blockCount(), 5000);
    EXPECT_TRUE(dialog.textArea()->toPlainText().startsWith("Crop Top + Bottom is too high"));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(dialog.sizeHint().height(), screen.height());
    EXPECT_LE(dialog.sizeHint().width(), screen.width());
    EXPECT_EQ(dialog.buttonBox()->buttons().size(), 1);

    // A short message is a plain label.
    MessageDialog shortOne("Failed to create file", "Cinebrix Composer", MsgButtons::OK, MsgIcon::Critical);
    EXPECT_EQ(shortOne.textArea(), nullptr);
}

TEST(MessageDialogTest, EachButtonGivesItsAnswerAndClosingGivesTheSafeOne) {
    App();
    struct Case {
        MsgButtons buttons;
        QDialogButtonBox::StandardButton press;  // NoButton: the dialog is closed instead
        MsgAnswer expected;
    };
    const Case cases[] = {
        {MsgButtons::OK, QDialogButtonBox::Ok, MsgAnswer::OK},
        {MsgButtons::OKCancel, QDialogButtonBox::Cancel, MsgAnswer::Cancel},
        {MsgButtons::YesNo, QDialogButtonBox::Yes, MsgAnswer::Yes},
        {MsgButtons::YesNoCancel, QDialogButtonBox::No, MsgAnswer::No},
        {MsgButtons::RetryCancel, QDialogButtonBox::Retry, MsgAnswer::Retry},
        {MsgButtons::YesNo, QDialogButtonBox::NoButton, MsgAnswer::No},
        {MsgButtons::YesNoCancel, QDialogButtonBox::NoButton, MsgAnswer::Cancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.buttons));
        {
            // The first button is the default one: Enter gives it.
            MessageDialog shown("Text", "Title", c.buttons, MsgIcon::None);
            const QDialogButtonBox::StandardButton firstOfThem =
                c.buttons == MsgButtons::OK || c.buttons == MsgButtons::OKCancel ? QDialogButtonBox::Ok
                : c.buttons == MsgButtons::RetryCancel                           ? QDialogButtonBox::Retry
                                                                                 : QDialogButtonBox::Yes;
            const QPushButton* first = shown.buttonBox()->button(firstOfThem);
            ASSERT_NE(first, nullptr);
            EXPECT_TRUE(first->isDefault());
        }
        MessageDialog dialog(CropWarnings(c.press == QDialogButtonBox::Ok ? 100 : 1), "Title", c.buttons,
                             MsgIcon::Question);
        QTimer::singleShot(0, &dialog, [&dialog, &c] {
            if (c.press == QDialogButtonBox::NoButton) {
                dialog.reject();
            } else {
                dialog.buttonBox()->button(c.press)->click();
            }
        });
        dialog.exec();
        EXPECT_EQ(dialog.answer(), c.expected);
    }
}

}  // namespace
}  // namespace composer
