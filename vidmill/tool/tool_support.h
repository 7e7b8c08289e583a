// What the tool's commands share: making library objects, reporting failures, reading options.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "vidmill/vidmill.h"

namespace vidmill::tool {

// A command's arguments after its name.
using Arguments = std::vector<std::string>;

// Thrown by a command to stop with the library's message (or its own) and exit status 1.
struct CommandFailed {
    std::string message;
};

// Throws CommandFailed with the thread's error information when hr is a failure.
void Check(HRESULT hr, const char* what);

// Creates a library object by AviCreateObject kind (1 writer, 2 compressors, 3 compressor, 4 reader).
template <typename I>
cb::ComPtr<I> Create(LONG kind) {
    IDispatch* raw = nullptr;
    AviCreateObject(&raw, kind);
    auto object = cb::ComPtr<IDispatch>::Adopt(raw);
    auto typed = object.as<I>();
    if (!typed) throw CommandFailed{"the library could not create the object"};
    return typed;
}

// "--name value" options after the positional arguments.
class Options {
  public:
    // Splits arguments into positional ones and options; flags are options without a value.
    Options(const Arguments& arguments, const std::vector<std::string>& flags);
    const std::vector<std::string>& positional() const { return positional_; }
    std::optional<std::string> value(const std::string& name) const;
    std::vector<std::string> values(const std::string& name) const;
    bool flag(const std::string& name) const;
    long integer(const std::string& name, long fallback) const;
    double number(const std::string& name, double fallback) const;

  private:
    std::vector<std::string> positional_;
    std::vector<std::pair<std::string, std::string>> options_;
    std::vector<std::string> flags_;
};

// The four characters of a handler code; non-printing bytes as \xNN.
std::string FourCCText(LONG code);
// A handler code from its four characters (shorter codes are padded with blanks) or a number.
LONG ParseFourCC(const std::string& text);

}  // namespace vidmill::tool
