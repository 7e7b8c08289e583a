#include "base/text_number.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

namespace composer {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the run of digits starting at pos.
std::size_t DigitRun(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && IsDigit(text[end])) ++end;
    return end - pos;
}

}  // namespace

double LeadingNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    const std::size_t start = pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    const std::size_t whole = DigitRun(text, pos);
    pos += whole;
    std::size_t fraction = 0;
    if (pos < text.size() && text[pos] == '.') {
        fraction = DigitRun(text, pos + 1);
        if (whole + fraction > 0) pos += 1 + fraction;
    }
    if (whole + fraction == 0) return 0.0;
    // An exponent counts only when digits follow it.
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t exp = pos + 1;
        if (exp < text.size() && (text[exp] == '+' || text[exp] == '-')) ++exp;
        if (const std::size_t digits = DigitRun(text, exp); digits > 0) pos = exp + digits;
    }
    const std::string number(text.substr(start, pos - start));
    return std::strtod(number.c_str(), nullptr);
}

std::string FormatNumber(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FormatNumber(int64_t value) { return std::to_string(value); }

std::string TrimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string FirstChars(std::string_view text, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsChar = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsChar && ++chars > maxChars) return std::string(text.substr(0, i));
    }
    return std::string(text);
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

}  // namespace composer
