// Late binding served from a description of each interface: the members' names, dispatch ids,
// kinds and parameter names and defaults. Each member's invoker converts the caller's VARIANT
// arguments to the C++ types of the interface method and calls that method through the
// interface table, so a call by name reaches exactly the code an early-bound call reaches.
#pragma once

#include <functional>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "cbplatform/bstr.h"
#include "cbplatform/variant.h"

namespace vidmill {

// How each scalar parameter type travels in a VARIANT.
template <typename T>
struct ScalarType;
template <>
struct ScalarType<LONG> {
    static constexpr VARTYPE kType = VT_I4;
    static LONG Read(const VARIANT& v) { return v.lVal; }
    static void Write(VARIANT& v, LONG value) { v.lVal = value; }
};
template <>
struct ScalarType<double> {
    static constexpr VARTYPE kType = VT_R8;
    static double Read(const VARIANT& v) { return v.dblVal; }
    static void Write(VARIANT& v, double value) { v.dblVal = value; }
};
template <>
struct ScalarType<float> {
    static constexpr VARTYPE kType = VT_R4;
    static float Read(const VARIANT& v) { return v.fltVal; }
    static void Write(VARIANT& v, float value) { v.fltVal = value; }
};
template <>
struct ScalarType<VARIANT_BOOL> {
    static constexpr VARTYPE kType = VT_BOOL;
    static VARIANT_BOOL Read(const VARIANT& v) { return v.boolVal; }
    static void Write(VARIANT& v, VARIANT_BOOL value) { v.boolVal = value; }
};

// One input argument as the invoker holds it while the call runs.
template <typename T, typename = void>
struct InArg;

template <typename T>
struct InArg<T, std::enable_if_t<std::is_arithmetic_v<T>>> {
    T value{};
    HRESULT From(const VARIANT& v) {
        cb::Variant converted;
        const HRESULT hr = VariantChangeType(converted.get(), &v, 0, ScalarType<T>::kType);
        if (SUCCEEDED(hr)) value = ScalarType<T>::Read(*converted.get());
        return hr;
    }
    T get() { return value; }
};

template <>
struct InArg<BSTR> {
    cb::Variant text;  // owns the converted text for the duration of the call
    HRESULT From(const VARIANT& v) {
        if (v.vt == VT_EMPTY) return S_OK;
        return VariantChangeType(text.get(), &v, 0, VT_BSTR);
    }
    BSTR get() { return text.get()->vt == VT_BSTR ? text.get()->bstrVal : nullptr; }
};

// Interface pointers: whatever object the caller passed, asked for the parameter's interface.
template <typename I>
struct InArg<I*, std::enable_if_t<std::is_base_of_v<IUnknown, I>>> {
    cb::ComPtr<I> object;
    HRESULT From(const VARIANT& v) {
        const VARIANT& source = (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal) ? *v.pvarVal : v;
        if (source.vt == VT_EMPTY || source.vt == VT_NULL) return S_OK;
        if (source.vt != VT_UNKNOWN && source.vt != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
        if (!source.punkVal) return S_OK;
        if constexpr (std::is_same_v<I, IUnknown>) {
            object = cb::ComPtr<IUnknown>::Retain(source.punkVal);
            return S_OK;
        } else {
            return source.punkVal->QueryInterface(I::kIid, object.putVoid()) == S_OK ? S_OK
                                                                                     : DISP_E_TYPEMISMATCH;
        }
    }
    I* get() { return object.get(); }
};

// The result slot of a method's last (out) argument, and how it becomes the call's result.
template <typename T, typename = void>
struct OutArg;

template <typename T>
struct OutArg<T, std::enable_if_t<std::is_arithmetic_v<T>>> {
    T value{};
    void Store(VARIANT& r) {
        r.vt = ScalarType<T>::kType;
        ScalarType<T>::Write(r, value);
    }
};
template <>
struct OutArg<BSTR> {
    BSTR value = nullptr;
    ~OutArg() { SysFreeString(value); }
    void Store(VARIANT& r) {
        r.vt = VT_BSTR;
        r.bstrVal = std::exchange(value, nullptr);
    }
};
template <typename I>
struct OutArg<I*, std::enable_if_t<std::is_base_of_v<IUnknown, I>>> {
    I* value = nullptr;
    ~OutArg() {
        if (value) value->Release();
    }
    void Store(VARIANT& r) {
        r.vt = std::is_base_of_v<IDispatch, I> ? VT_DISPATCH : VT_UNKNOWN;
        r.punkVal = std::exchange(value, nullptr);
    }
};

// A parameter is the method's result when it points at a value or an interface pointer; texts
// (BSTR) and interface pointers passed in are inputs.
template <typename P>
constexpr bool IsOutParam =
    std::is_pointer_v<P> && !std::is_same_v<P, BSTR> && !std::is_class_v<std::remove_pointer_t<P>>;

// Whether the last of a method's parameters is its result.
template <typename... Args>
constexpr bool LastIsOut = false;
template <typename First, typename... Rest>
constexpr bool LastIsOut<First, Rest...> = sizeof...(Rest) == 0 ? IsOutParam<First> : LastIsOut<Rest...>;

template <typename... Args>
using LastOf = std::tuple_element_t<sizeof...(Args) - 1, std::tuple<Args...>>;

using Invoker = std::function<HRESULT(IUnknown* self, const std::vector<const VARIANT*>& args,
                                      VARIANT* result, UINT* badArgument)>;

struct DispatchMember {
    std::string name;
    DISPID id = 0;
    WORD kind = DISPATCH_METHOD;  // DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT
    std::vector<std::string> parameterNames;
    // One entry per input parameter: the value used when the caller omits it (VT_EMPTY: 0/false/empty).
    std::vector<cb::Variant> defaults;
    Invoker invoke;
};

namespace detail {

template <typename Interface, typename... Args, std::size_t... In>
HRESULT CallWithInputs(Interface* object, HRESULT (Interface::*method)(Args...),
                       const std::vector<const VARIANT*>& args, VARIANT* result, UINT* badArgument,
                       std::index_sequence<In...>) {
    using Params = std::tuple<Args...>;
    std::tuple<InArg<std::tuple_element_t<In, Params>>...> inputs;
    HRESULT converted = S_OK;
    std::size_t failedAt = 0;
    [[maybe_unused]] auto load = [&](auto& holder, std::size_t index) {
        if (SUCCEEDED(converted)) {
            converted = holder.From(*args[index]);
            if (FAILED(converted)) failedAt = index;
        }
    };
    (load(std::get<In>(inputs), In), ...);
    if (FAILED(converted)) {
        if (badArgument) *badArgument = static_cast<UINT>(failedAt);
        return DISP_E_TYPEMISMATCH;
    }
    if constexpr (LastIsOut<Args...>) {
        using Out = std::remove_pointer_t<LastOf<Args...>>;
        OutArg<Out> out;
        const HRESULT hr = (object->*method)(std::get<In>(inputs).get()..., &out.value);
        if (SUCCEEDED(hr) && result) out.Store(*result);
        return hr;
    } else {
        return (object->*method)(std::get<In>(inputs).get()...);
    }
}

}  // namespace detail

// Describes one member; the invoker is derived from the interface method's own signature.
template <typename Interface, typename... Args>
DispatchMember Member(const char* name, DISPID id, WORD kind, HRESULT (Interface::*method)(Args...),
                      std::vector<std::string> parameterNames = {}, std::vector<cb::Variant> defaults = {}) {
    constexpr std::size_t inputs = sizeof...(Args) - (LastIsOut<Args...> ? 1 : 0);
    DispatchMember member;
    member.name = name;
    member.id = id;
    member.kind = kind;
    member.parameterNames = std::move(parameterNames);
    member.parameterNames.resize(inputs);
    member.defaults = std::move(defaults);
    member.defaults.resize(inputs);
    member.invoke = [method](IUnknown* self, const std::vector<const VARIANT*>& args, VARIANT* result,
                             UINT* badArgument) {
        auto* object = dynamic_cast<Interface*>(self);
        if (!object) return E_NOINTERFACE;
        using Inputs = std::make_index_sequence<sizeof...(Args) - (LastIsOut<Args...> ? 1 : 0)>;
        return detail::CallWithInputs(object, method, args, result, badArgument, Inputs{});
    };
    return member;
}

// The late-bound face of one interface.
class DispatchTable {
  public:
    explicit DispatchTable(std::vector<DispatchMember> members) : members_(std::move(members)) {}

    // Member names (and after it, parameter names of that member) to ids; names compare
    // without regard to case. DISP_E_UNKNOWNNAME for any name not found (its id is DISPID_UNKNOWN).
    HRESULT GetIDsOfNames(OLECHAR** names, UINT count, DISPID* ids) const;
    HRESULT Invoke(IUnknown* self, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* badArgument) const;

    const std::vector<DispatchMember>& members() const { return members_; }

  private:
    const DispatchMember* Find(DISPID id, WORD flags) const;
    std::vector<DispatchMember> members_;
};

}  // namespace vidmill
