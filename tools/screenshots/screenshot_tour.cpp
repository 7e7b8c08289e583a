// cinebrix-screenshots PROJECT.CbMov FOLDER: starts the program's windows on a project (as
// `cinebrix-composer PROJECT.CbMov` does), drives them through a few states as a user would (the
// project opened, a clip selected, moved and dropped to the shelf, an overlay selected, a render in
// progress, the render cancelled, the help, the clip window on a video and its dividing line
// dragged, the mask window keying a green, the movie properties, a part test play in the play
// window) and writes one PNG of the whole screen per state into FOLDER.
// Meant for a virtual X display (scripts/screenshots.sh); the screen is captured from the display.
#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "base/app_state.h"
#include "base/folders.h"
#include "base/settings.h"
#include "cbplatform/media_log.h"
#include "commands/render_runner.h"
#include "document/movie_db.h"
#include "document/session.h"
#include "media/media_source_probe.h"
#include "ui/clip_window.h"
#include "ui/desktop_program.h"
#include "ui/main_window.h"
#include "ui/mixer_window.h"
#include "ui/play_window.h"
#include "ui/track_box.h"

namespace {

using composer::MainWindow;

struct Step {
    int delayMs;
    std::function<void(MainWindow&)> action;
    std::string shot;  // "" for no picture
    // When given, the step waits (after its delay) until this holds, for at most kWaitLimitMs.
    std::function<bool(MainWindow&)> ready = {};
};

constexpr int kPollMs = 20;
constexpr int kWaitLimitMs = 30000;

void Capture(const std::string& folder, const std::string& name) {
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    const std::string path = folder + "/" + name + ".png";
    if (!screen.save(QString::fromStdString(path)))
        std::fprintf(stderr, "cinebrix-screenshots: cannot write %s\n", path.c_str());
    std::printf("%s\n", path.c_str());
}

void ClickBox(composer::TrackBox* box, QPoint at) { QTest::mouseClick(box, Qt::LeftButton, {}, at); }

void ClickLabel(MainWindow& window, const char* name) {
    if (QToolButton* label = window.Mixer()->Command(name)) label->click();
}

void CloseMessage() {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
}

void ClickClipCommand(MainWindow& window, const char* name) {
    if (QToolButton* label = window.ClipWindow()->Command(name)) label->click();
}

// Mouse events on the clip window's dividing line, `dy` pixels below where it was pressed.
void SendToLine(MainWindow& window, QEvent::Type type, int dy) {
    QWidget* line = window.ClipWindow()->DividerLine();
    const QPointF at(20, 2 + dy);
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, line->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(line, &event);
}

void PressAndMoveLine(MainWindow& window, int dy) {
    SendToLine(window, QEvent::MouseButtonPress, 0);
    SendToLine(window, QEvent::MouseMove, dy);
}

void ReleaseLine(MainWindow& window, int dy) { SendToLine(window, QEvent::MouseButtonRelease, dy); }

// Opens a modal window from the event loop, so that the tour goes on (and pictures it) meanwhile.
void OpenModal(std::function<void()> open) { QTimer::singleShot(0, std::move(open)); }

bool PlayedAThird(MainWindow& window) {
    composer::PlayFrm* play = window.PlayWindow();
    if (!play->IsOpen() || !play->Player().Playing()) return false;
    return play->Player().Position() >= play->Player().Duration() / 3;
}

std::vector<Step> Tour(composer::Session& session, const std::string& movieFile) {
    return {
        {800, [](MainWindow&) {}, "01-demo-opened"},
        {300, [](MainWindow& w) { ClickBox(w.Mixer()->MovieBox(), QPoint(300, 100)); }, "02-clip-selected"},
        {300, [](MainWindow& w) { ClickLabel(w, "MovieShiftLbl1"); }, "03-clip-moved"},
        {300, [](MainWindow& w) { ClickLabel(w, "MovieUnuseLbl"); }, "04-clip-dropped-to-unused"},
        {300, [](MainWindow& w) { ClickBox(w.Mixer()->MovieBox(), QPoint(100, 280)); },
         "05-overlay-selected"},
        {300, [movieFile](MainWindow& w) { w.SaveMovieTo(movieFile); }, ""},
        {700, [](MainWindow&) {}, "06-render-in-progress"},
        {100, [](MainWindow& w) { ClickLabel(w, "CancelRenderLbl"); }, ""},
        {1500, [](MainWindow&) {}, "07-render-cancelled"},
        {100, [](MainWindow&) { CloseMessage(); }, ""},
        {300, [](MainWindow& w) { w.OpenHelpTopic(700); }, "08-help-how-to"},
        {100, [](MainWindow& w) { w.HelpBrowser()->close(); }, ""},
        // The clip window on the arranged video, zoomed out to one frame in three.
        {300,
         [](MainWindow& w) {
             ClickBox(w.Mixer()->MovieBox(), QPoint(100, 100));
             ClickClipCommand(w, "ZoomImg2");
             ClickClipCommand(w, "ZoomImg2");
         },
         "09-clip-window-video"},
        // The clip window's dividing line dragged 60 pixels down (its shadow showing), let go (the
        // clip window taller, the mixer's top following), and put back.
        {300, [](MainWindow& w) { PressAndMoveLine(w, 60); }, "09b-clip-line-dragged"},
        {100, [](MainWindow& w) { ReleaseLine(w, 60); }, "09c-clip-window-taller"},
        {100,
         [](MainWindow& w) {
             PressAndMoveLine(w, -60);
             ReleaseLine(w, -60);
         },
         ""},
        // The mask window on the bouncing ball, keying its green.
        {300,
         [](MainWindow& w) {
             ClickBox(w.Mixer()->MovieBox(), QPoint(100, 280));
             OpenModal([&w] { ClickClipCommand(w, "OverLayLbl6"); });
         },
         ""},
        {800, [](MainWindow&) {}, "10-mask-window-keying"},
        {100, [](MainWindow&) { CloseMessage(); }, ""},
        {300, [](MainWindow& w) { OpenModal([&w] { w.Action("MoviePropMnu")->trigger(); }); }, ""},
        {600, [](MainWindow&) {}, "11-movie-properties"},
        {100, [](MainWindow&) { CloseMessage(); }, ""},
        // A part test play of the first seconds, rendered and played in the play window.
        {300,
         [&session](MainWindow& w) {
             session.testPlay = {0, 5};
             ClickLabel(w, "PartPlayLbl0");
         },
         ""},
        // Pictured once the player is past the first third of the file, whatever the render took.
        {0, [](MainWindow&) {}, "12-play-window-mid-play", PlayedAThird},
        {100,
         [](MainWindow& w) {
             w.MarkMovieSaved();
             w.close();
         },
         ""},
    };
}

void RunStep(MainWindow& window, std::vector<Step> steps, std::size_t index, std::string folder);

// Runs a step's action once its condition holds (or the wait ran out), then pictures it.
void ActWhenReady(MainWindow& window, std::vector<Step> steps, std::size_t index, std::string folder,
                  int waitedMs) {
    const Step& step = steps[index];
    if (step.ready && !step.ready(window)) {
        if (waitedMs < kWaitLimitMs) {
            QTimer::singleShot(kPollMs, &window, [&window, steps, index, folder, waitedMs] {
                ActWhenReady(window, steps, index, folder, waitedMs + kPollMs);
            });
            return;
        }
        std::fprintf(stderr, "cinebrix-screenshots: %s: the state did not come, pictured as it is\n",
                     step.shot.c_str());
    }
    step.action(window);
    QTimer::singleShot(step.ready ? 0 : 150, &window, [&window, steps, index, folder] {
        if (!steps[index].shot.empty()) Capture(folder, steps[index].shot);
        RunStep(window, steps, index + 1, folder);
    });
}

void RunStep(MainWindow& window, std::vector<Step> steps, std::size_t index, std::string folder) {
    if (index >= steps.size()) return;
    QTimer::singleShot(steps[index].delayMs, &window,
                       [&window, steps, index, folder] { ActWhenReady(window, steps, index, folder, 0); });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: cinebrix-screenshots PROJECT.CbMov FOLDER\n");
        return 2;
    }
    const std::string project = argv[1];
    const std::string folder = argv[2];
    // The same settings file as the program's.
    composer::SetSettingsLocation(composer::SettingsFolder(), "cinebrix-composer");
    composer::Session session;
    composer::MediaSourceProbe probe(&session.notices);
    composer::ScopedSourceProbe installed(probe);
    cb::QuietMediaLog();
    composer::RunStartupSteps(session);
    const std::string movieFile = composer::WorkFolder + "/tour.avi";
    composer::DesktopStart start;
    start.projectText = project;
    start.exitSteps = [&session](const std::function<void()>& steps) {
        composer::RunExitSteps(session, steps);
    };
    start.shown = [&session, movieFile, folder](MainWindow& window) {
        // The help pages beside the program, which is named cinebrix-composer.
        session.helpFolder = composer::AppFolder + "/cinebrix-composer-help";
        RunStep(window, Tour(session, movieFile), 0, folder);
    };
    int count = 1;
    return composer::RunDesktopProgram(session, count, argv, start);
}
