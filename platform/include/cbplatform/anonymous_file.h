// Files with no name, for data that lives only as long as the process needs it.
#pragma once

#include <string>

#include "cbplatform/com_types.h"

namespace cb {

// A new file with no name in `folder`, open for reading and writing: it disappears with its
// last descriptor, however the program ends, so nothing is left behind. -1 (errno set) when the
// folder takes no new file.
CB_PLATFORM_API int OpenAnonymousFile(const std::string& folder);

// The same in the temporary folder: $TMPDIR, else /tmp.
CB_PLATFORM_API int OpenAnonymousTempFile();

}  // namespace cb
