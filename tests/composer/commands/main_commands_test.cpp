// The main window's commands without a window: New, Open and Save with the question about unsaved
// changes, Save on a project file that was deleted, adding a clip that fails and why, remembered folders.
#include "commands/main_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/scripted_interaction.h"
#include "base/settings.h"
#include "base/view.h"
#include "document/file_choice.h"
#include "document/movie_db.h"
#include "document/session.h"
#include "document/source_probe.h"
#include "media/media_source_probe.h"
#include "scratch_folder.h"

namespace composer {
namespace {

class MainCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetSettingsLocation(scratch.path(), "composer-test");
        ClearMovie(session.EditMovie());
        mark.Mark(session.Movie());
    }
    void TearDown() override {
        SetSettingsLocation("");
        ClearMovie(session.EditMovie());
    }

    testing::ScratchFolder scratch;
    Session session;
    ScriptedInteraction seam;
    ScopedInteraction installedSeam{seam};
    ScriptedView view;
    ScopedView installedView{view};
    SavedMovieMark mark;
};

TEST_F(MainCommandsTest, NewAsksToSaveAChangedMovieAndEachAnswerDoesWhatItSays) {
    struct Case {
        MsgAnswer answer;
        bool replaced;
        bool saved;
    };
    const Case cases[] = {
        {MsgAnswer::Cancel, false, false}, {MsgAnswer::No, true, false}, {MsgAnswer::Yes, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        ClearMovie(session.EditMovie());
        mark.Mark(session.Movie());
        session.EditMovie().MovieName = "Edited";
        seam.messages.clear();
        seam.messageAnswers = {MsgAnswer::Yes, c.answer};
        const std::string target = scratch / "saved.CbMov";
        std::filesystem::remove(target);
        seam.fileAnswers = {target};
        EXPECT_EQ(NewMovieCommand(session, mark), c.replaced);
        ASSERT_EQ(seam.messages.size(), 2u);
        EXPECT_EQ(seam.messages[0].text, "Create new blank file?");
        EXPECT_EQ(seam.messages[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(seam.messages[1].text, "Do you want to save the changes to Edited?");
        EXPECT_EQ(seam.messages[1].buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(session.Movie().MovieName, c.replaced ? "New Movie" : "Edited");
        EXPECT_EQ(std::filesystem::exists(target), c.saved);
        // A replaced movie counts as unchanged; a kept one is still changed.
        EXPECT_EQ(mark.Changed(session.Movie()), !c.replaced);
    }
}

TEST_F(MainCommandsTest, AnUnchangedMovieIsReplacedWithoutTheQuestion) {
    session.EditMovie().CurClip = 0;
    seam.messageAnswers = {MsgAnswer::Yes};
    EXPECT_TRUE(NewMovieCommand(session, mark));
    EXPECT_EQ(seam.messages.size(), 1u);
    // Saying No to the first question keeps everything.
    session.EditMovie().MovieName = "Kept";
    seam.messageAnswers = {MsgAnswer::No};
    EXPECT_FALSE(NewMovieCommand(session, mark));
    EXPECT_EQ(session.Movie().MovieName, "Kept");
}

TEST_F(MainCommandsTest, SaveOnADeletedProjectAsksLikeSaveAsAndOpenReadsItBack) {
    session.EditMovie().MovieName = "Holiday";
    session.EditMovie().ProjectPath = scratch / "gone.CbMov";  // never written: "deleted since it was opened"
    const std::string chosen = scratch / "trip.CbMov";
    seam.fileAnswers = {chosen};
    EXPECT_TRUE(SaveProjectCommand(session, mark, SaveMode::Save));
    ASSERT_EQ(seam.fileRequests.size(), 1u);
    EXPECT_EQ(seam.fileRequests[0].mode, FileDialogMode::Save);
    EXPECT_EQ(session.Movie().ProjectPath, chosen);
    EXPECT_FALSE(mark.Changed(session.Movie()));

    // Now the file exists: Save asks nothing.
    session.EditMovie().MovieName = "Holiday 2";
    EXPECT_TRUE(SaveProjectCommand(session, mark, SaveMode::Save));
    EXPECT_EQ(seam.fileRequests.size(), 1u);

    // A cancelled Save As changes nothing.
    EXPECT_FALSE(SaveProjectCommand(session, mark, SaveMode::SaveAs));
    EXPECT_EQ(session.Movie().ProjectPath, chosen);

    ClearMovie(session.EditMovie());
    mark.Mark(session.Movie());
    seam.fileAnswers = {chosen};
    EXPECT_TRUE(OpenProjectCommand(session, mark));
    EXPECT_EQ(session.Movie().MovieName, "Holiday 2");
    EXPECT_EQ(session.Movie().ProjectPath, chosen);
    EXPECT_FALSE(mark.Changed(session.Movie()));
    EXPECT_EQ(view.requests.back(), "DrawClipPanel");
}

TEST_F(MainCommandsTest, AddingAFileThatCannotBeAddedSaysWhyTheProbeRefusedIt) {
    // Without readers the probe cannot say why: the message is the bare one.
    const std::string clip = scratch.Write("clip.avi", "not a video");
    seam.fileAnswers = {clip};
    EXPECT_FALSE(AddClipCommand(session, ClipFileKind::Video));
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages.back().text, clip + "\r\nFailed to add this file");

    // A file gone since it was chosen: the command says so first, then that it was not added.
    const std::string gone = scratch / "gone.avi";
    seam.messages.clear();
    seam.fileAnswers = {gone};
    EXPECT_FALSE(AddClipCommand(session, ClipFileKind::Video));
    ASSERT_EQ(seam.messages.size(), 2u);
    EXPECT_EQ(seam.messages[0].text, "File not found\r\n" + gone);
    EXPECT_EQ(seam.messages[1].text,
              gone + "\r\nFailed to add this file: the file is missing or not a regular file");

    MediaSourceProbe probe;
    ScopedSourceProbe installedProbe(probe);
    const struct {
        const char* name;
        ClipFileKind kind;
    } cases[] = {
        {"clip.avi", ClipFileKind::Video},     // the AVI back end's reason
        {"clip.mp4", ClipFileKind::Video},     // the other containers' back end's reason
        {"still.png", ClipFileKind::Picture},  // the picture loader's reason
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = scratch.Write(c.name, "not a clip at all");
        const std::string reason = c.kind == ClipFileKind::Picture ? probe.ProbePicture(path).Reason()
                                                                   : probe.ProbeVideo(path).Reason();
        ASSERT_FALSE(reason.empty());
        seam.messages.clear();
        seam.fileAnswers = {path};
        EXPECT_FALSE(AddClipCommand(session, c.kind));
        ASSERT_EQ(seam.messages.size(), 1u);
        EXPECT_EQ(seam.messages[0].text, path + "\r\nFailed to add this file: " + reason);
    }
    EXPECT_EQ(session.Movie().ClipCount, 0);
}

TEST_F(MainCommandsTest, RememberedFoldersStartTheDialogsWhereTheLastFileWas) {
    WriteSetting("General", "LastFileClip", "C:\\Clips\\a.avi");
    WriteSetting("General", "LastFileSource", "nofolder.CbMov");
    RememberFolders(session.dialogs, RememberMode::Load);
    EXPECT_EQ(session.dialogs.clips.InitialFolder, "C:\\Clips\\");
    EXPECT_EQ(session.dialogs.projects.InitialFolder, "");
    seam.fileAnswers = {std::nullopt};
    ChooseVideoFile(session.dialogs.clips);
    ASSERT_EQ(seam.fileRequests.size(), 1u);
    EXPECT_EQ(seam.fileRequests[0].initialFolder, "C:\\Clips\\");
    session.dialogs.output.FileName = "/movies/out.avi";
    RememberFolders(session.dialogs, RememberMode::Store);
    EXPECT_EQ(ReadSetting("General", "LastFileOutput"), "/movies/out.avi");
}

}  // namespace
}  // namespace composer
