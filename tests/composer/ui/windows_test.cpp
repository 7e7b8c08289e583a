// The main window and the mixer driven through their real widgets on Qt's offscreen platform, with
// the scripted seam answering the dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/failure.h"
#include "base/rounding.h"
#include "base/scripted_interaction.h"
#include "base/settings.h"
#include "commands/clip_window_rules.h"
#include "document/movie_db.h"
#include "document/session.h"
#include "media/clip_source.h"
#include "media/media_source_probe.h"
#include "scratch_folder.h"
#include "ui/clip_window.h"
#include "ui/compressor_options_dialog.h"
#include "ui/main_window.h"
#include "ui/mixer_window.h"
#include "ui/thumbnail_cache.h"
#include "ui/track_box.h"
#include "window_test_env.h"

namespace composer {
namespace {

class WindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        UiTestApp();
        SetSettingsLocation(scratch.path(), "composer-test");
        WorkFolder = scratch.path();
        session.view.arrangedTrackX = 20;
        session.view.unusedTrackX = 20;
        ClearMovie(session.EditMovie());
    }
    void TearDown() override {
        SetSettingsLocation("");
        ClearMovie(session.EditMovie());
    }

    // Pictures 1 to 4 in solid colours: arranged 1 (overlay 3) and 2, unused 4.
    void LoadSampleMovie() {
        const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
        std::vector<std::string> files;
        for (int i = 0; i < 4; ++i) {
            QImage image(64, 48, QImage::Format_RGB32);
            image.fill(colours[i]);
            files.push_back(scratch / ("picture" + std::to_string(i + 1) + ".bmp"));
            image.save(QString::fromStdString(files.back()));
        }
        session.ReplaceMovie(PictureMovie(files, {{1, {3}}, {2, {}}}, {4}));
    }

    MainWindow& OpenWindow() {
        window = std::make_unique<MainWindow>(session);
        window->show();
        window->Load();
        window->Mixer()->RedrawMovieTracks();
        window->Mixer()->RedrawUnusedTrack();
        window->MarkMovieSaved();
        return *window;
    }

    // A click on a command label of the mixer.
    void Click(const char* label) {
        QToolButton* button = window->Mixer()->Command(label);
        ASSERT_NE(button, nullptr) << label;
        ASSERT_TRUE(button->isVisibleTo(window.get())) << label;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    testing::ScratchFolder scratch;
    ScriptedInteraction seam;
    ScopedInteraction installedSeam{seam};
    Session session;
    std::unique_ptr<MainWindow> window;
};

// Presses a dividing line, moves the mouse `dy` pixels down (up when negative) and lets go.
void DragLine(QWidget* line, int dy, const std::function<void()>& whileHeld = {}) {
    QTest::mousePress(line, Qt::LeftButton, {}, QPoint(5, 2));
    const QPointF to(5, 2 + dy);
    QMouseEvent move(QEvent::MouseMove, to, line->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(line, &move);
    if (whileHeld) whileHeld();
    QTest::mouseRelease(line, Qt::LeftButton, {}, to.toPoint());
}

std::vector<std::string> Captions(const QList<QAction*>& actions) {
    std::vector<std::string> captions;
    for (const QAction* action : actions)
        captions.push_back(action->isSeparator() ? "-"
                                                 : action->text().remove(QLatin1Char('&')).toStdString());
    return captions;
}

TEST_F(WindowsTest, MenusInTheirOrderWithCaptionsAndKeys) {
    MainWindow& main = OpenWindow();
    const QList<QAction*> bar = main.menuBar()->actions();
    ASSERT_EQ(bar.size(), 4);
    EXPECT_EQ(Captions(bar), (std::vector<std::string>{"File", "Clip", "Help", "AllPopUp"}));
    EXPECT_FALSE(bar[3]->isVisible());
    EXPECT_EQ(Captions(bar[0]->menu()->actions()),
              (std::vector<std::string>{"New", "Open", "Save", "Save As ..", "-", "Save Movie", "-",
                                        "Movie Properties", "-", "Exit"}));
    EXPECT_EQ(Captions(bar[1]->menu()->actions()),
              (std::vector<std::string>{"Add Video Clip", "Add Picture", "Add Audio"}));
    EXPECT_EQ(Captions(bar[2]->menu()->actions()),
              (std::vector<std::string>{"Help Content", "Features", "How To ..", "End User License Agreement",
                                        "-", "About"}));
    EXPECT_EQ(bar[0]->text(), "&File");
    EXPECT_EQ(main.Action("NewMnu")->shortcut(), QKeySequence(QKeySequence::New));
    EXPECT_EQ(main.Action("OpenMnu")->shortcut(), QKeySequence(QKeySequence::Open));
    EXPECT_EQ(main.Action("SaveMnu1")->shortcut(), QKeySequence(QKeySequence::Save));
    EXPECT_EQ(main.Action("HelpMnu0")->shortcut(), QKeySequence(QKeySequence::HelpContents));
    EXPECT_EQ(main.windowTitle(), "Cinebrix Composer - New Movie [New file]");
    EXPECT_EQ(main.HelpLine()->text(), "Move mouse over any item to read its description here.");

    // Ctrl+N reaches New: its question is asked, and No keeps the movie.
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    session.EditMovie().MovieName = "Mine";
    seam.messageAnswers = {MsgAnswer::No};
    QTest::keyClick(&main, Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].text, "Create new blank file?");
    EXPECT_EQ(session.Movie().MovieName, "Mine");

    // Alt+F opens File, and N chooses New there.
    QMenu* file = bar[0]->menu();
    QTest::keyClick(&main, Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([file] { return file->isVisible(); }, 1000));
    seam.messageAnswers = {MsgAnswer::No};
    QTest::keyClick(file, Qt::Key_N);
    ASSERT_TRUE(QTest::qWaitFor([this] { return seam.messages.size() == 2; }, 1000));
    EXPECT_EQ(seam.messages[1].text, "Create new blank file?");
}

TEST_F(WindowsTest, TheMixerDrawsTheMovieAndClicksSelectAndMoveClips) {
    // Room for both rows of the upper box on the small offscreen screen.
    WriteSetting("Mixer Window", "Window Position", "0,0,6900,9900");
    WriteSetting("Mixer Window", "Box Heights", "380,0");
    LoadSampleMovie();
    MainWindow& main = OpenWindow();
    MixerWindow& mixer = *main.Mixer();
    ASSERT_TRUE(mixer.isVisible());
    QImage shot = mixer.MovieBox()->grab().toImage();
    EXPECT_EQ(mixer.MovieBox()->LastDrawnBoxes(), 3);
    // The pictures are drawn scaled into their boxes (first arranged red, its overlay blue).
    EXPECT_EQ(QColor(shot.pixel(110, 107)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(110, 282)), QColor(Qt::blue));
    const int decoded = mixer.Thumbnails().Decodes();
    mixer.MovieBox()->grab();
    EXPECT_EQ(mixer.Thumbnails().Decodes(), decoded);  // a redraw decodes nothing again

    // A click in the gap selects nothing; a click on the second box selects it and shows its strip.
    QTest::mouseClick(mixer.MovieBox(), Qt::LeftButton, {}, QPoint(210, 100));
    EXPECT_EQ(session.Movie().CurClip, 1);
    QTest::mouseClick(mixer.MovieBox(), Qt::LeftButton, {}, QPoint(250, 100));
    EXPECT_EQ(session.Movie().CurClip, 2);
    QWidget* strip = mixer.findChild<QWidget*>(QStringLiteral("MovieCmdPic"));
    ASSERT_TRUE(strip->isVisible());
    EXPECT_EQ(strip->x(), 220);
    EXPECT_EQ(strip->geometry().bottom() + 1, 40);

    Click("MovieShiftLbl0");  // <--
    EXPECT_EQ(session.Movie().Arranged[1].ClipIndex, 2);
    EXPECT_EQ(strip->x(), 20);  // the strip follows its clip
    Click("MovieUnuseLbl");     // Drop: straight down to unused position 1
    EXPECT_EQ(session.Movie().ArrangedCount, 1);
    EXPECT_EQ(session.Movie().Unused[1], 2);
    EXPECT_FALSE(strip->isVisible());
    EXPECT_TRUE(mixer.findChild<QWidget*>(QStringLiteral("UnuseCmdPic"))->isVisible());

    // Arranging a sound is refused with the two-line message.
    session.EditMovie().Clips[2].ClipType = ClipAudio;
    Click("UnuseArrangeLbl");
    ASSERT_FALSE(seam.messages.empty());
    EXPECT_EQ(seam.messages.back().text, "Audio can not be arranged,\r\nit can only overlay another clip");
    EXPECT_EQ(session.Movie().UnusedCount, 2);

    // Renaming through the name label.
    seam.inputAnswers = {std::string("Renamed")};
    Click("NameLbl1");
    EXPECT_EQ(session.Movie().Clips[2].ClipName, "Renamed");
}

TEST_F(WindowsTest, MixerMinimizesInsteadOfClosingAndStoresItsPlaceAtExit) {
    WriteSetting("Mixer Window", "Window Position", "150,300,6000,9000");
    WriteSetting("Mixer Window", "Box Heights", "10,0");
    std::vector<std::string> steps;
    window = std::make_unique<MainWindow>(session, [&steps](const std::function<void()>& windowSteps) {
        steps.push_back("output settings");
        windowSteps();
        steps.push_back("work folder");
    });
    window->show();
    window->Load();
    MixerSubWindow& frame = *window->MixerFrame();
    EXPECT_EQ(frame.geometry(), QRect(20, 10, 600, 400));
    // The line stored at 10 lies at 0.666 of the mixer's height.
    EXPECT_EQ(window->Mixer()->DividerTop(), RoundToInt32(0.666 * window->Mixer()->height()));

    frame.close();
    EXPECT_TRUE(frame.isMinimized());
    EXPECT_TRUE(window->WorkArea()->subWindowList().contains(&frame));
    frame.showNormal();
    frame.setGeometry(30, 45, 600, 400);

    // The line dragged down by 20 pixels.
    const int before = window->Mixer()->DividerTop();
    DragLine(window->Mixer()->DividerLine(), 20);
    EXPECT_EQ(window->Mixer()->DividerTop(), before + 20);
    EXPECT_EQ(window->Mixer()->MovieBox()->height(), before + 20);

    // A changed movie asks at close; Cancel keeps the window open.
    session.EditMovie().MovieName = "Unsaved";
    seam.messageAnswers = {MsgAnswer::Cancel};
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(steps.empty());
    seam.messageAnswers = {MsgAnswer::No};
    EXPECT_TRUE(window->close());
    EXPECT_EQ(steps, (std::vector<std::string>{"output settings", "work folder"}));
    EXPECT_EQ(ReadSetting("Mixer Window", "Window Position"), "675,450,6000,9000");
    EXPECT_EQ(ReadSetting("Mixer Window", "Box Heights"), std::to_string(before + 20) + ",0");
}

TEST_F(WindowsTest, ClipWindowsLineSizesItAgainstTheWindowDockedBelow) {
    MainWindow& main = OpenWindow();
    auto* clipFrame = qobject_cast<QMdiSubWindow*>(main.ClipWindow()->parentWidget());
    ASSERT_NE(clipFrame, nullptr);
    QMdiSubWindow* mixerFrame = main.MixerFrame();
    const int areaHeight = main.WorkArea()->viewport()->height();
    ASSERT_GE(areaHeight, 550);
    clipFrame->setGeometry(0, 0, 500, 250);
    mixerFrame->setGeometry(0, 250, 500, 300);
    QWidget* line = main.ClipWindow()->DividerLine();
    EXPECT_EQ(line->statusTip(), "Drag this line to size the boxes.");

    // 30 pixels down: the shadow follows while held; on release the clip window grows and the
    // mixer's top follows with its bottom kept.
    QWidget* shadow = nullptr;
    DragLine(line, 30, [&] {
        shadow = main.findChild<QWidget*>("DragPic");
        ASSERT_NE(shadow, nullptr);
        EXPECT_TRUE(shadow->isVisible());
        EXPECT_EQ(shadow->y(), line->mapTo(shadow->parentWidget(), QPoint(0, 0)).y() + 30);
    });
    EXPECT_FALSE(shadow->isVisible());
    EXPECT_EQ(clipFrame->geometry(), QRect(0, 0, 500, 280));
    EXPECT_EQ(mixerFrame->geometry(), QRect(0, 280, 500, 270));
    // Far up: the clip window keeps its smallest height.
    DragLine(line, -500);
    EXPECT_EQ(clipFrame->height(), kClipMinHeight);
    EXPECT_EQ(mixerFrame->geometry(), QRect(0, kClipMinHeight, 500, 550 - kClipMinHeight));
    // Far down: the mixer keeps its smallest height.
    DragLine(line, 1000);
    EXPECT_EQ(mixerFrame->height(), mixerFrame->minimumSizeHint().height());
    EXPECT_EQ(clipFrame->height() + mixerFrame->height(), 550);
    // With nothing docked below (the mixer minimized), the line goes as far as the work area's bottom.
    mixerFrame->showMinimized();
    const QRect minimized = mixerFrame->geometry();
    DragLine(line, 2000);
    EXPECT_EQ(clipFrame->height(), areaHeight);
    EXPECT_EQ(mixerFrame->geometry(), minimized);
}

TEST_F(WindowsTest, StatusHelpLinesReachTheStatusBar) {
    MainWindow& main = OpenWindow();
    MixerWindow& mixer = *main.Mixer();
    auto hover = [&](QWidget* widget) {
        QStatusTipEvent tip(widget->statusTip());
        QApplication::sendEvent(widget, &tip);
        return main.HelpLine()->text().toStdString();
    };
    EXPECT_EQ(hover(mixer.MovieBox()),
              "Main arranged clips and overlay clips attached to that are shown here.");
    EXPECT_EQ(hover(mixer.UnusedBox()), "Unused clips are shown here.");
    EXPECT_EQ(hover(mixer.DividerLine()), "Drag this line to size the boxes.");
    EXPECT_EQ(hover(mixer.Command("MovieAddLbl0")),
              "Click to add a new clip. Video, Picture or Audio. This is the first command to use.");
    EXPECT_EQ(hover(mixer.Command("PartPlayLbl2")), "Part movie test play duration. Click to change");
    EXPECT_EQ(hover(main.statusBar()),
              "This is the status bar where you can read description of other items");
    LoadSampleMovie();
    mixer.RedrawMovieTracks();
    EXPECT_EQ(hover(mixer.Command("MovieAddLbl0")),
              "Adds a new clip to arranged at the end. Video, Picture or Audio.");
}

TEST_F(WindowsTest, PartTestPlayQuestionsChangeTheirCaptions) {
    MainWindow& main = OpenWindow();
    MixerWindow& mixer = *main.Mixer();
    session.testPlay.durationSeconds = 10;
    seam.inputAnswers = {std::string("25"), std::string("0.05"), std::string("1:05")};
    Click("PartPlayLbl2");
    EXPECT_EQ(session.testPlay.durationSeconds, 10);
    Click("PartPlayLbl2");
    EXPECT_EQ(session.testPlay.durationSeconds, 0.1);
    EXPECT_EQ(mixer.Command("PartPlayLbl2")->text(), "for 00.10");
    Click("PartPlayLbl1");
    EXPECT_EQ(session.testPlay.startSeconds, 65);
    EXPECT_EQ(mixer.Command("PartPlayLbl1")->text(), "at 01:05");
    ASSERT_EQ(seam.inputs.size(), 3u);
    EXPECT_EQ(seam.inputs[0].prompt,
              "Enter duration for a short part test play\r\n(duration in seconds, maximum 20 seconds)");
}

TEST_F(WindowsTest, HelpTopicsOpenTheirPages) {
    MainWindow& main = OpenWindow();
    session.helpFolder = CB_HELP_SOURCE_DIR;
    for (const auto& [action, page] :
         {std::pair{"HelpMnu0", "100.html"}, std::pair{"HelpMnu1", "1020.html"},
          std::pair{"HelpMnu2", "700.html"}, std::pair{"HelpMnu3", "1040.html"}}) {
        main.Action(action)->trigger();
        ASSERT_NE(main.HelpBrowser(), nullptr);
        EXPECT_TRUE(main.HelpBrowser()->isVisible());
        EXPECT_TRUE(main.HelpBrowser()->source().toLocalFile().endsWith(QString::fromLatin1(page))) << page;
        EXPECT_FALSE(main.HelpBrowser()->toPlainText().isEmpty());
    }
    EXPECT_TRUE(seam.messages.empty());
    session.helpFolder = scratch.path();
    main.Action("HelpMnu1")->trigger();  // nothing installed anywhere: said in one message
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].text, "The help page of topic 1020 is not installed.");
}

// A box whose source cannot be read stays empty, and the reason is kept for the clip window to show
// until the file reads again.
TEST_F(WindowsTest, AThumbnailThatCannotBeReadLeavesItsReasonForTheClipWindow) {
    ClipRec clip;
    clip.ClipType = ClipPicture;
    clip.FilePath = scratch.Write("broken.png", "not a picture");
    std::string reason;
    try {
        (void)OpenClipSource(clip);
    } catch (const Failure& failure) {
        reason = failure.Reason();
    }
    ASSERT_FALSE(reason.empty());
    ThumbnailCache thumbnails;
    EXPECT_TRUE(thumbnails.Thumbnail(clip, 1, QSize(40, 30)).isNull());
    EXPECT_EQ(thumbnails.Problem(clip.FilePath), reason);
    QImage picture(32, 24, QImage::Format_RGB32);
    picture.fill(Qt::cyan);
    ASSERT_TRUE(picture.save(QString::fromStdString(clip.FilePath), "PNG"));
    EXPECT_FALSE(thumbnails.Thumbnail(clip, 1, QSize(20, 15)).isNull());
    EXPECT_EQ(thumbnails.Problem(clip.FilePath), "");
}

TEST_F(WindowsTest, FilesDroppedOnTheShelfAreAddedThereInTheirOrder) {
    MediaSourceProbe probe;
    ScopedSourceProbe installedProbe(probe);
    MainWindow& main = OpenWindow();
    QList<QUrl> urls;
    for (const char* name : {"b.bmp", "notes.txt", "a.bmp"}) {
        const std::string file = scratch / name;
        if (std::string(name).ends_with(".bmp")) {
            QImage image(32, 24, QImage::Format_RGB32);
            image.fill(Qt::cyan);
            image.save(QString::fromStdString(file));
        } else {
            scratch.Write(name, "not a clip");
        }
        urls << QUrl::fromLocalFile(QString::fromStdString(file));
    }
    QMimeData data;
    data.setUrls(urls);
    QWidget* shelf = main.Mixer()->UnusedBox();
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(shelf, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(shelf, &drop);
    ASSERT_EQ(session.Movie().UnusedCount, 2);
    EXPECT_EQ(session.Movie().Clips[static_cast<std::size_t>(session.Movie().Unused[1])].ClipName, "b.bmp");
    EXPECT_EQ(session.Movie().Clips[static_cast<std::size_t>(session.Movie().Unused[2])].ClipName, "a.bmp");
    EXPECT_EQ(session.Movie().ArrangedCount, 0);
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(
        seam.messages[0].text,
        (scratch / "notes.txt") + "\r\nFailed to add this file: it is not a video, picture or sound file");
}

TEST_F(WindowsTest, CompressorDialogShowsTheWritingCompressorsAndGivesTheChoice) {
    const std::vector<CompressorEntry> compressors = {
        {0x20424944, "DIB ", "Uncompressed", false, 0, 0},
        {0x4356534D, "MSVC", "Microsoft Video 1", true, 7500, 15},
    };
    cb::CompressorOptions start;
    start.handler = 0x4356534D;
    CompressorOptionsDialog dialog(compressors, start);
    EXPECT_EQ(dialog.CompressorList()->count(), 2);
    EXPECT_EQ(dialog.CompressorList()->currentIndex(), 1);  // the starting compressor is chosen
    EXPECT_EQ(dialog.Quality()->value(), 75);
    EXPECT_EQ(dialog.KeyFrameRate()->value(), 15);
    dialog.Quality()->setValue(40);
    EXPECT_EQ(dialog.Options().quality, 4000);
    dialog.CompressorList()->setCurrentIndex(0);
    EXPECT_FALSE(dialog.Quality()->isEnabled());
    EXPECT_EQ(dialog.Options().handler, 0x20424944u);
    {
        const ScopedCompressorDialog registered;
        EXPECT_TRUE(cb::HasCompressorDialogProvider());
    }
    EXPECT_FALSE(cb::HasCompressorDialogProvider());
}

}  // namespace
}  // namespace composer
