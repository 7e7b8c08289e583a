#include "document/ansi_text.h"

#include <cstdint>

namespace composer {

namespace {

// Windows-1252 bytes 0x80 .. 0x9F; the unassigned ones keep their own number.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CharOfByte(unsigned char byte) {
    return (byte >= 0x80 && byte < 0xA0) ? kHighControls[byte - 0x80] : byte;
}

char ByteOfChar(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

// Decodes one UTF-8 sequence at text[pos]; its length in `length`, 0 when it is not valid UTF-8.
char32_t DecodeUtf8(std::string_view text, std::size_t pos, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    length = lead < 0x80 ? 1 : lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || pos + length > text.size()) return length = 0, 0;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) return length = 0, 0;
        c = (c << 6) | (next & 0x3F);
    }
    const char32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return length = 0, 0;
    return c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        std::size_t length = 0;
        DecodeUtf8(bytes, pos, length);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

std::string Utf8ToAnsi(std::string_view utf8) {
    std::string ansi;
    for (std::size_t pos = 0; pos < utf8.size();) {
        std::size_t length = 0;
        const char32_t c = DecodeUtf8(utf8, pos, length);
        if (length == 0) {
            ansi += utf8[pos++];
            continue;
        }
        ansi += ByteOfChar(c);
        pos += length;
    }
    return ansi;
}

std::string AnsiToUtf8(std::string_view ansi) {
    std::string utf8;
    for (const char byte : ansi) AppendUtf8(utf8, CharOfByte(static_cast<unsigned char>(byte)));
    return utf8;
}

}  // namespace composer
