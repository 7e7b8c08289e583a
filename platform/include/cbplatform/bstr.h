// BSTR: length-prefixed UTF-16 text. The pointer points at the first character; the 32-bit
// byte length sits just before it and a terminating zero after it. A null BSTR is the empty text.
#pragma once

#include <string>
#include <string_view>

#include "cbplatform/com_types.h"

using OLECHAR = char16_t;
using BSTR = OLECHAR*;

extern "C" {
CB_PLATFORM_API BSTR SysAllocString(const OLECHAR* text);
CB_PLATFORM_API BSTR SysAllocStringLen(const OLECHAR* text, unsigned int length);
CB_PLATFORM_API void SysFreeString(BSTR text);
CB_PLATFORM_API unsigned int SysStringLen(BSTR text);
}

namespace cb {

CB_PLATFORM_API std::u16string Utf8ToUtf16(std::string_view utf8);
CB_PLATFORM_API std::string Utf16ToUtf8(std::u16string_view utf16);

// A new BSTR holding the UTF-8 text; the caller owns it.
CB_PLATFORM_API BSTR AllocBstr(std::string_view utf8);
// The BSTR's text as UTF-8 (empty for null).
CB_PLATFORM_API std::string BstrToUtf8(const OLECHAR* text);

// Owns one BSTR.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(std::string_view utf8) : text_(AllocBstr(utf8)) {}
    static Bstr Adopt(BSTR text) {
        Bstr b;
        b.text_ = text;
        return b;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : text_(other.text_) { other.text_ = nullptr; }
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            SysFreeString(text_);
            text_ = other.text_;
            other.text_ = nullptr;
        }
        return *this;
    }
    ~Bstr() { SysFreeString(text_); }

    BSTR get() const { return text_; }
    BSTR* put() {
        SysFreeString(text_);
        text_ = nullptr;
        return &text_;
    }
    [[nodiscard]] BSTR detach() {
        BSTR t = text_;
        text_ = nullptr;
        return t;
    }
    std::string utf8() const { return BstrToUtf8(text_); }

  private:
    BSTR text_ = nullptr;
};

}  // namespace cb
