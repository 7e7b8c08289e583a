#include "base/failure.h"

#include <cstring>
#include <new>

#include "base/interaction.h"

namespace composer {

void FailWithErrno(const std::string& what, int errorNumber) {
    throw Failure(what + ": " + std::strerror(errorNumber));
}

std::string CurrentFailureText() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return "There is not enough memory for this.";
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "An unexpected error stopped this.";
    }
}

void ReportFailure(const std::string& message, std::string_view title) {
    MsgBox(message, MsgButtons::OK, std::string(title));
}

}  // namespace composer
