// Renders started from the windows: they run on a worker thread with the commands that edit the
// movie switched off, the Cancel button stops them and removes the unfinished movie, and the part
// test play plays its file in the play window. Needs the AVI library, registered for the test.
#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QImage>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "base/app_state.h"
#include "base/scripted_interaction.h"
#include "base/settings.h"
#include "document/movie_db.h"
#include "document/session.h"
#include "scratch_folder.h"
#include "ui/main_window.h"
#include "ui/mixer_window.h"
#include "ui/play_window.h"
#include "window_test_env.h"

namespace composer {
namespace {

class RenderWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { RegisterLibraryForTests(REGSVR_PATH, VIDMILL_LIBRARY_PATH); }

    void SetUp() override {
        UiTestApp();
        SetSettingsLocation(scratch.path(), "composer-test");
        WorkFolder = scratch.path();
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        const std::string picture = scratch / "still.bmp";
        image.save(QString::fromStdString(picture));
        session.ReplaceMovie(PictureMovie({picture}, {{1, {}}}, {}));
        session.output.compressor = 0;
        main = std::make_unique<MainWindow>(session);
        main->show();
        main->Load();
        main->MarkMovieSaved();
    }
    void TearDown() override {
        main.reset();
        SetSettingsLocation("");
        ClearMovie(session.EditMovie());
    }

    testing::ScratchFolder scratch;
    ScriptedInteraction seam;
    ScopedInteraction installedSeam{seam};
    Session session;
    std::unique_ptr<MainWindow> main;
};

TEST_F(RenderWindowTest, CancelStopsTheRenderAndRemovesTheUnfinishedMovie) {
    session.EditMovie().Clips[1].PicDuration = 600;  // far more frames than the test waits for
    const std::string movie = scratch / "long.avi";
    seam.fileAnswers = {movie};
    main->Action("SaveMovieMnu")->trigger();
    ASSERT_TRUE(main->Renders().Running());
    EXPECT_FALSE(main->Action("NewMnu")->isEnabled());
    EXPECT_FALSE(main->Mixer()->Command("MovieAddLbl0")->isEnabled());
    QToolButton* cancel = main->Mixer()->Command("CancelRenderLbl");
    ASSERT_TRUE(cancel->isVisible());

    // The windows keep handling events meanwhile.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300) QTest::qWait(10);
    ASSERT_TRUE(main->Renders().Running());
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_TRUE(main->Renders().WaitUntilFinished(30'000));

    EXPECT_FALSE(std::filesystem::exists(movie));
    EXPECT_TRUE(main->Action("NewMnu")->isEnabled());
    EXPECT_FALSE(cancel->isVisible());
    ASSERT_FALSE(seam.messages.empty());
    EXPECT_EQ(seam.messages.back().text,
              "The render was stopped: the unfinished movie was removed.\r\nThe file " + movie +
                  " was left as it was.");
}

TEST_F(RenderWindowTest, PartTestPlayRendersIntoTheWorkFolderAndPlaysIt) {
    session.EditMovie().Clips[1].PicDuration = 3;
    session.testPlay.startSeconds = 1;
    session.testPlay.durationSeconds = 0.5;
    QTest::mouseClick(main->Mixer()->Command("PartPlayLbl0"), Qt::LeftButton);
    ASSERT_TRUE(main->Renders().WaitUntilFinished(30'000));
    QTest::qWait(20);
    EXPECT_TRUE(seam.messages.empty());
    ASSERT_TRUE(main->PlayWindow()->IsOpen());
    const std::string file = main->PlayWindow()->FileName();
    EXPECT_EQ(file.rfind(scratch.path() + "/tm", 0), 0u) << file;
    EXPECT_TRUE(std::filesystem::exists(file)) << file;
    EXPECT_EQ(session.Movie().OutputPath, file);  // what the render learnt comes back into the movie
    // Closing the program while the test play is open deletes it.
    main->MarkMovieSaved();
    main->close();
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(RenderWindowTest, SaveMovieWithACancelledDialogDoesNothing) {
    seam.fileAnswers = {std::nullopt};
    main->Action("SaveMovieMnu")->trigger();
    EXPECT_FALSE(main->Renders().Running());
    EXPECT_TRUE(seam.messages.empty());
}

}  // namespace
}  // namespace composer
