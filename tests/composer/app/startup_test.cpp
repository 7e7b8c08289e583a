// Start-up and exit: output settings with their corrections, the guide setting, the track positions,
// and the settings written back at exit.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/output_settings.h"
#include "app_state_guard.h"
#include "base/app_state.h"
#include "base/scripted_interaction.h"
#include "base/settings.h"
#include "document/session.h"
#include "render/render_options.h"
#include "scratch_folder.h"

namespace composer {
namespace {

class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override { SetSettingsLocation(folder.path(), "composer"); }
    void TearDown() override { SetSettingsLocation(""); }

    testing::AppStateGuard state;
    testing::ScratchFolder folder;
    ScriptedInteraction ui;
    ScopedInteraction scope{ui};
};

TEST_F(StartupTest, NoSettingsFileGivesTheDefaults) {
    Session session;
    session.EditMovie().OutFps = 1;
    session.output.compressor = 7;
    session.testPlay.startSeconds = 3;
    session.showUserGuide = false;
    ReadOutputSettings(session);
    ReadUserGuideSetting(session);
    const MovieDbRec& movie = session.Movie();
    EXPECT_EQ(movie.OutFps, 25.0);
    EXPECT_EQ(movie.OutWidth, 352);
    EXPECT_EQ(movie.OutHeight, 288);
    EXPECT_EQ(session.output.compressor, 0);
    EXPECT_EQ(movie.OutChannels, 2);
    EXPECT_EQ(movie.OutBits, 16);
    EXPECT_EQ(movie.OutRate, 22050);
    EXPECT_EQ(session.testPlay.durationSeconds, 10.0);
    EXPECT_EQ(session.testPlay.startSeconds, 0.0);
    EXPECT_TRUE(session.showUserGuide);
}

TEST_F(StartupTest, StoredValuesAreCorrected) {
    const struct {
        const char* key;
        const char* stored;
        double expected;
    } cases[] = {
        {"WavFreq", "22000", 22050}, {"WavFreq", "44100", 44100}, {"WavFreq", "8000", 8000},
        {"WavFreq", "abc", 22050},   {"TestPlayDur", "0.05", 10}, {"TestPlayDur", "15", 10},
        {"TestPlayDur", "0.1", 0.1}, {"TestPlayDur", "10", 10},   {"TestPlayDur", "2.5", 2.5},
        {"WavChn", "1", 1},          {"WavChn", "3", 2},          {"WavChn", "0", 2},
        {"WavBits", "8", 8},         {"WavBits", "24", 16},       {"WavBits", "x", 16},
        {"FPS", "29.97", 29.97},     {"FPS", "abc", 0},  // no correction for these
        {"Width", "640.5", 640},     {"Height", "481.5", 482},    {"Compressor", "1129730893", 1129730893},
    };
    for (const auto& c : cases) {
        WriteSetting("output", c.key, c.stored);
        Session session;
        ReadOutputSettings(session);
        const MovieDbRec& movie = session.Movie();
        const std::string key = c.key;
        const double read = key == "WavFreq"       ? movie.OutRate
                            : key == "TestPlayDur" ? session.testPlay.durationSeconds
                            : key == "WavChn"      ? movie.OutChannels
                            : key == "WavBits"     ? movie.OutBits
                            : key == "FPS"         ? movie.OutFps
                            : key == "Width"       ? movie.OutWidth
                            : key == "Height"      ? movie.OutHeight
                                                   : session.output.compressor;
        EXPECT_EQ(read, c.expected) << c.key << "=" << c.stored;
    }
}

TEST_F(StartupTest, SharpPixelsAreOffUnlessStoredAndReachTheRender) {
    Session session;
    session.output.coding.sharpPixels = true;
    ReadOutputSettings(session);
    EXPECT_FALSE(session.output.coding.sharpPixels);
    EXPECT_EQ(RenderOptionsFromSettings(session).sampling, Sampling::Filtered);
    WriteSetting("Output", "SharpPixels", "1");
    ReadOutputSettings(session);
    EXPECT_TRUE(session.output.coding.sharpPixels);
    EXPECT_EQ(RenderOptionsFromSettings(session).sampling, Sampling::SharpPixels);
    session.output.coding.sharpPixels = false;
    WriteOutputSettings(session);
    EXPECT_EQ(ReadSetting("Output", "SharpPixels", ""), "0");
}

TEST_F(StartupTest, OnlyAStoredZeroHidesTheGuide) {
    const struct {
        const char* stored;
        bool shown;
    } cases[] = {{"1", true}, {"7", true}, {"0", false}, {"-1", true}, {"", false}};
    for (const auto& c : cases) {
        WriteSetting("General", "ShowNewUserGuide", c.stored);
        Session session;
        session.showUserGuide = !c.shown;
        ReadUserGuideSetting(session);
        EXPECT_EQ(session.showUserGuide, c.shown) << '"' << c.stored << '"';
    }
}

TEST_F(StartupTest, StartupStepsPrepareAnEmptyMovieAndExitStoresTheSettings) {
    const char* saved = std::getenv("TMPDIR");
    const std::string savedValue = saved ? saved : "";
    ::setenv("TMPDIR", folder.path().c_str(), 1);
    WriteSetting("Output", "WavFreq", "22000");
    Session session;
    session.EditMovie().MovieName = "Old";
    session.EditMovie().ClipCount = 1;
    session.EditMovie().Clips.resize(2);
    session.view.unusedTrackX = session.view.arrangedTrackX = -180;
    session.view.clipViewScale = 4;

    RunStartupSteps(session);
    EXPECT_EQ(session.Movie().MovieName, "New Movie");
    EXPECT_EQ(session.Movie().ClipCount, 0);
    EXPECT_EQ(session.Movie().OutRate, 22050);
    EXPECT_EQ(session.view.unusedTrackX, 20);
    EXPECT_EQ(session.view.arrangedTrackX, 20);
    EXPECT_EQ(session.view.clipViewScale, 1);
    EXPECT_TRUE(std::filesystem::is_directory(WorkFolder));
    EXPECT_GE(session.memoryBudget, kMinimumMemoryBudget);
    EXPECT_FALSE(ReadSetting("General", "PhyMemorySz").empty());

    session.EditMovie().OutFps = 29.97;
    session.EditMovie().OutWidth = 640;
    session.output.compressor = 1129730893;
    session.testPlay.durationSeconds = 2.5;
    std::string fpsDuringWindowSteps;
    RunExitSteps(session, [&] { fpsDuringWindowSteps = ReadSetting("Output", "FPS"); });
    EXPECT_EQ(fpsDuringWindowSteps, "29.97");  // written before the windows close
    EXPECT_FALSE(std::filesystem::exists(WorkFolder));
    EXPECT_EQ(ReadSetting("Output", "WavFreq"), "22050");
    EXPECT_EQ(ReadSetting("Output", "Width"), "640");
    EXPECT_EQ(ReadSetting("Output", "Compressor"), "1129730893");
    EXPECT_EQ(ReadSetting("Output", "TestPlayDur"), "2.5");

    // What exit wrote is what the next start reads.
    Session next;
    ReadOutputSettings(next);
    EXPECT_EQ(next.Movie().OutFps, 29.97);
    EXPECT_EQ(next.Movie().OutWidth, 640);
    EXPECT_EQ(next.output.compressor, 1129730893);
    EXPECT_EQ(next.testPlay.durationSeconds, 2.5);
    if (saved)
        ::setenv("TMPDIR", savedValue.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

}  // namespace
}  // namespace composer
