#pragma once
// Reading and writing numbers as the settings file and the input boxes hold them.
#include <cstdint>
#include <string>
#include <string_view>

namespace composer {

// The leading decimal number of a text: leading blanks skipped, an optional sign, digits with an
// optional decimal point and an optional exponent. A text that does not start with a number reads
// as 0 ("12abc" -> 12, "abc" -> 0, " -1.5e2x" -> -150, "" -> 0).
double LeadingNumber(std::string_view text);

// The shortest decimal text that reads back as the same value ("25", "29.97", "-3", "1e+21").
std::string FormatNumber(double value);
std::string FormatNumber(int64_t value);
inline std::string FormatNumber(int32_t value) { return FormatNumber(static_cast<int64_t>(value)); }

// The text without leading and trailing spaces (spaces only, as the program's trimming does).
std::string TrimSpaces(std::string_view text);

// The first maxChars characters of a UTF-8 text, never cutting a character's byte sequence.
std::string FirstChars(std::string_view text, std::size_t maxChars);

// The text with ASCII letters in lower case.
std::string LowerAscii(std::string_view text);

}  // namespace composer
