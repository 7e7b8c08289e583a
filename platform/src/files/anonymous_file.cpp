#include "cbplatform/anonymous_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

namespace cb {

int OpenAnonymousFile(const std::string& folder) {
    int descriptor = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (descriptor >= 0) return descriptor;
    // A file system without unnamed files: a named one, unlinked at once.
    std::string pattern = folder + "/cbanonXXXXXX";
    descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (descriptor >= 0) ::unlink(pattern.c_str());
    return descriptor;
}

int OpenAnonymousTempFile() {
    const char* folder = std::getenv("TMPDIR");
    return OpenAnonymousFile(folder && *folder ? folder : "/tmp");
}

}  // namespace cb
