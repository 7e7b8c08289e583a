// File names of a saved frame sequence.
#pragma once

#include <string>

namespace vidmill::reader {

// prefix + the decimal number padded on the left with "0" to at least `digits` characters (a
// longer number is never cut) + postfix.
std::string SequenceFileName(const std::string& prefix, long long number, int digits,
                             const std::string& postfix);

}  // namespace vidmill::reader
