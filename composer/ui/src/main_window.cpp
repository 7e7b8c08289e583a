#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextBrowser>
#include <QUrl>

#include "base/app_state.h"
#include "base/failure.h"
#include "base/folders.h"
#include "base/guide.h"
#include "base/interaction.h"
#include "commands/clip_window_rules.h"
#include "commands/gui_thread.h"
#include "commands/main_commands.h"
#include "commands/main_window_rules.h"
#include "document/file_choice.h"
#include "document/movie_db.h"
#include "render/movie_render.h"
#include "render/render_options.h"
#include "ui/child_sub_window.h"
#include "ui/clip_window.h"
#include "ui/mixer_window.h"
#include "ui/movie_properties_dialog.h"
#include "ui/notice_dialogs.h"
#include "ui/play_window.h"

namespace composer {

namespace {

const QString kFirstHelpLine = QStringLiteral("Move mouse over any item to read its description here.");

}  // namespace

// The view seam of the windows: the mixer's rows and the clip window's panel.
class MainWindow::WindowView : public View {
  public:
    WindowView(MixerWindow* mixer, OneClip_Frm* clip) : mixer_(mixer), clip_(clip) {}
    void DrawMovieTracks() override {
        PostToGuiThread([mixer = mixer_] { mixer->RedrawMovieTracks(); });
    }
    void DrawUnusedTrack() override {
        PostToGuiThread([mixer = mixer_] { mixer->RedrawUnusedTrack(); });
    }
    void DrawClipPanel() override {
        PostToGuiThread([clip = clip_] { clip->DrawClipPanel(); });
    }

  private:
    MixerWindow* mixer_;
    OneClip_Frm* clip_;
};

MainWindow::MainWindow(Session& session, ExitSteps exitSteps)
    : session_(session),
      exitSteps_(std::move(exitSteps)),
      workArea_(new QMdiArea(this)),
      mixerFrame_(new MixerSubWindow(new MixerWindow(session))),
      clip_(new OneClip_Frm(session)),
      clipFrame_(new ChildSubWindow(clip_, "Clip Window", RestoreClipPlacement)),
      play_(new PlayFrm),
      playFrame_(new ChildSubWindow(play_, "Play Window", RestorePlayPlacement)),
      helpLine_(new QLabel(kFirstHelpLine, this)) {
    setObjectName(QStringLiteral("Mother_Frm"));
    workArea_->setObjectName(QStringLiteral("WorkArea"));
    setCentralWidget(workArea_);
    // The play window waits minimized until something plays in it.
    playFrame_->setObjectName(QStringLiteral("PlaySubWindow"));
    workArea_->addSubWindow(playFrame_);
    workArea_->addSubWindow(mixerFrame_);
    clipFrame_->setObjectName(QStringLiteral("ClipSubWindow"));
    workArea_->addSubWindow(clipFrame_);
    helpLine_->setObjectName(QStringLiteral("UserGuide"));
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(helpLine_, 1);
    statusBar()->setStatusTip(
        QStringLiteral("This is the status bar where you can read description of other items"));
    view_ = std::make_unique<WindowView>(Mixer(), clip_);
    clip_->SetPlayVideoHandler([this](const std::string& file, int width, int height) {
        ShowPlayWindow();
        play_->PlayAVIFile(file, width, height, false);
    });
    SetView(view_.get());
    Mixer()->SetPartPlayHandler([this] { RunCommand([this] { PartTestPlay(); }); });
    Mixer()->SetCancelHandler([this] { renders_.RequestStop(); });
    BuildMenus();
    UpdateMainAppTitle();
}

MainWindow::~MainWindow() {
    if (renders_.Running()) {
        renders_.RequestStop();
        renders_.WaitUntilFinished(60'000);
    }
    if (InstalledView() == view_.get()) SetView(nullptr);
}

MixerWindow* MainWindow::Mixer() const { return mixerFrame_->Mixer(); }

QAction* MainWindow::Action(const char* objectName) const {
    return findChild<QAction*>(QString::fromLatin1(objectName));
}

QAction* MainWindow::AddCommand(QMenu* menu, const char* objectName, const QString& caption,
                                std::function<void()> command) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(objectName));
    connect(action, &QAction::triggered, this, [this, command = std::move(command)] { RunCommand(command); });
    return action;
}

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FileMnu"));
    AddCommand(file, "NewMnu", QStringLiteral("&New"), [this] {
        NewMovieCommand(session_, mark_);
    })->setShortcut(QKeySequence::New);
    AddCommand(file, "OpenMnu", QStringLiteral("&Open"), [this] {
        OpenProjectCommand(session_, mark_);
    })->setShortcut(QKeySequence::Open);
    AddCommand(file, "SaveMnu1", QStringLiteral("&Save"), [this] {
        SaveProjectCommand(session_, mark_, SaveMode::Save);
    })->setShortcut(QKeySequence::Save);
    AddCommand(file, "SaveMnu2", QStringLiteral("Save &As .."), [this] {
        SaveProjectCommand(session_, mark_, SaveMode::SaveAs);
    })->setShortcut(QKeySequence::SaveAs);
    file->addSeparator();
    AddCommand(file, "SaveMovieMnu", QStringLiteral("Save &Movie"), [this] { SaveMovie(); });
    file->addSeparator();
    AddCommand(file, "MoviePropMnu", QStringLiteral("Movie &Properties"), [this] {
        MoviePropertiesCommand(session_, this);
        play_->Load(session_.Movie());
    });
    file->addSeparator();
    AddCommand(file, "ExitMnu", QStringLiteral("E&xit"), [this] {
        close();
    })->setShortcut(QKeySequence::Quit);

    QMenu* clip = menuBar()->addMenu(QStringLiteral("&Clip"));
    clip->setObjectName(QStringLiteral("ClipMnu"));
    AddCommand(clip, "AddClipMnu", QStringLiteral("Add &Video Clip"),
               [this] { AddClipCommand(session_, ClipFileKind::Video); });
    AddCommand(clip, "AddPicMnu", QStringLiteral("Add &Picture"),
               [this] { AddClipCommand(session_, ClipFileKind::Picture); });
    AddCommand(clip, "AddWavMnu", QStringLiteral("Add &Audio"),
               [this] { AddClipCommand(session_, ClipFileKind::Audio); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("HelpMainMnu"));
    AddCommand(help, "HelpMnu0", QStringLiteral("&Help Content"), [this] {
        OpenHelpTopic(100);
    })->setShortcut(QKeySequence::HelpContents);
    AddCommand(help, "HelpMnu1", QStringLiteral("&Features"), [this] { OpenHelpTopic(1020); });
    AddCommand(help, "HelpMnu2", QStringLiteral("How &To .."), [this] { OpenHelpTopic(700); });
    AddCommand(help, "HelpMnu3", QStringLiteral("&End User License Agreement"),
               [this] { OpenHelpTopic(1040); });
    help->addSeparator();
    AddCommand(help, "AboutMnu", QStringLiteral("&About"), [this] {
        About_Frm about(HelpTopicPage(session_.helpFolder, 100), this);
        about.exec();
    });

    // The pop-up menus of the original carry no command; they stay hidden.
    QMenu* popUps = menuBar()->addMenu(QStringLiteral("AllPopUp"));
    popUps->setObjectName(QStringLiteral("AllPopUpMnu"));
    popUps->addMenu(QStringLiteral("ArrangePop"))->addSeparator();
    popUps->addMenu(QStringLiteral("UnusedPop"))->addSeparator();
    popUps->menuAction()->setVisible(false);
}

void MainWindow::Load() {
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        resize(area.width() * 9 / 10, area.height() * 9 / 10);
    }
    UpdateMainAppTitle();
    session_.helpFolder = HelpFolderBesideProgram();
    RememberFolders(session_.dialogs, RememberMode::Load);
    mixerFrame_->show();
    mixerFrame_->RestorePlacement(workArea_->viewport()->size());
    playFrame_->show();
    playFrame_->RestorePlacement(workArea_->viewport()->size());
    play_->Load(session_.Movie());
    clipFrame_->show();
    clipFrame_->RestorePlacement(workArea_->viewport()->size());
    clip_->DrawClipPanel();
    playFrame_->showMinimized();
}

void MainWindow::ShowPlayWindow() {
    if (playFrame_->isMinimized()) playFrame_->showNormal();
    workArea_->setActiveSubWindow(playFrame_);
    playFrame_->raise();
}

void MainWindow::UpdateMainAppTitle() {
    setWindowTitle(QString::fromStdString(MainWindowTitle(session_.Movie())));
}

void MainWindow::MarkMovieSaved() { mark_.Mark(session_.Movie()); }

void MainWindow::RunCommand(const std::function<void()>& command) {
    GuardCommand(kProgramTitle, command);
    UpdateMainAppTitle();
}

void MainWindow::SetEditingEnabled(bool enabled) {
    for (const char* name : {"NewMnu", "OpenMnu", "SaveMnu1", "SaveMnu2", "SaveMovieMnu", "MoviePropMnu",
                             "AddClipMnu", "AddPicMnu", "AddWavMnu"})
        Action(name)->setEnabled(enabled);
    Mixer()->SetEditingEnabled(enabled);
    clip_->setEnabled(enabled);
}

void MainWindow::StartRender(const std::string& fileName, RenderRunner::Job job,
                             std::function<void(const RenderOutcome&)> finished) {
    SetEditingEnabled(false);
    // The windows render without the compressor's options dialog, with the stored compressor.
    const auto ended = [this, finished](const RenderOutcome& outcome) {
        SetEditingEnabled(true);
        Mixer()->ProgressHide();
        if (closing_) return;  // the program is ending: nothing more to say
        if (outcome.stopped) {
            MsgBox("The render was stopped: the unfinished movie was removed.\r\nThe file " +
                   outcome.fileName + " was left as it was.");
        } else if (finished) {
            finished(outcome);
        }
        UpdateMainAppTitle();
    };
    if (!renders_.Start(session_, fileName, RenderOptionsFromSettings(session_), std::move(job), ended))
        SetEditingEnabled(true);
}

void MainWindow::SaveMovie() {
    const std::string fileName = ChooseOutputAviFile(session_.dialogs.output);
    if (!fileName.empty()) SaveMovieTo(fileName);
}

void MainWindow::SaveMovieTo(const std::string& fileName) {
    StartRender(fileName,
                [fileName](MovieDbRec& movie, RenderOptions& options) {
                    const RenderReport report = composer::SaveMovie(movie, fileName, options);
                    ShowMessages(report.messages);
                    return report.written;
                },
                {});
}

void MainWindow::PartTestPlay() {
    const double start = session_.testPlay.startSeconds;
    const double end = start + session_.testPlay.durationSeconds;
    const std::string fileName = NewTempFileName("avi");
    StartRender(
        fileName,
        [fileName, start, end](MovieDbRec& movie, RenderOptions& options) {
            const RenderReport report = SavePartMovie(movie, fileName, start, end, options);
            ShowMessages(report.messages);
            return report.written;
        },
        [this](const RenderOutcome& outcome) {
            if (!outcome.written) return;
            ShowPlayWindow();
            play_->PlayAVIFile(outcome.fileName, session_.Movie().OutWidth, session_.Movie().OutHeight, true);
            // The render's progress is hidden by a call queued before this one, and the mixer it
            // lay on takes the focus back then: the play window comes up after that.
            QMetaObject::invokeMethod(
                this, [this] { ShowPlayWindow(); }, Qt::QueuedConnection);
        });
}

void MainWindow::OpenHelpTopic(int topic) {
    const std::string page = HelpTopicPage(session_.helpFolder, topic);
    if (page.empty()) {
        MsgBox("The help page of topic " + std::to_string(topic) + " is not installed.");
        return;
    }
    if (helpBrowser_ == nullptr) {
        helpBrowser_ = new QTextBrowser(this);
        helpBrowser_->setObjectName(QStringLiteral("HelpWindow"));
        helpBrowser_->setWindowFlag(Qt::Window);
        helpBrowser_->setWindowTitle(QString::fromUtf8(kProgramTitle) + QStringLiteral(" Help"));
        helpBrowser_->setOpenExternalLinks(true);
        helpBrowser_->resize(720, 560);
    }
    helpBrowser_->setSource(QUrl::fromLocalFile(QString::fromStdString(page)));
    helpBrowser_->show();
    helpBrowser_->raise();
    helpBrowser_->activateWindow();
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        helpLine_->setText(static_cast<QStatusTipEvent*>(event)->tip());
        helpLine_->repaint();
        return true;
    }
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closing_) return;
    if (renders_.Running() && !AskYesNo("A movie is being rendered.\r\nStop it and exit?")) {
        event->ignore();
        return;
    }
    if (!MayDropMovie(session_, mark_)) {
        event->ignore();
        return;
    }
    closing_ = true;
    renders_.RequestStop();
    renders_.WaitUntilFinished(60'000);
    RunExitSteps();
    event->accept();
}

void MainWindow::RunExitSteps() {
    const std::function<void()> windowSteps = [this] {
        RememberFolders(session_.dialogs, RememberMode::Store);
        mixerFrame_->Unload();
        clipFrame_->Unload({}, [clip = clip_] { clip->Unload(); });
        playFrame_->Unload({}, [play = play_] { play->StopAndClose(); });
        if (helpBrowser_ != nullptr) helpBrowser_->close();
    };
    if (exitSteps_) {
        exitSteps_(windowSteps);
    } else {
        windowSteps();
    }
}

void MainWindow::EndSession(int status) {
    if (closing_) return;
    closing_ = true;
    renders_.RequestStop();
    renders_.WaitUntilFinished(60'000);
    RunExitSteps();
    hide();
    QApplication::exit(status);
}

}  // namespace composer
