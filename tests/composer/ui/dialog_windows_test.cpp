// The clip window on a picture clip, the mask window, and the small dialogs, driven through their
// real widgets on Qt's offscreen platform; the scripted seam answers the message and input boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <string>

#include "app_state_guard.h"
#include "base/app_state.h"
#include "base/scripted_interaction.h"
#include "base/settings.h"
#include "document/movie_db.h"
#include "document/session.h"
#include "scratch_folder.h"
#include "ui/child_sub_window.h"
#include "ui/clip_window.h"
#include "ui/entry_dialogs.h"
#include "ui/main_window.h"
#include "ui/mask_window.h"
#include "ui/notice_dialogs.h"
#include "window_test_env.h"

namespace composer {
namespace {

class DialogWindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        UiTestApp();
        SetSettingsLocation(scratch.path(), "composer-test");
        WorkFolder = scratch.path();
        // A 352 x 288 green picture with a red square, and a second picture.
        QImage image(352, 288, QImage::Format_RGB32);
        image.fill(QColor(0, 200, 0));
        for (int y = 100; y < 150; ++y)
            for (int x = 100; x < 150; ++x) image.setPixel(x, y, qRgb(220, 20, 20));
        picture = scratch / "keyed.bmp";
        image.save(QString::fromStdString(picture));
        session.ReplaceMovie(PictureMovie({picture}, {{1, {}}}, {}));
        session.EditMovie().Clips[1].SrcWidth = 352;
        session.EditMovie().Clips[1].SrcHeight = 288;
        session.EditMovie().Clips[1].TransColors = {{}, {1, 2, 3, 4}};
        session.EditMovie().Clips[1].TransColorCount = 1;
    }
    void TearDown() override {
        window.reset();
        SetSettingsLocation("");
        ClearMovie(session.EditMovie());
    }

    MainWindow& OpenWindow() {
        window = std::make_unique<MainWindow>(session);
        window->show();
        window->Load();
        window->MarkMovieSaved();
        return *window;
    }

    void Click(const char* command) {
        QToolButton* button = window->ClipWindow()->Command(command);
        ASSERT_NE(button, nullptr) << command;
        ASSERT_TRUE(button->isVisibleTo(window->ClipWindow())) << command;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    testing::AppStateGuard globals;
    testing::ScratchFolder scratch;
    std::string picture;
    ScriptedInteraction seam;
    ScopedInteraction installedSeam{seam};
    Session session;
    std::unique_ptr<MainWindow> window;
};

TEST_F(DialogWindowsTest, ClipWindowShowsAPictureClipAndAsksItsDurationAndDelay) {
    MainWindow& main = OpenWindow();
    OneClip_Frm* clip = main.ClipWindow();
    EXPECT_EQ(clip->windowTitle().toStdString(), " Current Clip: keyed.bmp [" + picture + "]");
    EXPECT_EQ(main.ClipFrame()->windowTitle(), clip->windowTitle());
    EXPECT_EQ(clip->Fact(0)->text(), "Duration: 01");
    EXPECT_EQ(clip->Fact(2)->text(), "Picture Size: w352 x h288");
    EXPECT_TRUE(clip->CommandFrame("ButnPicFrame")->isVisibleTo(clip));
    EXPECT_FALSE(clip->CommandFrame("ButnAviFrame")->isVisibleTo(clip));

    // The duration: 150 asks whether it is meant, No asks again with 150, then 12 is stored.
    seam.inputAnswers = {"150", "12"};
    seam.messageAnswers = {MsgAnswer::No};
    Click("PicDurLbl");
    EXPECT_EQ(session.Movie().Clips[1].PicDuration, 12);
    ASSERT_EQ(seam.inputs.size(), 2u);
    EXPECT_EQ(seam.inputs[0].prompt, "Enter the duration (in seconds) to show this picture in the movie");
    EXPECT_EQ(seam.inputs[1].defaultText, "150");
    EXPECT_EQ(clip->Fact(0)->text(), "Duration: 12");

    seam.inputAnswers = {"2.5"};
    Click("OverLayLbl4");
    EXPECT_EQ(session.Movie().Clips[1].OverlayDelay, 2.5);

    // Closing the window only minimizes it.
    main.ClipFrame()->close();
    EXPECT_TRUE(main.ClipFrame()->isMinimized());
    EXPECT_TRUE(main.ClipFrame()->isVisible());
}

TEST_F(DialogWindowsTest, ClipCommandsNeedACurrentClip) {
    OpenWindow();
    session.EditMovie().CurClip = 0;
    window->ClipWindow()->DrawClipPanel();
    EXPECT_EQ(window->ClipWindow()->windowTitle(), " Current Clip: [None]");
    QTest::mouseClick(window->ClipWindow()->Command("PicDurLbl"), Qt::LeftButton);
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].text, "Make one clip current in the mixer window to proceed");
    EXPECT_TRUE(seam.inputs.empty());
}

TEST_F(DialogWindowsTest, SoundButtonsTellWhenSoundCannotPlay) {
    session.EditMovie().Clips[1].ClipType = ClipAudio;
    session.EditMovie().Clips[1].FilePath = scratch / "gone.wav";
    session.EditMovie().Clips[1].AudioFile = scratch / "gone.wav";
    // Without the sound component the notice shows once, when the player is first made.
    ::setenv("CB_SOUND_UNAVAILABLE", "1", 1);
    OpenWindow();
    int notices = 0;
    WhenDialogShows<Dx8Frm>([&notices](Dx8Frm& notice) {
        ++notices;
        QTest::mouseClick(notice.findChild<QPushButton*>("OK"), Qt::LeftButton);
    });
    Click("PlayBtn0");
    Click("PlayBtn1");
    ::unsetenv("CB_SOUND_UNAVAILABLE");
    EXPECT_EQ(notices, 1);
    EXPECT_TRUE(seam.messages.empty());

    // With it, a sound that does not load says so.
    OpenWindow();
    Click("PlayBtn0");
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].text, "Failed to create sound drive to play");
}

TEST_F(DialogWindowsTest, MaskWindowKeysAClickedColourAndOkWritesTheCopyBack) {
    MainWindow& main = OpenWindow();
    WhenDialogShows<MaskFrm>([](MaskFrm& mask) {
        EXPECT_EQ(mask.SizeLabel()->text(), "Size: w352 x h288");
        EXPECT_EQ(mask.PreviewImage().size(), QSize(352, 288));
        // A click on the green background keys it out; the share counts the kept pixels.
        QTest::mouseClick(mask.Picture(), Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_EQ(mask.Edit().count, 2);
        EXPECT_EQ(mask.Edit().current, 2);
        EXPECT_EQ(mask.PreviewImage().pixel(10, 10), qRgb(128, 128, 128));
        EXPECT_EQ(mask.PreviewImage().pixel(120, 120), qRgb(220, 20, 20));
        EXPECT_NEAR(mask.PreviewCount().TransparentShare(), 1.0 - 2500.0 / (352 * 288), 1e-9);
        EXPECT_FALSE(mask.ShareLabel()->text().isEmpty());

        // The tolerance box: 100 is ignored, 20 is stored for the current colour.
        QLineEdit* tolerance = mask.ToleranceBox();
        tolerance->selectAll();
        QTest::keyClicks(tolerance, "100");
        QTest::keyClick(tolerance, Qt::Key_Return);
        EXPECT_EQ(mask.Edit().colors[2].Tolerance, 0);
        tolerance->selectAll();
        QTest::keyClicks(tolerance, "20");
        QTest::keyClick(tolerance, Qt::Key_Return);
        EXPECT_EQ(mask.Edit().colors[2].Tolerance, 20);

        // Crop: 286 is refused on top and passes on the bottom, where 280 is kept.
        QLineEdit* top = mask.CropBox(CropEdge::Top);
        top->selectAll();
        QTest::keyClicks(top, "286");
        QTest::keyClick(top, Qt::Key_Return);
        EXPECT_EQ(top->text(), "0");
        QLineEdit* bottom = mask.CropBox(CropEdge::Bottom);
        bottom->selectAll();
        QTest::keyClicks(bottom, "280");
        QTest::keyClick(bottom, Qt::Key_Return);
        EXPECT_EQ(mask.Edit().crop.Bottom, 280);
        EXPECT_EQ(mask.PreviewImage().pixel(10, 287), qRgb(192, 192, 192));
        EXPECT_EQ(mask.PreviewImage().pixel(10, 7), qRgb(128, 128, 128));
        QTest::mouseClick(mask.findChild<QPushButton*>("OkButton"), Qt::LeftButton);
    });
    QTest::mouseClick(main.ClipWindow()->Command("OverLayLbl7"), Qt::LeftButton);
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].text, "Crop can not go near or more then size");
    const ClipRec& clip = session.Movie().Clips[1];
    EXPECT_EQ(clip.TransColorCount, 2);
    EXPECT_EQ(clip.TransColors[2].Green, 200);
    EXPECT_EQ(clip.TransColors[2].Tolerance, 20);
    EXPECT_EQ(clip.CropBottom, 280);
    EXPECT_EQ(ReadSetting("Clip Window", "TransColor"), std::to_string(0x808080));
}

TEST_F(DialogWindowsTest, MaskWindowCancelKeepsTheClipsColoursAndDeleteAsks) {
    MainWindow& main = OpenWindow();
    seam.messageAnswers = {MsgAnswer::Yes};
    WhenDialogShows<MaskFrm>([](MaskFrm& mask) {
        QTest::mouseClick(mask.Picture(), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(mask.Picture(), Qt::LeftButton, {}, QPoint(120, 120));
        EXPECT_EQ(mask.Edit().count, 3);
        // A click on the first row makes it current; X deletes it after the question.
        QTest::mouseClick(mask.ColorListBox(), Qt::LeftButton, {}, QPoint(50, 10));
        EXPECT_EQ(mask.Edit().current, 1);
        QTest::mouseClick(mask.findChild<QPushButton*>("TransCurDeleteBtn"), Qt::LeftButton);
        EXPECT_EQ(mask.Edit().count, 2);
        EXPECT_EQ(mask.Edit().colors[1].Green, 200);
        QTest::mouseClick(mask.findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
    });
    QTest::mouseClick(main.ClipWindow()->Command("OverLayLbl5"), Qt::LeftButton);
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].text, "Delete this color?");
    EXPECT_EQ(session.Movie().Clips[1].TransColorCount, 1);
    EXPECT_EQ(session.Movie().Clips[1].TransColors[1].Red, 1);
}

TEST_F(DialogWindowsTest, MaskWindowEnlargesASmallPictureAndKeysThePixelUnderTheMouse) {
    // An 80 x 60 picture is shown four times its size; the mouse names and keys the picture's pixel.
    QImage image(80, 60, QImage::Format_RGB32);
    image.fill(QColor(0, 200, 0));
    for (int y = 30; y < 60; ++y)
        for (int x = 40; x < 80; ++x) image.setPixel(x, y, qRgb(220, 20, 20));
    session.EditMovie().Clips[1].FilePath = scratch / "small.bmp";
    image.save(QString::fromStdString(session.Movie().Clips[1].FilePath));
    MaskFrm mask(session);
    mask.ShowThisClipPicture(1);
    EXPECT_EQ(mask.PreviewZoom(), 4);
    EXPECT_EQ(mask.Picture()->size(), QSize(320, 240));
    const QPointF over(4 * 39 + 3, 4 * 29 + 3);
    QMouseEvent move(QEvent::MouseMove, over, mask.Picture()->mapToGlobal(over), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(mask.Picture(), &move);
    EXPECT_EQ(mask.PositionLabel()->text(), "x39, y29");
    QTest::mouseClick(mask.Picture(), Qt::LeftButton, {}, QPoint(4 * 40, 4 * 30));
    ASSERT_EQ(mask.Edit().count, 2);
    EXPECT_EQ(mask.Edit().colors[2].Red, 220);
    EXPECT_EQ(mask.PreviewImage().pixel(79, 59), qRgb(128, 128, 128));
    EXPECT_EQ(mask.PreviewImage().pixel(39, 29), qRgb(0, 200, 0));
}

TEST_F(DialogWindowsTest, MaskWindowSaysWhenTheFileIsMissing) {
    session.EditMovie().Clips[1].FilePath = scratch / "gone.bmp";
    MaskFrm mask(session);
    mask.ShowThisClipPicture(1);
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].text, scratch / "gone.bmp" + "\r\nFile not found");
    EXPECT_TRUE(mask.PreviewImage().isNull());
}

TEST_F(DialogWindowsTest, EntryDialogsGiveTheirTextOnlyAfterOk) {
    WhenDialogShows<EntDurFrm>([](EntDurFrm& dialog) {
        EXPECT_EQ(dialog.windowTitle(), " Go to");
        EXPECT_EQ(dialog.Prompt()->text(), "Enter tim position to go to:");
        EXPECT_EQ(dialog.Entry()->text(), "5");
        dialog.Entry()->setText("1:30");
        QTest::mouseClick(dialog.findChild<QPushButton*>("OkBtn"), Qt::LeftButton);
    });
    EXPECT_EQ(AskDurationText(nullptr, " Go to", "Enter tim position to go to:", "", "5"), "1:30");
    WhenDialogShows<EntDurFrm>([](EntDurFrm& dialog) { dialog.close(); });  // the close box counts as Cancel
    EXPECT_EQ(AskDurationText(nullptr, " Jump", "Enter duration to jump:", "", "5"), std::nullopt);
    WhenDialogShows<EntClipScaleFrm>([](EntClipScaleFrm& dialog) {
        EXPECT_EQ(dialog.windowTitle(), " Enter Clip View Scale");
        EXPECT_EQ(dialog.Entry()->text(), "3");
        QTest::mouseClick(dialog.findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
    });
    EXPECT_EQ(AskViewScaleText(nullptr, 3), std::nullopt);
}

TEST_F(DialogWindowsTest, NoticeDialogsAndTheAboutBox) {
    WhenDialogShows<UserGuideFrm>([](UserGuideFrm& guide) {
        EXPECT_EQ(guide.windowTitle(), "Guide");
        EXPECT_EQ(guide.findChild<QLabel*>("GuideLbl")->text(), "First line\nsecond line");
        guide.IKnow()->setChecked(true);
        guide.ExplainStopping();
        QTest::mouseClick(guide.findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    });
    EXPECT_TRUE(ShowUserGuideFrm(nullptr, "First line\r\nsecond line"));
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].text,
              "If you dont want to see these user-guide-tips any more\r\nyou can put it off, see "
              "Menu-Tools-Option-UserGuide");

    MainWindow& main = OpenWindow();
    WhenDialogShows<About_Frm>([](About_Frm& about) {
        EXPECT_EQ(about.windowTitle(), " About Cinebrix Composer");
        EXPECT_EQ(about.findChild<QLabel*>("AppTitleLbl")->text(), "Cinebrix Composer");
        QTest::mouseClick(about.findChild<QPushButton*>("OK"), Qt::LeftButton);
    });
    main.Action("AboutMnu")->trigger();
    Dx8Frm notice;
    EXPECT_EQ(notice.windowTitle(), " Need DirectX 8");
    EXPECT_EQ(notice.findChild<QLabel*>("MsgLbl")->text(),
              "You need to install DirectX8 or higher to play audio.");
}

}  // namespace
}  // namespace composer
