#include "cbplatform/com_types.h"

#include <cctype>
#include <cstdio>

namespace cb {

std::string FormatGuid(const GUID& g) {
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2,
                  g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                  g.Data4[7]);
    return text;
}

namespace {
bool ReadHex(std::string_view text, std::size_t offset, std::size_t digits, std::uint32_t& out) {
    out = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const char c = text[offset + i];
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        const int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
        out = out * 16 + static_cast<std::uint32_t>(v);
    }
    return true;
}
}  // namespace

std::optional<GUID> ParseGuid(std::string_view text) {
    if (text.size() == 38) {
        if (text.front() != '{' || text.back() != '}') return std::nullopt;
        text = text.substr(1, 36);
    }
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return std::nullopt;
    GUID g;
    std::uint32_t v = 0;
    if (!ReadHex(text, 0, 8, v)) return std::nullopt;
    g.Data1 = v;
    if (!ReadHex(text, 9, 4, v)) return std::nullopt;
    g.Data2 = static_cast<std::uint16_t>(v);
    if (!ReadHex(text, 14, 4, v)) return std::nullopt;
    g.Data3 = static_cast<std::uint16_t>(v);
    for (std::size_t i = 0; i < 2; ++i) {
        if (!ReadHex(text, 19 + 2 * i, 2, v)) return std::nullopt;
        g.Data4[i] = static_cast<std::uint8_t>(v);
    }
    for (std::size_t i = 0; i < 6; ++i) {
        if (!ReadHex(text, 24 + 2 * i, 2, v)) return std::nullopt;
        g.Data4[2 + i] = static_cast<std::uint8_t>(v);
    }
    return g;
}

}  // namespace cb
