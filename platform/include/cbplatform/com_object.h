// A reference-counted implementation of one or more interfaces, for the platform's own objects
// (error information, streams, pictures). QueryInterface answers each listed interface, the
// interfaces they are built on (IDispatch, ISequentialStream) and IUnknown.
#pragma once

#include <atomic>
#include <type_traits>

#include "cbplatform/com_types.h"
#include "cbplatform/stream.h"
#include "cbplatform/variant.h"

namespace cb {

template <typename Derived, typename First, typename... Rest>
class RefCountedObject : public First, public Rest... {
  public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid == IUnknown::kIid) {
            *object = static_cast<IUnknown*>(static_cast<First*>(self()));
        } else if (!(Find<First>(iid, object) || (Find<Rest>(iid, object) || ...))) {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG Release() override {
        const ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) delete self();
        return left;
    }

  protected:
    RefCountedObject() = default;
    virtual ~RefCountedObject() = default;

  private:
    Derived* self() { return static_cast<Derived*>(this); }

    template <typename I>
    bool Find(REFIID iid, void** object) {
        I* as = static_cast<I*>(self());
        if (iid == I::kIid) {
            *object = as;
            return true;
        }
        if constexpr (std::is_base_of_v<IDispatch, I>) {
            if (iid == IDispatch::kIid) {
                *object = static_cast<IDispatch*>(as);
                return true;
            }
        }
        if constexpr (std::is_base_of_v<ISequentialStream, I>) {
            if (iid == ISequentialStream::kIid) {
                *object = static_cast<ISequentialStream*>(as);
                return true;
            }
        }
        return false;
    }

    std::atomic<ULONG> refs_{1};
};

}  // namespace cb
