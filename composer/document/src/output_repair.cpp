#include "document/output_repair.h"

#include <cmath>

namespace composer {

double RepairedOutFps(double outFps) {
    // A rate that is not a finite positive number cannot time a movie; NaN counts as such too.
    return (std::isfinite(outFps) && outFps > 0) ? outFps : kRepairedOutFps;
}

bool RepairOutputSettings(MovieDbRec& movie) {
    bool changed = false;
    if (RepairedOutFps(movie.OutFps) != movie.OutFps) {
        movie.OutFps = kRepairedOutFps;
        changed = true;
    }
    if (movie.OutWidth < 1) {
        movie.OutWidth = kRepairedOutWidth;
        changed = true;
    }
    if (movie.OutHeight < 1) {
        movie.OutHeight = kRepairedOutHeight;
        changed = true;
    }
    return changed;
}

}  // namespace composer
