#include "compressors/compressor_cursor.h"

namespace vidmill::compressors {

void CompressorCursor::reset() { index_ = 0; }

bool CompressorCursor::next() {
    if (!valid()) return false;
    const std::uint32_t handler = current()->handler;
    do {
        ++index_;
    } while (valid() && current()->handler == handler);
    return valid();
}

}  // namespace vidmill::compressors
