// The clip window on a video clip, the play window and the movie properties dialog, against the
// registered AVI library: frames stepped, jumped to and zoomed, the used range set, files played
// with the program's own player, test-play files deleted, the compressor list read from the library.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "app_state_guard.h"
#include "base/app_state.h"
#include "base/scripted_interaction.h"
#include "base/settings.h"
#include "document/movie_db.h"
#include "document/session.h"
#include "render/movie_render.h"
#include "render/render_options.h"
#include "scratch_folder.h"
#include "ui/clip_window.h"
#include "ui/entry_dialogs.h"
#include "ui/main_window.h"
#include "ui/movie_properties_dialog.h"
#include "ui/play_window.h"
#include "vidmill/vidmill.h"
#include "window_test_env.h"

namespace composer {
namespace {

constexpr int32_t kFrames = 50;  // two seconds at 25 frames per second

class VideoWindowsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { RegisterLibraryForTests(REGSVR_PATH, VIDMILL_LIBRARY_PATH); }

    void SetUp() override {
        UiTestApp();
        SetSettingsLocation(scratch.path(), "composer-test");
        WorkFolder = scratch.path();
        session.view.clipViewScale = 1;
        video = RenderVideo("clip.avi");
        ClearMovie(session.EditMovie());
        ClipRec clip;
        clip.ClipType = ClipVideo;
        clip.FilePath = video;
        clip.ClipName = "clip";
        clip.SrcFps = 25;
        clip.FrameCount = kFrames;
        clip.SrcWidth = 64;
        clip.SrcHeight = 48;
        clip.UseFirst = 1;
        clip.UseLast = kFrames;
        clip.CurFrame = 1;
        session.EditMovie().Clips.push_back(clip);
        session.EditMovie().ClipCount = 1;
        session.EditMovie().Arranged.push_back({1, {0}, 0});
        session.EditMovie().ArrangedCount = 1;
        session.EditMovie().CurClip = 1;
        main = std::make_unique<MainWindow>(session);
        main->show();
        main->Load();
        main->MarkMovieSaved();
        clipWindow = main->ClipWindow();
    }
    void TearDown() override {
        main.reset();
        SetSettingsLocation("");
        ClearMovie(session.EditMovie());
    }

    // A 64 x 48 uncompressed video of two seconds: red, then blue.
    std::string RenderVideo(const std::string& name) {
        std::vector<std::string> pictures;
        for (const QColor& colour : {QColor(Qt::red), QColor(Qt::blue)}) {
            QImage image(64, 48, QImage::Format_RGB32);
            image.fill(colour);
            pictures.push_back(scratch / (colour.name().mid(1).toStdString() + ".bmp"));
            image.save(QString::fromStdString(pictures.back()));
        }
        MovieDbRec movie = PictureMovie(pictures, {{1, {}}, {2, {}}}, {});
        movie.OutWidth = 64;
        movie.OutHeight = 48;
        movie.OutFps = 25;
        RenderOptions options;
        options.compressor = vidmill::FourCC("DIB ");
        const std::string file = scratch / name;
        EXPECT_TRUE(SaveMovie(movie, file, options));
        return file;
    }

    void Click(const char* command) {
        QToolButton* button = clipWindow->Command(command);
        ASSERT_NE(button, nullptr) << command;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // Jump or Goto with an answer typed into the duration dialog (nothing: Cancel).
    void EnterDuration(const char* command, std::optional<std::string> answer) {
        WhenDialogShows<EntDurFrm>([answer](EntDurFrm& dialog) {
            if (!answer) {
                QTest::mouseClick(dialog.findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
                return;
            }
            dialog.Entry()->setText(QString::fromStdString(*answer));
            QTest::mouseClick(dialog.findChild<QPushButton*>("OkBtn"), Qt::LeftButton);
        });
        Click(command);
    }

    testing::AppStateGuard globals;
    testing::ScratchFolder scratch;
    ScriptedInteraction seam;
    ScopedInteraction installedSeam{seam};
    std::string video;
    Session session;
    std::unique_ptr<MainWindow> main;
    OneClip_Frm* clipWindow = nullptr;
};

TEST_F(VideoWindowsTest, StripFactsArrowsJumpGotoAndZoom) {
    clipWindow->resize(900, 300);
    clipWindow->DrawClipPanel();
    QTest::qWait(20);
    clipWindow->Strip()->repaint();
    ASSERT_GE(clipWindow->ShownFrames().size(), 3u);
    EXPECT_EQ(clipWindow->ShownFrames()[0], 1);
    EXPECT_EQ(clipWindow->ShownFrames()[1], 2);
    EXPECT_EQ(clipWindow->Fact(2)->text(), "Total duration: 50/02");
    EXPECT_EQ(clipWindow->Fact(4)->text(), "Frame Speed: 25 FPS");

    // An arrow steps once when pressed and every 40 ms while held.
    QToolButton* forward = clipWindow->Command("ScrollImg2");
    QTest::mousePress(forward, Qt::LeftButton);
    EXPECT_EQ(session.Movie().Clips[1].CurFrame, 2);
    QTest::qWait(130);
    QTest::mouseRelease(forward, Qt::LeftButton);
    const int32_t held = session.Movie().Clips[1].CurFrame;
    EXPECT_GE(held, 4);
    QTest::qWait(100);
    EXPECT_EQ(session.Movie().Clips[1].CurFrame, held);  // stopped with the release

    EnterDuration("JumpLbl1", "1");  // Goto 1 s: frame 25
    EXPECT_EQ(session.Movie().Clips[1].CurFrame, 25);
    EnterDuration("JumpLbl0", std::nullopt);  // Cancel leaves the frame
    EXPECT_EQ(session.Movie().Clips[1].CurFrame, 25);
    EnterDuration("JumpLbl0", "-10");
    EXPECT_EQ(session.Movie().Clips[1].CurFrame, 1);
    EnterDuration("JumpLbl1", "0");
    EXPECT_EQ(session.Movie().Clips[1].CurFrame, 1);

    for (int32_t expected : {2, 3, 5}) {
        Click("ZoomImg2");
        EXPECT_EQ(session.view.clipViewScale, expected);
    }
    WhenDialogShows<EntClipScaleFrm>([](EntClipScaleFrm& dialog) {
        EXPECT_EQ(dialog.Entry()->text(), "5");
        dialog.Entry()->setText("2000");
        QTest::mouseClick(dialog.findChild<QPushButton*>("OkBtn"), Qt::LeftButton);
    });
    Click("ScaleLbl");
    EXPECT_EQ(session.view.clipViewScale, 5);
    clipWindow->Strip()->repaint();
    ASSERT_GE(clipWindow->ShownFrames().size(), 2u);
    EXPECT_EQ(clipWindow->ShownFrames()[1], 6);
    Click("ZoomImg3");
    EXPECT_EQ(session.view.clipViewScale, 1);
}

TEST_F(VideoWindowsTest, UsedRangeStartAndEnd) {
    session.EditMovie().Clips[1].CurFrame = 30;
    Click("RangeLbl1");
    EXPECT_EQ(session.Movie().Clips[1].UseFirst, 30);
    session.EditMovie().Clips[1].CurFrame = 10;
    Click("RangeLbl2");  // before the start: the start becomes 1
    EXPECT_EQ(session.Movie().Clips[1].UseFirst, 1);
    EXPECT_EQ(session.Movie().Clips[1].UseLast, 10);
    EXPECT_EQ(clipWindow->Fact(1)->text(), "Used duration: 10/00.40");
    Click("RangeLbl0");
    ASSERT_FALSE(seam.messages.empty());
    EXPECT_EQ(seam.messages.back().text.rfind("Scroll the frames and bring the desired frame", 0), 0u);
}

TEST_F(VideoWindowsTest, PlayWindowPlaysInStepAndDeletesATestFileWhenTheNextFileOpens) {
    PlayFrm* play = main->PlayWindow();
    const std::string testPlay = RenderVideo("test-play.avi");
    play->PlayAVIFile(testPlay, 0, 0, true);
    ASSERT_TRUE(play->IsOpen());
    EXPECT_EQ(play->SizeLabel()->text(), "Size: w0 x h0");
    EXPECT_GE(play->Picture()->width(), 400);
    EXPECT_GE(play->Picture()->height(), 300);
    QTest::qWait(400);
    EXPECT_GT(play->ShownFrame(), 1);
    EXPECT_TRUE(play->Player().Playing());
    // The picture follows the clock.
    EXPECT_LE(std::abs(play->ShownFrame() - play->Player().DueFrame()), 1);

    play->Pause();
    const int32_t paused = play->ShownFrame();
    QTest::qWait(100);
    EXPECT_EQ(play->ShownFrame(), paused);
    play->PositionSlider()->setValue(900);  // the user moves the slider
    EXPECT_EQ(play->ShownFrame(), 46);

    // The clip's own file next: the test file goes, the clip's file stays, also after closing.
    QTest::mouseClick(clipWindow->Command("PlayImg"), Qt::LeftButton);
    EXPECT_FALSE(std::filesystem::exists(testPlay));
    EXPECT_EQ(play->FileName(), video);
    EXPECT_EQ(play->SizeLabel()->text(), "Size: w64 x h48");
    play->StopAndClose();
    EXPECT_TRUE(std::filesystem::exists(video));
}

TEST_F(VideoWindowsTest, PlayWindowNamesFilesItCannotPlay) {
    PlayFrm* play = main->PlayWindow();
    play->PlayAVIFile(video, 64, 48, false);
    play->PlayAVIFile(scratch / "missing.avi", 64, 48, false);  // in the work folder: no name
    play->PlayAVIFile("/no-such-folder/missing.avi", 64, 48, false);
    ASSERT_EQ(seam.messages.size(), 2u);
    EXPECT_EQ(seam.messages[0].text, "File not found to play");
    EXPECT_EQ(seam.messages[1].text, "/no-such-folder/missing.avi\r\nFile not found to play");
    EXPECT_EQ(play->FileName(), video);  // the current file plays on

    const std::string broken = scratch / "broken.avi";
    std::ofstream(broken) << "not a movie";
    play->PlayAVIFile(broken, 64, 48, false);
    ASSERT_EQ(seam.messages.size(), 3u);
    EXPECT_EQ(seam.messages[2].text.rfind(broken + "\r\nThis file cannot be played", 0), 0u)
        << seam.messages[2].text;
    EXPECT_FALSE(play->IsOpen());
}

TEST_F(VideoWindowsTest, PlayWindowNotesAFrameThatCannotBeRead) {
    PlayFrm* play = main->PlayWindow();
    const std::string cut = RenderVideo("cut-while-playing.avi");
    play->PlayAVIFile(cut, 64, 48, false);
    ASSERT_TRUE(play->IsOpen());
    play->Pause();
    EXPECT_EQ(play->FrameNote(), "");
    std::filesystem::resize_file(cut, 2000);  // the file cut short under the player
    play->PositionSlider()->setValue(900);
    const std::string note = play->FrameNote().toStdString();
    EXPECT_EQ(note.rfind("Frame 46 cannot be shown: ", 0), 0u) << note;
    EXPECT_GT(note.size(), std::string("Frame 46 cannot be shown: ").size());
    play->StopAndClose();
}

TEST_F(VideoWindowsTest, MoviePropertiesListsTheLibrarysCompressorsAndRefusesBadEntries) {
    session.output.compressor = 0;
    session.EditMovie().OutChannels = 2;
    session.EditMovie().OutBits = 16;
    session.EditMovie().OutRate = 22050;
    WhenDialogShows<MoviePropFrm>([this](MoviePropFrm& dialog) {
        QComboBox* compressors = dialog.CompCmb();
        ASSERT_GE(compressors->count(), 2);
        EXPECT_EQ(compressors->itemText(0), "No compression");
        EXPECT_EQ(compressors->currentData().toInt(), vidmill::FourCC("MSVC"));
        EXPECT_EQ(dialog.SampRatCmb()->currentText(), "22050");
        EXPECT_EQ(dialog.findChild<QLabel*>("LargeFpsLbl")->text(),
                  "Largest FPS found in your source clip is: 25");
        dialog.FpsTxt()->setText("0.1");
        QTest::mouseClick(dialog.findChild<QPushButton*>("OkBtn"), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());  // refused: the dialog stays
        dialog.FpsTxt()->setText("1000");
        dialog.WidthTxt()->setText("20001");
        QTest::mouseClick(dialog.findChild<QPushButton*>("OkBtn"), Qt::LeftButton);
        dialog.WidthTxt()->setText("320");
        dialog.TitleTxt()->setText("Trip");
        dialog.Mono()->setChecked(true);
        dialog.EightBits()->setChecked(true);
        dialog.SampRatCmb()->setCurrentText("11025");
        compressors->setCurrentIndex(0);
        EXPECT_EQ(dialog.KeyFramesSpn()->text(), "Compressor's own");
        EXPECT_EQ(dialog.SpeedCmb()->currentText(), "medium");
        dialog.KeyFramesSpn()->setValue(50);
        dialog.QualitySpn()->setValue(26);
        dialog.SpeedCmb()->setCurrentText("veryfast");
        EXPECT_FALSE(dialog.SharpPixelsChk()->isChecked());
        dialog.SharpPixelsChk()->setChecked(true);
        QTest::mouseClick(dialog.findChild<QPushButton*>("OkBtn"), Qt::LeftButton);
        EXPECT_EQ(seam.messages.size(), 2u);
    });
    main->Action("MoviePropMnu")->trigger();
    ASSERT_EQ(seam.messages.size(), 2u);
    EXPECT_EQ(seam.messages[0].text, "Frames Per Seconds (FPS) is too low\r\nPlease correct it");
    EXPECT_EQ(seam.messages[1].text, "Frame Width is too high\r\nPlease correct it");
    EXPECT_EQ(session.Movie().MovieName, "Trip");
    EXPECT_EQ(session.Movie().OutFps, 1000);
    EXPECT_EQ(session.Movie().OutWidth, 320);
    EXPECT_EQ(session.output.compressor, 0);
    EXPECT_EQ(session.Movie().OutChannels, 1);
    EXPECT_EQ(session.Movie().OutBits, 8);
    EXPECT_EQ(session.Movie().OutRate, 11025);
    EXPECT_EQ(session.output.coding.keyFrameInterval, 50);
    EXPECT_EQ(session.output.coding.shareQuality, 26);
    EXPECT_EQ(session.output.coding.sharePreset, "veryfast");
    EXPECT_TRUE(session.output.coding.sharpPixels);
    EXPECT_EQ(main->windowTitle(), "Cinebrix Composer - Trip [New file]");

    // Cancel after changing the title keeps the movie's.
    WhenDialogShows<MoviePropFrm>([](MoviePropFrm& dialog) {
        dialog.TitleTxt()->setText("Other");
        QTest::mouseClick(dialog.findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
    });
    main->Action("MoviePropMnu")->trigger();
    EXPECT_EQ(session.Movie().MovieName, "Trip");
}

// OK keeps the dialog open while the compressor chosen cannot write frames of the size chosen: one
// whose frames of that size no decoder takes, and one whose encoder crashes on them (tried in a child
// process, the program goes on), each with the library's reason and the nearest sizes it can write.
TEST_F(VideoWindowsTest, MoviePropertiesRefusesASizeItsCompressorCannotWrite) {
    session.output.compressor = 0;
    struct Row {
        const char* compressor;
        const char* width;
        const char* height;
        std::string reason;  // empty: accepted
    };
    const Row rows[] = {
        {"SHQ0", "351", "287",
         "(SHQ0) cannot write 351 x 287 frames: its frames of that size do not decode back. The nearest "
         "sizes it "
         "can write are 336 x 272 and 352 x 288."},
        {"azpr", "2", "2",
         "(azpr) cannot write 2 x 2 frames: its encoder crashed on a frame of that size (Aborted). The "
         "nearest "
         "sizes it can write are 4 x 4 and 8 x 8."},
        {"MSVC", "351", "287",
         "(MSVC) cannot write 351 x 287 frames: its encoder does not take frames of that size. The nearest "
         "sizes it can write are 348 x 284 and 352 x 288."},
        {"SHQ0", "352", "288", ""},
    };
    WhenDialogShows<MoviePropFrm>([&](MoviePropFrm& dialog) {
        for (const Row& row : rows) {
            SCOPED_TRACE(row.compressor);
            seam.messages.clear();
            const int index = dialog.CompCmb()->findData(vidmill::FourCC(row.compressor));
            ASSERT_GE(index, 0);
            dialog.CompCmb()->setCurrentIndex(index);
            dialog.WidthTxt()->setText(row.width);
            dialog.HeightTxt()->setText(row.height);
            QTest::mouseClick(dialog.findChild<QPushButton*>("OkBtn"), Qt::LeftButton);
            if (row.reason.empty()) {
                EXPECT_TRUE(seam.messages.empty());
                return;
            }
            EXPECT_TRUE(dialog.isVisible());
            ASSERT_EQ(seam.messages.size(), 1u);
            EXPECT_NE(seam.messages[0].text.find(row.reason + "\r\nPlease choose another compressor or size"),
                      std::string::npos)
                << seam.messages[0].text;
        }
    });
    main->Action("MoviePropMnu")->trigger();
    EXPECT_EQ(session.output.compressor, vidmill::FourCC("SHQ0"));
    EXPECT_EQ(session.Movie().OutWidth, 352);
    EXPECT_EQ(session.Movie().OutHeight, 288);
}

}  // namespace
}  // namespace composer
