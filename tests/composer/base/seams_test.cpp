// The interaction and view seams, the status help line and the user-guide tips.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "app_state_guard.h"
#include "base/app_state.h"
#include "base/console_interaction.h"
#include "base/guide.h"
#include "base/scripted_interaction.h"
#include "base/settings.h"
#include "base/view.h"
#include "scratch_folder.h"

namespace composer {
namespace {

TEST(Interaction, SafeAnswersNeverConfirm) {
    const struct {
        MsgButtons buttons;
        MsgAnswer answer;
    } cases[] = {{MsgButtons::OK, MsgAnswer::OK},
                 {MsgButtons::OKCancel, MsgAnswer::Cancel},
                 {MsgButtons::YesNo, MsgAnswer::No},
                 {MsgButtons::YesNoCancel, MsgAnswer::Cancel},
                 {MsgButtons::RetryCancel, MsgAnswer::Cancel}};
    for (const auto& c : cases) EXPECT_EQ(SafeAnswer(c.buttons), c.answer);
}

TEST(Interaction, ScriptedSeamRecordsMessagesAndReplaysAnswers) {
    ScriptedInteraction ui;
    ScopedInteraction scope(ui);
    ui.messageAnswers = {MsgAnswer::Yes};
    ui.inputAnswers = {std::string("Holiday")};
    EXPECT_TRUE(AskYesNo("Create new blank file?"));
    EXPECT_FALSE(AskYesNo("Again?", "Asking"));  // the queue is empty: the safe answer
    EXPECT_EQ(MsgBox("Movie duration is zero", MsgButtons::OK, "Save Movie failed"), MsgAnswer::OK);
    EXPECT_EQ(InputBox("Enter new name for clip", "Rename Clip", "Old"),
              std::optional<std::string>("Holiday"));
    EXPECT_EQ(InputBox("Again"), std::nullopt);

    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, "Create new blank file?");
    EXPECT_EQ(ui.messages[0].title, "Cinebrix Composer");
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(ui.messages[1].title, "Asking");
    EXPECT_EQ(ui.messages[1].answer, MsgAnswer::No);
    EXPECT_EQ(ui.messages[2].title, "Save Movie failed");
    ASSERT_EQ(ui.inputs.size(), 2u);
    EXPECT_EQ(ui.inputs[0].title, "Rename Clip");
    EXPECT_EQ(ui.inputs[0].defaultText, "Old");
    EXPECT_EQ(ui.inputs[1].title, "Cinebrix Composer");
}

TEST(Interaction, WaitCursorNestsAndSeamsRestore) {
    ScriptedInteraction outer;
    {
        ScopedInteraction scope(outer);
        ScriptedInteraction inner;
        {
            ScopedInteraction innerScope(inner);
            EXPECT_EQ(&UI(), &inner);
        }
        EXPECT_EQ(&UI(), &outer);
        WaitCursor first;
        {
            WaitCursor second;
            EXPECT_EQ(outer.waitCursorDepth, 1);
        }
        EXPECT_EQ(outer.waitCursorDepth, 1);
    }
    EXPECT_EQ(outer.waitCursorDepth, 0);
    EXPECT_EQ(outer.waitCursorRequests, 1);
    EXPECT_EQ(InstalledInteraction(), nullptr);
}

TEST(Interaction, ConsoleSeamPrintsAndAnswersSafely) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    ConsoleInteraction console(out);
    EXPECT_EQ(console.ShowMessage("Delete this clip?", "Delete", MsgButtons::YesNo, MsgIcon::Question),
              MsgAnswer::No);
    EXPECT_EQ(console.AskInput("Name", "Rename Clip", "x"), std::nullopt);
    EXPECT_EQ(console.ChooseFile({}), std::nullopt);
    EXPECT_EQ(console.ChooseColor(0), std::nullopt);
    console.ProgressClear();
    for (double f : {0.0, 0.004, 0.5, 0.501, 1.0}) console.ProgressFraction(f);
    console.ProgressText(" processing audio, please wait ..");
    std::rewind(out);
    std::string text(4096, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), out));
    std::fclose(out);
    EXPECT_EQ(text,
              "Delete: Delete this clip?\nprogress 0%\nprogress 50%\nprogress 100%\n processing audio, "
              "please wait ..\n");
}

// Progress and status help go to the innermost seam installed; when a scope ends, its outer seam
// gets them again, and with none left nothing is captured.
TEST(Interaction, ProgressAndStatusHelpGoToTheInnermostSeamUntilItsScopeEnds) {
    ScriptedInteraction outer;
    ScriptedInteraction inner;
    {
        ScopedInteraction outerScope(outer);
        UI().ProgressClear();
        {
            ScopedInteraction innerScope(inner);
            UI().ProgressFraction(0.25);
            ShowStatusHelp("Click to add");
            EXPECT_EQ(InstalledInteraction(), &inner);
        }
        UI().ProgressText("text");
        UI().ProgressHide();
        EXPECT_EQ(InstalledInteraction(), &outer);
    }
    EXPECT_EQ(InstalledInteraction(), nullptr);
    ASSERT_EQ(inner.progress.size(), 1u);
    EXPECT_EQ(inner.progress[0].fraction, 0.25);
    EXPECT_EQ(inner.statusHelp, std::vector<std::string>{"Click to add"});
    ASSERT_EQ(outer.progress.size(), 3u);
    EXPECT_EQ(outer.progress[0].kind, ScriptedInteraction::ProgressKind::Clear);
    EXPECT_EQ(outer.progress[1].text, "text");
    EXPECT_EQ(outer.progress[2].kind, ScriptedInteraction::ProgressKind::Hide);
    EXPECT_TRUE(outer.statusHelp.empty());
}

TEST(View, RequestsGoToTheInstalledViewAndNowhereHeadless) {
    DrawMovieTracks();  // the console view: nothing happens
    ScriptedView view;
    {
        ScopedView scope(view);
        DrawMovieTracks();
        DrawUnusedTrack();
        DrawClipPanel();
    }
    DrawClipPanel();
    EXPECT_EQ(view.requests,
              (std::vector<std::string>{"DrawMovieTracks", "DrawUnusedTrack", "DrawClipPanel"}));
    EXPECT_EQ(InstalledView(), nullptr);
}

class GuideTipTest : public ::testing::Test {
  protected:
    void SetUp() override { SetSettingsLocation(folder.path(), "composer"); }
    void TearDown() override { SetSettingsLocation(""); }
    testing::AppStateGuard state;
    testing::ScratchFolder folder;
    ScriptedInteraction ui;
    ScopedInteraction scope{ui};
};

TEST_F(GuideTipTest, AnAcknowledgedTipIsNotShownAgain) {
    const std::string message = "Move mouse over any item to read its description in the bottom status bar";
    ui.guideAnswers = {false, true};
    EXPECT_TRUE(ShowGuideTip(true, message, ""));  // not ticked: shown again next time
    EXPECT_TRUE(ShowGuideTip(true, message, ""));  // ticked now
    EXPECT_FALSE(ShowGuideTip(true, message, ""));
    EXPECT_EQ(ui.guideMessages, (std::vector<std::string>{message, message}));
    // An empty title is the message cut to its first 50 characters.
    EXPECT_EQ(ReadIniValue("I Know", message.substr(0, 50), "No", GuideFilePath()), "Yes");
    EXPECT_EQ(ReadIniValue("i know", message.substr(0, 50), "No", folder / "UserGuide.ini"), "Yes");
}

TEST_F(GuideTipTest, TitledTipsAreRememberedByTitleAndTipsCanBeOff) {
    ui.guideAnswers = {true};
    EXPECT_TRUE(ShowGuideTip(true, "A short tip", "Tip one"));
    EXPECT_EQ(ReadIniValue("I Know", "Tip one", "No", GuideFilePath()), "Yes");
    EXPECT_TRUE(ShowGuideTip(true, "A short tip", "Tip two"));
    EXPECT_FALSE(ShowGuideTip(false, "Another tip", "Tip three"));
    EXPECT_EQ(ui.guideMessages.size(), 2u);
}

// The help pages lie beside the program under the name of the program that runs (this test binary
// here), read from the running process rather than from any fixed name.
TEST(HelpFile, PagesLieBesideTheRunningProgramUnderItsName) {
    testing::AppStateGuard state;
    AppFolder = "/opt/cb";
    const std::string running = std::filesystem::read_symlink("/proc/self/exe").stem().string();
    EXPECT_EQ(HelpFolderBesideProgram(), "/opt/cb/" + running + "-help");
}

}  // namespace
}  // namespace composer
