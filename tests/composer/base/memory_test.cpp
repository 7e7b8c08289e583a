// The memory budget: thresholds, warnings, the figures written to the settings.
#include "base/memory.h"

#include <gtest/gtest.h>

#include <limits>

#include "app_state_guard.h"
#include "base/app_state.h"
#include "base/scripted_interaction.h"
#include "base/settings.h"
#include "base/text_number.h"
#include "scratch_folder.h"

namespace composer {
namespace {

std::string NotSufficient(const std::string& total) {
    return "Physical memory found in this system (" + total +
           " bytes) is not sufficient to run Cinebrix Composer Oct2003.\n"
           "It will run slow and may come across errors.";
}
const std::string kNotSufficient = NotSufficient("20000000");
const std::string kAdditionally =
    "\nAdditionally, It is recommended to close other applications running, which are consuming memory.";
const std::string kCloseOthers =
    "It is recommended to close other applications that may be running and consuming larger memory.";

TEST(JudgeMemory, BudgetAndWarningFollowTheThresholds) {
    const struct {
        uint64_t total;
        int32_t load;
        int32_t budget;
        std::string warning;
    } cases[] = {
        {200'000'000, 10, 50'000'000, ""},
        {20'000'000, 10, 13'200'000, kNotSufficient},
        {20'000'000, 51, 13'200'000, kNotSufficient + kAdditionally},
        {20'000'000, 50, 13'200'000, kNotSufficient},
        {157'000'000, 91, 39'250'000, kCloseOthers},
        {156'999'999, 90, 51'810'000, ""},  // x 0.33, rounded
        {66'500'000, 0, 21'945'000, ""},
        {66'499'999, 71, 33'250'000, kCloseOthers},  // x 0.5 (33,249,999.5 to even)
        {50'000'000, 70, 25'000'000, ""},
        {33'000'000, 0, 16'500'000, ""},
        {10'000'000, 0, 10'000'000, NotSufficient("10000000")},  // 6,600,000 is below the least budget
        {uint64_t{64} << 30, 5, std::numeric_limits<int32_t>::max(), ""},  // a quarter does not fit 32 bits
    };
    for (const auto& c : cases) {
        const MemoryVerdict verdict = JudgeMemory({c.total, c.load});
        EXPECT_EQ(verdict.budget, c.budget) << c.total;
        EXPECT_EQ(verdict.warning, c.warning) << c.total << " " << c.load;
    }
}

TEST(CheckPhysicalMemory, WritesTheFiguresShowsTheWarningAndSetsTheBudget) {
    testing::AppStateGuard state;
    testing::ScratchFolder folder;
    SetSettingsLocation(folder.path(), "composer");
    ScriptedInteraction ui;
    ScopedInteraction scope(ui);
    int32_t budget = 0;
    CheckPhysicalMemory({20'000'000, 60}, budget);
    EXPECT_EQ(budget, 13'200'000);
    EXPECT_EQ(ReadSetting("General", "PhyMemorySz"), "20000000");
    EXPECT_EQ(ReadSetting("General", "PhyMemoryLoad"), "60");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kNotSufficient + kAdditionally);
    EXPECT_EQ(ui.messages[0].title, "Cinebrix Composer");
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::OK);

    CheckPhysicalMemory(budget);  // this machine's own figures
    EXPECT_GE(budget, kMinimumMemoryBudget);
    EXPECT_GT(LeadingNumber(ReadSetting("General", "PhyMemorySz")), 0);
    SetSettingsLocation("");
}

TEST(ReadMemoryFigures, LoadIsTheShareNotAvailable) {
    testing::ScratchFolder folder;
    const std::string meminfo = folder.Write(
        "meminfo", "MemTotal:        1000 kB\nMemFree:          100 kB\nMemAvailable:     250 kB\n");
    const auto figures = ReadMemoryFigures(meminfo);
    ASSERT_TRUE(figures.has_value());
    EXPECT_EQ(figures->totalBytes, 1'024'000u);
    EXPECT_EQ(figures->loadPercent, 75);
    EXPECT_FALSE(ReadMemoryFigures(folder / "missing").has_value());
    EXPECT_FALSE(ReadMemoryFigures(folder.Write("empty", "MemTotal: 0 kB\n")).has_value());
}

}  // namespace
}  // namespace composer
