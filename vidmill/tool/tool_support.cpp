#include "tool_support.h"

#include <cstdlib>
#include <stdexcept>

#include "cbplatform/errorinfo.h"

namespace vidmill::tool {

void Check(HRESULT hr, const char* what) {
    if (SUCCEEDED(hr)) return;
    std::string message = cb::TakeErrorDescription();
    if (message.empty()) {
        char code[32];
        std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
        message = std::string(what) + " failed (" + code + ")";
    }
    throw CommandFailed{message};
}

Options::Options(const Arguments& arguments, const std::vector<std::string>& flags) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.rfind("--", 0) != 0) {
            positional_.push_back(argument);
            continue;
        }
        const std::string name = argument.substr(2);
        bool isFlag = false;
        for (const auto& f : flags) isFlag = isFlag || f == name;
        if (isFlag) {
            flags_.push_back(name);
        } else if (i + 1 < arguments.size()) {
            options_.emplace_back(name, arguments[++i]);
        } else {
            throw CommandFailed{"option --" + name + " needs a value"};
        }
    }
}

std::optional<std::string> Options::value(const std::string& name) const {
    std::optional<std::string> last;
    for (const auto& [key, value] : options_)
        if (key == name) last = value;
    return last;
}

std::vector<std::string> Options::values(const std::string& name) const {
    std::vector<std::string> all;
    for (const auto& [key, value] : options_)
        if (key == name) all.push_back(value);
    return all;
}

bool Options::flag(const std::string& name) const {
    for (const auto& f : flags_)
        if (f == name) return true;
    return false;
}

long Options::integer(const std::string& name, long fallback) const {
    const auto text = value(name);
    if (!text) return fallback;
    char* end = nullptr;
    const long parsed = std::strtol(text->c_str(), &end, 10);
    if (text->empty() || *end)
        throw CommandFailed{"option --" + name + " needs a whole number, not \"" + *text + "\""};
    return parsed;
}

double Options::number(const std::string& name, double fallback) const {
    const auto text = value(name);
    if (!text) return fallback;
    char* end = nullptr;
    const double parsed = std::strtod(text->c_str(), &end);
    if (text->empty() || *end)
        throw CommandFailed{"option --" + name + " needs a number, not \"" + *text + "\""};
    return parsed;
}

std::string FourCCText(LONG code) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const auto byte = static_cast<unsigned char>((static_cast<std::uint32_t>(code) >> (8 * i)) & 0xFF);
        if (byte >= 0x20 && byte < 0x7F) {
            text.push_back(static_cast<char>(byte));
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text;
}

LONG ParseFourCC(const std::string& text) {
    if (!text.empty() && text.size() > 4) {
        char* end = nullptr;
        const long number = std::strtol(text.c_str(), &end, 10);
        if (!*end) return static_cast<LONG>(number);
        throw CommandFailed{"a compressor code has four characters: \"" + text + "\""};
    }
    return vidmill::FourCC(text);
}

}  // namespace vidmill::tool
