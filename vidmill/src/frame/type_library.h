// The library's type library: the description of each interface (its members, ids, parameters
// and defaults) and the ProgID of the class that implements it.
#pragma once

#include "frame/dispatch_table.h"
#include "vidmill/vidmill.h"

namespace vidmill {

template <typename Interface>
const DispatchTable& TypeInfoOf();
template <typename Interface>
const char* ProgIdOf();

#define VIDMILL_DECLARE_TYPE_INFO(I)      \
    template <>                           \
    const DispatchTable& TypeInfoOf<I>(); \
    template <>                           \
    const char* ProgIdOf<I>();
VIDMILL_DECLARE_TYPE_INFO(IAviReader)
VIDMILL_DECLARE_TYPE_INFO(IAviFrames)
VIDMILL_DECLARE_TYPE_INFO(IAviFrame)
VIDMILL_DECLARE_TYPE_INFO(IAviWriter)
VIDMILL_DECLARE_TYPE_INFO(IAviCompressors)
VIDMILL_DECLARE_TYPE_INFO(IAviCompressor)
VIDMILL_DECLARE_TYPE_INFO(IAviWatermark)
#undef VIDMILL_DECLARE_TYPE_INFO

}  // namespace vidmill
