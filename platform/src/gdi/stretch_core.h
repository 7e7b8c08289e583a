// The sampling core shared by the stretch calls and the picture object's Render: each destination
// pixel along an axis is mapped, once per call, to the source pixel under its centre.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "cbplatform/bitmap.h"

namespace cb {

// Destination pixels first, first + 1, … and the source pixel of each (-1: none, not drawn).
struct AxisMap {
    int first = 0;
    std::vector<int> source;
};

// The destination run starts at pixel start and covers |extent| pixels in the extent's direction;
// only pixels inside 0..limit - 1 are kept. sourceIndex maps the fraction of the run at a pixel's
// centre (0 < f < 1, counted from start) to a source pixel.
template <typename SourceIndex>
AxisMap MapAxis(int start, int extent, int limit, SourceIndex sourceIndex) {
    AxisMap map;
    if (extent == 0) return map;
    const long long count = std::llabs(static_cast<long long>(extent));
    const long long low = extent > 0 ? start : start - count + 1;
    const long long first = std::max<long long>(low, 0);
    const long long end = std::min<long long>(low + count, limit);
    if (first >= end) return map;
    map.first = static_cast<int>(first);
    map.source.reserve(static_cast<std::size_t>(end - first));
    for (long long pixel = first; pixel < end; ++pixel) {
        const long long step = extent > 0 ? pixel - start : start - pixel;
        map.source.push_back(sourceIndex((static_cast<double>(step) + 0.5) / static_cast<double>(count)));
    }
    return map;
}

// Copies the mapped source pixels into the destination, converting depths.
void CopyThroughMaps(Bitmap& destination, const AxisMap& columns, const AxisMap& rows, const Bitmap& source);

}  // namespace cb
