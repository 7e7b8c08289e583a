#pragma once
// Sample buffers brought to the output's rate.
#include <cstdint>
#include <memory>

#include "document/file_carr_buff_class.h"

namespace composer {

// The buffer at another rate by cubic interpolation (Bernstein weights over 101 phases); the first
// output sample is the first input sample.
std::unique_ptr<FileCarrBuffClass> ResampleBuffer(int32_t fromRate, int32_t toRate, int32_t bits,
                                                  FileCarrBuffClass& source);

}  // namespace composer
