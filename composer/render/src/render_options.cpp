#include "render/render_options.h"

#include "base/app_state.h"

namespace composer {

RenderOptions RenderOptionsFromSettings() {
    RenderOptions options;
    options.compressor = OutCompressor;
    options.memoryBudget = MemoryBudget;
    return options;
}

}  // namespace composer
