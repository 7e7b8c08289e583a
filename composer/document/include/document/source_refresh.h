#pragma once
// The check of a loaded project's clips against their source files: relocation of moved sources into
// the project's folder, and the refresh of each clip's stored facts with the warnings it gives.
#include <string>
#include <vector>

#include "document/movie_records.h"
#include "document/source_probe.h"

namespace composer {

// A relative FilePath names first the file it leads to from the project's folder, which becomes its
// FilePath when there; an absolute path, or a relative one found nowhere from there, is kept as
// it is when it exists. For each clip whose FilePath does not exist, tries the project's folder + "/" + the
// last component of the path (split on '/' and '\'); a file found there becomes its FilePath. Returns the
// paths that were found nowhere, in clip order.
std::vector<std::string> RelocateSources(MovieDbRec& movie, const std::string& projectPath);

// Refreshes one clip whose source exists from what the probe reads, and checks the used range and
// the crop against the clip's size. Returns the warnings, each followed by CR LF; "" when none.
// A source the probe cannot read keeps its stored facts; the range and crop checks still run.
std::string RefreshClip(ClipRec& clip, SourceProbe& probe);

}  // namespace composer
