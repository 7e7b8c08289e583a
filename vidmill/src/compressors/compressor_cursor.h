// A position in a list of compressors, moved by the enumeration's rules: Reset goes to the first
// entry, Next passes over consecutive entries that share the current handler code.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "compressors/compressor_catalog.h"

namespace vidmill::compressors {

class CompressorCursor {
  public:
    // Keeps its own copy of the list, so that it never outlives what it walks.
    explicit CompressorCursor(std::vector<CompressorInfo> list) : list_(std::move(list)) { reset(); }

    // To the first entry; invalid when the list is empty.
    void reset();
    // When valid: to the next entry whose handler differs from the current one. Returns valid().
    bool next();

    bool valid() const { return index_ < list_.size(); }
    // The current entry; null when invalid.
    const CompressorInfo* current() const { return valid() ? &list_[index_] : nullptr; }

  private:
    std::vector<CompressorInfo> list_;
    std::size_t index_ = 0;
};

}  // namespace vidmill::compressors
