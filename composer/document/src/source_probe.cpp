#include "document/source_probe.h"

namespace composer {

namespace {

SourceProbe* installed = nullptr;

}  // namespace

SourceProbe& Sources() {
    static NoSourceProbe none;
    return installed ? *installed : none;
}

void SetSourceProbe(SourceProbe* probe) { installed = probe; }

ScopedSourceProbe::ScopedSourceProbe(SourceProbe& probe) : previous_(installed) { installed = &probe; }

ScopedSourceProbe::~ScopedSourceProbe() { installed = previous_; }

}  // namespace composer
