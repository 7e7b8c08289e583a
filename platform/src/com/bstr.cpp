#include "cbplatform/bstr.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
constexpr std::size_t kPrefix = sizeof(std::uint32_t);

std::uint32_t* Header(BSTR text) {
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(text) - kPrefix);
}
}  // namespace

extern "C" {

BSTR SysAllocStringLen(const OLECHAR* text, unsigned int length) {
    const std::size_t bytes = static_cast<std::size_t>(length) * sizeof(OLECHAR);
    if (bytes > 0x7FFFFFF0u) return nullptr;
    char* block = static_cast<char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
    if (!block) return nullptr;
    const auto byteLength = static_cast<std::uint32_t>(bytes);
    std::memcpy(block, &byteLength, kPrefix);
    BSTR result = reinterpret_cast<BSTR>(block + kPrefix);
    if (text && length)
        std::memcpy(result, text, bytes);
    else
        std::memset(result, 0, bytes);
    result[length] = 0;
    return result;
}

BSTR SysAllocString(const OLECHAR* text) {
    if (!text) return nullptr;
    unsigned int length = 0;
    while (text[length]) ++length;
    return SysAllocStringLen(text, length);
}

void SysFreeString(BSTR text) {
    if (text) std::free(Header(text));
}

unsigned int SysStringLen(BSTR text) { return text ? *Header(text) / sizeof(OLECHAR) : 0; }
}

namespace cb {

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::uint32_t cp = 0xFFFD;
        std::size_t length = 1;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead >> 5) == 0x6) {
            length = 2;
        } else if ((lead >> 4) == 0xE) {
            length = 3;
        } else if ((lead >> 3) == 0x1E) {
            length = 4;
        }
        if (length > 1) {
            bool valid = i + length <= utf8.size();
            std::uint32_t value = lead & (0x7F >> length);
            for (std::size_t k = 1; valid && k < length; ++k) {
                const auto next = static_cast<unsigned char>(utf8[i + k]);
                valid = (next & 0xC0) == 0x80;
                value = (value << 6) | (next & 0x3F);
            }
            if (valid) {
                cp = value;
            } else {
                length = 1;  // a broken sequence becomes one replacement character per byte
            }
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        std::uint32_t cp = utf16[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

BSTR AllocBstr(std::string_view utf8) {
    const std::u16string wide = Utf8ToUtf16(utf8);
    BSTR result = SysAllocStringLen(wide.data(), static_cast<unsigned int>(wide.size()));
    if (!result) throw std::bad_alloc();
    return result;
}

std::string BstrToUtf8(const OLECHAR* text) {
    if (!text) return {};
    return Utf16ToUtf8(std::u16string_view(text, SysStringLen(const_cast<BSTR>(text))));
}

}  // namespace cb
