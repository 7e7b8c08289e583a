#pragma once
// The check of physical memory at start, which sizes the memory budget of in-memory buffers.
#include <cstdint>
#include <optional>
#include <string>

namespace composer {

struct MemoryFigures {
    uint64_t totalBytes = 0;  // total physical memory
    int32_t loadPercent = 0;  // memory in use, percent: 100 - available x 100 / total
};

// The figures from /proc/meminfo (MemTotal, MemAvailable); nothing when they cannot be read.
std::optional<MemoryFigures> ReadMemoryFigures(const std::string& meminfoPath = "/proc/meminfo");

struct MemoryVerdict {
    int32_t budget = 0;   // the bytes in-memory buffers may use, at least kMinimumMemoryBudget
    std::string warning;  // the message to show, or empty
};

// The budget and warning for given figures:
//   total < 33,000,000: "not sufficient" warning (longer when load > 50), budget = total x 0.66;
//   total >= 66,500,000: warning when load > 90, budget = total x 0.25 (>= 157,000,000) or x 0.33;
//   otherwise: warning when load > 70, budget = total x 0.5.
// Rounded, at least 10,000,000, and at most the largest 32-bit number (large machines).
MemoryVerdict JudgeMemory(const MemoryFigures& figures);

// Reads the figures, writes "PhyMemorySz" and "PhyMemoryLoad" to section "General" of the settings,
// shows the warning (if any) through the interaction seam and sets `budget`. With injected figures
// it uses those instead of /proc/meminfo ($CB_MEMINFO, when set, names another file to read). When
// the figures cannot be read, `budget` stays as it is and nothing is written or shown.
void CheckPhysicalMemory(int32_t& budget);
void CheckPhysicalMemory(const MemoryFigures& figures, int32_t& budget);

}  // namespace composer
