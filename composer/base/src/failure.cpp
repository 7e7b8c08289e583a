#include "base/failure.h"

#include <cstring>
#include <new>

#include "base/interaction.h"

namespace composer {

Failure::Failure(const std::string& file, const std::string& reason)
    : std::runtime_error(file + "\r\n" + reason), file_(file), reason_(reason) {}

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

std::string CurrentFailureReason() {
    try {
        throw;
    } catch (const Failure& failure) {
        return failure.Reason();
    } catch (...) {
        return CurrentFailureText();
    }
}

void ReportFailure(const std::string& message, std::string_view title) {
    MsgBox(message, MsgButtons::OK, std::string(title));
}

}  // namespace composer
