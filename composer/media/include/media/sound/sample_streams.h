#pragma once
// Sequential access to a file-backed buffer in blocks, for the conversions that walk whole sounds:
// a reader that serves any position near the one it last read, and a writer that appends.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "document/file_carr_buff_class.h"

namespace composer {

// Values moved per block by the conversions. The buffer's window does the file input/output in
// units of its block limit, so copying out smaller pieces costs no extra input/output and keeps the
// memory of a conversion at about one window per buffer, whatever the memory budget.
inline int32_t TransferBlock(const FileCarrBuffClass& buffer) {
    return std::min(buffer.GetBlockLimit(), 65536);
}

// Values of a buffer by position; positions below 1 give the first value and positions past the end
// the last (the edge rule of the interpolation). Reading forwards costs one block read per block.
class SampleReader {
  public:
    explicit SampleReader(FileCarrBuffClass& buffer);
    int32_t Length() const { return length_; }
    int16_t At(int64_t position) {
        position = position < 1 ? 1 : (position > length_ ? length_ : position);
        if (position < first_ || position >= first_ + static_cast<int64_t>(values_.size())) Fill(position);
        return values_[static_cast<size_t>(position - first_)];
    }

  private:
    void Fill(int64_t position);
    FileCarrBuffClass& buffer_;
    int32_t length_;
    int64_t first_ = 0;
    std::vector<int16_t> values_;
};

// Appends values to a buffer from position 1 on, in blocks the buffer accepts.
class SampleWriter {
  public:
    // Values still pending when the writer goes are lost: call Finish (it may throw on a disk error).
    explicit SampleWriter(FileCarrBuffClass& buffer);
    void Put(int16_t value) {
        pending_.push_back(value);
        if (pending_.size() == capacity_) Finish();
    }
    // Writes what is pending.
    void Finish();
    int64_t Written() const { return next_ - 1 + static_cast<int64_t>(pending_.size()); }

  private:
    FileCarrBuffClass& buffer_;
    size_t capacity_;
    int64_t next_ = 1;
    std::vector<int16_t> pending_;
};

}  // namespace composer
