#pragma once
// Conversion between the program's UTF-8 texts and the single-byte Windows-1252 code page that
// older files and the project cipher's key use.
#include <string>
#include <string_view>

namespace composer {

// One byte per character: characters of the code page become their byte, others become '?'.
// Bytes that are not valid UTF-8 are taken as Windows-1252 bytes as they stand.
std::string Utf8ToAnsi(std::string_view utf8);

// UTF-8 for Windows-1252 bytes (the five unassigned bytes map to the same-numbered control characters).
std::string AnsiToUtf8(std::string_view ansi);

// Whether the bytes are valid UTF-8 (shortest forms, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

}  // namespace composer
