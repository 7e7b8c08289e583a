#pragma once
// Inserting into and removing from the 1-based arrays of the movie, keeping their counts.
#include <cstdint>
#include <vector>

namespace composer {

// Inserts `value` at 1-based `at` (1 .. count + 1), moving later entries down; count grows by one.
template <typename T>
void InsertAt(std::vector<T>& entries, int32_t& count, int32_t at, const T& value) {
    entries.resize(static_cast<std::size_t>(count) + 1);
    entries.insert(entries.begin() + at, value);
    ++count;
}

// Removes the entry at 1-based `at`, moving later entries up; count drops by one.
template <typename T>
void RemoveAt(std::vector<T>& entries, int32_t& count, int32_t at) {
    entries.erase(entries.begin() + at);
    --count;
    entries.resize(static_cast<std::size_t>(count) + 1);
}

// A 1-based insert position: 0 (or anything outside 1 .. count + 1) means after the last entry.
inline int32_t InsertPosition(int32_t requested, int32_t count) {
    return (requested < 1 || requested > count + 1) ? count + 1 : requested;
}

}  // namespace composer
