// The base of every library object: reference counting (its own, or its parent's for embedded
// objects), QueryInterface for its interfaces, late binding from the interface's description,
// the server's object count, and the method guard.
#pragma once

#include <atomic>
#include <memory>

#include "cbplatform/variant.h"
#include "frame/dispatch_table.h"
#include "frame/guard.h"
#include "frame/server_counts.h"
#include "frame/type_library.h"
#include "vidmill/vidmill.h"

namespace vidmill {

// How an object counts towards DllCanUnloadNow. Objects made by AviCreateObject are not counted;
// embedded objects live inside their parent and forward their reference counting to it.
enum class Counting { Counted, NotCounted, Embedded };

template <typename Derived, typename Interface, typename... Extra>
class AutoObject : public Interface, public Extra... {
  public:
    AutoObject(const AutoObject&) = delete;
    AutoObject& operator=(const AutoObject&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid == IUnknown::kIid || iid == IDispatch::kIid || iid == Interface::kIid) {
            *object = static_cast<Interface*>(this);
        } else if (!(FindExtra<Extra>(iid, object) || ...)) {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override {
        if (controller_) return controller_->AddRef();
        return refs_.fetch_add(1, std::memory_order_relaxed) + 1;
    }
    ULONG Release() override {
        if (controller_) return controller_->Release();
        const ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) delete static_cast<Derived*>(this);
        return left;
    }

    HRESULT GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(REFIID, OLECHAR** names, UINT count, LCID, DISPID* ids) override {
        return TypeInfoOf<Interface>().GetIDsOfNames(names, count, ids);
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* badArgument) override {
        return TypeInfoOf<Interface>().Invoke(static_cast<Interface*>(this), id, flags, params, result,
                                              exception, badArgument);
    }

    // The parent of an embedded object destroys it (through EmbeddedPtr) when it goes itself.
    void DestroyEmbedded() { delete static_cast<Derived*>(this); }
    bool IsEmbedded() const { return controller_ != nullptr; }

  protected:
    // controller: the parent's IUnknown for Counting::Embedded, else ignored.
    explicit AutoObject(Counting counting, IUnknown* controller = nullptr)
        : counting_(counting), controller_(counting == Counting::Embedded ? controller : nullptr) {
        if (counting_ == Counting::Counted) CountObject(true);
    }
    virtual ~AutoObject() {
        if (counting_ == Counting::Counted) CountObject(false);
    }

    // Runs a method body under the library's error guard.
    template <typename Body>
    HRESULT Guarded(Body&& body) {
        return RunGuarded(Interface::kIid, ProgIdOf<Interface>(), std::forward<Body>(body));
    }

  private:
    template <typename E>
    bool FindExtra(REFIID iid, void** object) {
        if (iid != E::kIid) return false;
        *object = static_cast<E*>(this);
        return true;
    }

    std::atomic<ULONG> refs_{1};
    Counting counting_;
    IUnknown* controller_;
};

struct EmbeddedDeleter {
    template <typename T>
    void operator()(T* object) const {
        object->DestroyEmbedded();
    }
};
// Owns an embedded object for its parent.
template <typename T>
using EmbeddedPtr = std::unique_ptr<T, EmbeddedDeleter>;

// The out argument of a property: stores value in *out (E_POINTER for a null out).
template <typename T>
HRESULT Read(T value, T* out) {
    if (out == nullptr) return E_POINTER;
    *out = value;
    return S_OK;
}
inline HRESULT ReadFlag(bool value, VARIANT_BOOL* out) {
    return Read<VARIANT_BOOL>(value ? VARIANT_TRUE : VARIANT_FALSE, out);
}

// Stores a new reference to object in *out (E_POINTER for a null out).
template <typename I, typename T>
HRESULT HandOut(T* object, I** out) {
    if (!out) return E_POINTER;
    *out = static_cast<I*>(object);
    if (*out) (*out)->AddRef();
    return S_OK;
}

}  // namespace vidmill
