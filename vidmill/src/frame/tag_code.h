// A four-character code as the unsigned 32-bit value the library's files and tables hold.
#pragma once

#include <cstdint>
#include <string_view>

#include "vidmill/vidmill.h"

namespace vidmill {

constexpr std::uint32_t TagCode(std::string_view code) { return static_cast<std::uint32_t>(FourCC(code)); }

}  // namespace vidmill
