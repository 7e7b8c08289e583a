#include "document/source_probe.h"

#include "base/text_number.h"

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

std::string PathEnding(const std::string& path) {
    return LowerAscii(path.size() <= 4 ? path : path.substr(path.size() - 4));
}

}  // namespace composer
