#include "reader/frame_sequence.h"

namespace vidmill::reader {

// No file system takes a name this long; a larger digit count only costs memory.
constexpr int kMaxDigits = 4096;

std::string SequenceFileName(const std::string& prefix, long long number, int digits,
                             const std::string& postfix) {
    digits = digits > kMaxDigits ? kMaxDigits : digits;
    std::string text = std::to_string(number);
    if (digits > static_cast<int>(text.size()))
        text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
    return prefix + text + postfix;
}

}  // namespace vidmill::reader
