#include "frame/error.h"

#include <cstring>

namespace vidmill {

Error SystemFailure(const std::string& message, int systemError) {
    if (systemError == 0) return Error(message);
    return Error(message + ": " + std::strerror(systemError));
}

}  // namespace vidmill
