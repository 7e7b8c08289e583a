// Core types of the component runtime: status codes, GUIDs, IUnknown and its smart pointer.
// The layout matches the interface-table convention the library and the program share:
// abstract classes with only pure virtual methods and no virtual destructor.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#if defined(CB_PLATFORM_BUILD)
#define CB_PLATFORM_API __attribute__((visibility("default")))
#else
#define CB_PLATFORM_API
#endif

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using DWORD = std::uint32_t;
using VARIANT_BOOL = std::int16_t;
// Window handles cross interfaces as 32-bit values; the library only passes them on.
using OLE_HANDLE = std::int32_t;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_HANDLE = static_cast<HRESULT>(0x80070006u);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);
constexpr HRESULT CO_E_DLLNOTFOUND = static_cast<HRESULT>(0x800401F8u);
constexpr HRESULT CO_E_ERRORINDLL = static_cast<HRESULT>(0x800401F9u);
constexpr HRESULT DISP_E_UNKNOWNINTERFACE = static_cast<HRESULT>(0x80020001u);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
constexpr HRESULT DISP_E_PARAMNOTFOUND = static_cast<HRESULT>(0x80020004u);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006u);
constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009u);
constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000Eu);
constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = static_cast<HRESULT>(0x8002000Fu);
constexpr HRESULT STG_E_FILENOTFOUND = static_cast<HRESULT>(0x80030002u);
constexpr HRESULT STG_E_ACCESSDENIED = static_cast<HRESULT>(0x80030005u);
constexpr HRESULT STG_E_WRITEFAULT = static_cast<HRESULT>(0x8003001Du);
constexpr HRESULT STG_E_READFAULT = static_cast<HRESULT>(0x8003001Eu);
constexpr HRESULT STG_E_INVALIDFUNCTION = static_cast<HRESULT>(0x80030001u);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};

    friend constexpr bool operator==(const GUID&, const GUID&) = default;
    friend constexpr auto operator<=>(const GUID&, const GUID&) = default;
};
static_assert(sizeof(GUID) == 16, "GUID is 16 bytes");

using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

namespace cb {

namespace detail {
consteval std::uint32_t HexDigit(char c) {
    if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<std::uint32_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<std::uint32_t>(c - 'A' + 10);
    throw "not a hex digit";
}
consteval std::uint32_t HexField(const char* text, int offset, int digits) {
    std::uint32_t value = 0;
    for (int i = 0; i < digits; ++i) value = value * 16 + HexDigit(text[offset + i]);
    return value;
}
}  // namespace detail

// A GUID written in its registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", checked at compile time.
consteval GUID MakeGuid(const char (&text)[39]) {
    if (text[0] != '{' || text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-' ||
        text[37] != '}')
        throw "malformed GUID";
    GUID g{};
    g.Data1 = detail::HexField(text, 1, 8);
    g.Data2 = static_cast<std::uint16_t>(detail::HexField(text, 10, 4));
    g.Data3 = static_cast<std::uint16_t>(detail::HexField(text, 15, 4));
    g.Data4[0] = static_cast<std::uint8_t>(detail::HexField(text, 20, 2));
    g.Data4[1] = static_cast<std::uint8_t>(detail::HexField(text, 22, 2));
    for (int i = 0; i < 6; ++i)
        g.Data4[2 + i] = static_cast<std::uint8_t>(detail::HexField(text, 25 + 2 * i, 2));
    return g;
}

// Registry form with upper-case digits and braces.
CB_PLATFORM_API std::string FormatGuid(const GUID& guid);
// Accepts the registry form, with or without braces, in either case; nullopt for anything else.
CB_PLATFORM_API std::optional<GUID> ParseGuid(std::string_view text);

}  // namespace cb

struct IUnknown {
    static constexpr IID kIid = cb::MakeGuid("{00000000-0000-0000-C000-000000000046}");
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

  protected:
    ~IUnknown() = default;
};

constexpr IID IID_IUnknown = IUnknown::kIid;

// Interfaces name their id as a static member so that QueryAs<T> can find it.
template <typename T>
concept HasInterfaceId = requires {
    T::kIid;
};

namespace cb {

// Owns one reference to a reference-counted interface. Whether a raw pointer's reference is
// taken over or a new one is added is always said at the call: Adopt or Retain.
template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    static ComPtr Adopt(T* raw) {
        ComPtr p;
        p.ptr_ = raw;
        return p;
    }
    static ComPtr Retain(T* raw) {
        if (raw) raw->AddRef();
        return Adopt(raw);
    }
    ComPtr(const ComPtr& other) : ptr_(other.ptr_) {
        if (ptr_) ptr_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(const ComPtr& other) {
        ComPtr copy(other);
        swap(copy);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr moved(std::move(other));
        swap(moved);
        return *this;
    }
    ~ComPtr() { reset(); }

    void reset() {
        if (T* old = std::exchange(ptr_, nullptr)) old->Release();
    }
    // For out parameters: releases what is held and hands out the slot.
    T** put() {
        reset();
        return &ptr_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    // Gives the reference away to the caller.
    [[nodiscard]] T* detach() { return std::exchange(ptr_, nullptr); }
    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    T& operator*() const { return *ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    void swap(ComPtr& other) noexcept { std::swap(ptr_, other.ptr_); }

    // QueryInterface for U; empty when the object does not implement it.
    template <HasInterfaceId U>
    ComPtr<U> as() const {
        ComPtr<U> out;
        if (ptr_) ptr_->QueryInterface(U::kIid, out.putVoid());
        return out;
    }

  private:
    T* ptr_ = nullptr;
};

}  // namespace cb
