#include "ui/desktop_program.h"

#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>

#include "base/guide.h"
#include "base/interaction.h"
#include "document/open_project.h"
#include "ui/compressor_options_dialog.h"
#include "ui/mixer_window.h"
#include "ui/qt_interaction.h"

namespace composer {

int RunDesktopProgram(Session& session, int& argc, char** argv, const DesktopStart& start) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("cinebrix-composer"));
    QtInteraction seam;
    ScopedInteraction installed(seam);
    const ScopedCompressorDialog compressorDialog;

    MainWindow window(session, start.exitSteps);
    seam.SetParent(&window);
    seam.SetStatusLine(
        [&window](const std::string& text) { window.HelpLine()->setText(QString::fromStdString(text)); });
    MixerWindow* mixer = window.Mixer();
    seam.SetProgressDisplay({[mixer] { mixer->ProgressClear(); },
                             [mixer](double f) { mixer->ProgressFraction(f); },
                             [mixer](const std::string& text) { mixer->ProgressText(text); },
                             [mixer] { mixer->ProgressHide(); }});
    std::unique_ptr<QSocketNotifier> sessionSignals;
    if (start.signalHandle >= 0) {
        sessionSignals = std::make_unique<QSocketNotifier>(start.signalHandle, QSocketNotifier::Read);
        QObject::connect(sessionSignals.get(), &QSocketNotifier::activated, &window,
                         [&window, handle = start.signalHandle] {
                             char number = 0;
                             if (::read(handle, &number, 1) == 1) window.EndSession(128 + number);
                         });
    }
    window.show();
    window.Load();
    OpenProjectFromCommandLine(session, start.projectText);
    window.UpdateMainAppTitle();
    window.MarkMovieSaved();
    // The first tip comes once the windows are on the screen.
    QTimer::singleShot(0, &window, [&window, &session, shown = start.shown] {
        ShowGuideTip(session.showUserGuide,
                     "Move mouse over any item to read its description in the bottom status bar");
        if (shown) shown(window);
    });
    return QApplication::exec();
}

}  // namespace composer
