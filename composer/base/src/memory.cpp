#include "base/memory.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>

#include "base/app_state.h"
#include "base/interaction.h"
#include "base/rounding.h"
#include "base/settings.h"

namespace composer {

namespace {

constexpr uint64_t kLowMemory = 33'000'000;
constexpr uint64_t kEnoughMemory = 66'500'000;
constexpr uint64_t kLargeMemory = 157'000'000;

const char* const kCloseOthers =
    "It is recommended to close other applications that may be running and consuming larger memory.";

std::string LowMemoryWarning(const MemoryFigures& figures) {
    std::string text = "Physical memory found in this system (" + std::to_string(figures.totalBytes) +
                       " bytes) is not sufficient to run " + kProgramTitle + " " + kProgramRelease + "." +
                       "\nIt will run slow and may come across errors.";
    if (figures.loadPercent > 50)
        text +=
            "\nAdditionally, It is recommended to close other applications running, which are consuming "
            "memory.";
    return text;
}

}  // namespace

std::optional<MemoryFigures> ReadMemoryFigures(const std::string& meminfoPath) {
    std::ifstream in(meminfoPath);
    uint64_t totalKb = 0;
    uint64_t availableKb = 0;
    bool haveAvailable = false;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name;
        uint64_t kb = 0;
        if (!(fields >> name >> kb)) continue;
        if (name == "MemTotal:") totalKb = kb;
        if (name == "MemAvailable:") {
            availableKb = kb;
            haveAvailable = true;
        }
    }
    if (totalKb == 0 || !haveAvailable) return std::nullopt;
    if (availableKb > totalKb) availableKb = totalKb;
    MemoryFigures figures;
    figures.totalBytes = totalKb * 1024;
    figures.loadPercent = static_cast<int32_t>(100 - availableKb * 100 / totalKb);
    return figures;
}

MemoryVerdict JudgeMemory(const MemoryFigures& figures) {
    const uint64_t total = figures.totalBytes;
    const double bytes = static_cast<double>(total);
    MemoryVerdict verdict;
    double budget = 0;
    if (total < kLowMemory) {
        verdict.warning = LowMemoryWarning(figures);
        budget = bytes * 0.66;
    } else if (total >= kEnoughMemory) {
        if (figures.loadPercent > 90) verdict.warning = kCloseOthers;
        budget = bytes * (total >= kLargeMemory ? 0.25 : 0.33);
    } else {
        if (figures.loadPercent > 70) verdict.warning = kCloseOthers;
        budget = bytes * 0.5;
    }
    // RoundToInt32 saturates: a quarter of a large machine's memory does not fit 32 bits.
    verdict.budget = std::max(RoundToInt32(budget), kMinimumMemoryBudget);
    return verdict;
}

void CheckPhysicalMemory(const MemoryFigures& figures, int32_t& budget) {
    WriteSetting("General", "PhyMemorySz", std::to_string(figures.totalBytes));
    WriteSetting("General", "PhyMemoryLoad", std::to_string(figures.loadPercent));
    const MemoryVerdict verdict = JudgeMemory(figures);
    if (!verdict.warning.empty()) MsgBox(verdict.warning);
    budget = verdict.budget;
}

void CheckPhysicalMemory(int32_t& budget) {
    // $CB_MEMINFO names another file in the same format, so whole-program runs can be tested with
    // the figures of a small machine.
    const char* meminfo = std::getenv("CB_MEMINFO");
    if (const auto figures = ReadMemoryFigures(meminfo && *meminfo ? meminfo : "/proc/meminfo"))
        CheckPhysicalMemory(*figures, budget);
}

}  // namespace composer
