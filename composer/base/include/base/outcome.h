#pragma once
// Outcome: what a step gives, or the reason it gives nothing. The value route of the program's
// failures: a step whose caller goes on after a refusal (a probe of one source among many, adding
// one clip of several) returns its reason with its result instead of throwing, and the caller
// passes that reason on to the user or into a warning. Nothing keeps a "last problem" on the side.
#include <optional>
#include <string>
#include <utility>

namespace composer {

template <typename Value>
class Outcome {
  public:
    // Done, with its value.
    Outcome(Value value) : value_(std::move(value)) {}  // NOLINT: a step returns its value as it is

    // Refused for `reason`; "" when the step cannot say (a program without readers).
    static Outcome Refused(std::string reason) {
        Outcome refused;
        refused.reason_ = std::move(reason);
        return refused;
    }

    explicit operator bool() const { return value_.has_value(); }
    const Value& operator*() const { return *value_; }
    const Value* operator->() const { return &*value_; }
    // Why there is no value; "" when there is one.
    const std::string& Reason() const { return reason_; }

  private:
    Outcome() = default;

    std::optional<Value> value_;
    std::string reason_;
};

}  // namespace composer
