#include "media/sound/sample_streams.h"

#include <algorithm>

namespace composer {
namespace {

// Positions kept before the one asked for, so that an interpolation looking back stays in memory.
constexpr int64_t kLookBack = 4;

}  // namespace

SampleReader::SampleReader(FileCarrBuffClass& buffer) : buffer_(buffer), length_(buffer.Length()) {}

void SampleReader::Fill(int64_t position) {
    first_ = std::max<int64_t>(1, position - kLookBack);
    const int64_t count = std::min<int64_t>(TransferBlock(buffer_), length_ - first_ + 1);
    values_.resize(static_cast<size_t>(count));
    buffer_.ReadBlock(static_cast<int32_t>(first_), values_);
}

SampleWriter::SampleWriter(FileCarrBuffClass& buffer)
    : buffer_(buffer), capacity_(static_cast<size_t>(TransferBlock(buffer))) {
    pending_.reserve(capacity_);
}

void SampleWriter::Finish() {
    if (pending_.empty()) return;
    buffer_.WriteBlock(static_cast<int32_t>(next_), pending_);
    next_ += static_cast<int64_t>(pending_.size());
    pending_.clear();
}

}  // namespace composer
