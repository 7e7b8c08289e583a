// Text as a JSON string literal. The library's tool and the program's headless commands both print
// JSON, and they share no layer but this one; the helper is inline so that neither links anything
// for it.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace cb {

// The text in quotes with quotes, backslashes and control characters escaped; other bytes (UTF-8
// included) as they are.
inline std::string JsonQuoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out.push_back(c);
                }
        }
    }
    return out + "\"";
}

}  // namespace cb
