#include "reader/output_over_source.h"

#include "cbplatform/file_checks.h"
#include "frame/error.h"

namespace vidmill::reader {

void RefuseOutputOverSource(const std::string& source, const std::string& output) {
    if (!cb::SameFile(source, output)) return;
    throw Error(std::string(kWritesOverSourceMessage) + " \"" + output + "\"");
}

}  // namespace vidmill::reader
