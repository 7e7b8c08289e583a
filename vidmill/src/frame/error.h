// The library's one internal error type. Engine code throws it with the message the caller
// should read; the method guard turns it into a status code and the thread's error information.
#pragma once

#include <stdexcept>
#include <string>

#include "cbplatform/com_types.h"

namespace vidmill {

class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& message, HRESULT platformCode = S_OK)
        : std::runtime_error(message), platformCode_(platformCode) {}
    // A failed platform call's own code; the guard passes it on when it is negative.
    HRESULT platformCode() const { return platformCode_; }

  private:
    HRESULT platformCode_;
};

// A write that failed, with the system's reason when it gave one ("Cannot write AVI audio stream:
// No space left on device"), so that a full disk is told from a refused stream.
Error SystemFailure(const std::string& message, int systemError);

// Raised when the user cancels a dialog the library shows; reported as "Operation aborted".
class AbortError : public Error {
  public:
    AbortError() : Error("Operation aborted") {}
};

}  // namespace vidmill
