// An owner for a C stream: closes the file when it goes. Code that must know whether the close
// succeeded (the last buffered bytes are written then) closes it itself with std::fclose(release()).
#pragma once

#include <cstdio>
#include <memory>

namespace cb {

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileClose>;

}  // namespace cb
