#pragma once
// The program's one failure type and the one guard that turns failures into what a command says.
//
// Code below a command throws Failure with a text a user can act on (what failed, which file, why).
// Where a command starts (a menu command, a headless command, a render), GuardCommand runs its body:
// whatever escapes, a Failure or a failure of the standard library such as running out of memory,
// becomes that command's message, and the command reports false. Nothing escapes a command, and no
// failure passes without a message.
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

namespace composer {

class Failure : public std::runtime_error {
  public:
    explicit Failure(const std::string& message) : std::runtime_error(message), reason_(message) {}
    // A failure to read or write `file`: its text is the file, CR LF, and the reason.
    Failure(const std::string& file, const std::string& reason);

    // The file the failure concerns; "" when it names none.
    const std::string& File() const { return file_; }
    // Why it failed, without the file ("frame 1 does not decode"); the whole text when no file is named.
    const std::string& Reason() const { return reason_; }

  private:
    std::string file_;
    std::string reason_;
};

// A Failure whose text is `what` followed by the description of the error number (errno).
[[noreturn]] void FailWithErrno(const std::string& what, int errorNumber);

// The text of the exception being handled, fit to show: a Failure's own text, "There is not enough
// memory for this." for an allocation failure, the text of any other exception.
std::string CurrentFailureText();

// The reason of the exception being handled: a Failure's Reason (without its file), otherwise as
// CurrentFailureText.
std::string CurrentFailureReason();

// Shows `message` with `title` through the interaction seam (the command's message box).
void ReportFailure(const std::string& message, std::string_view title);

// Runs `body` (returning bool, or nothing); what escapes it is shown with `title` and gives false.
template <typename Body>
bool GuardCommand(std::string_view title, Body&& body) noexcept {
    try {
        if constexpr (std::is_void_v<decltype(body())>) {
            body();
            return true;
        } else {
            return static_cast<bool>(body());
        }
    } catch (...) {
        try {
            ReportFailure(CurrentFailureText(), title);
        } catch (...) {
            // The message itself could not be shown (no memory left): the false result still says it.
        }
        return false;
    }
}

}  // namespace composer
