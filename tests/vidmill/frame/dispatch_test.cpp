// Late binding from an interface description, with an interface made for the test.
#include <gtest/gtest.h>

#include "frame/object_base.h"
#include "invoke_by_name.h"

namespace {

using namespace vidmill;
using cb::testing::InvokeByName;

struct ISample : IDispatch {
    static constexpr IID kIid = cb::MakeGuid("{11111111-2222-3333-4444-555555555555}");
    virtual HRESULT Join(BSTR left, LONG count, VARIANT_BOOL shout, BSTR* joined) = 0;
    virtual HRESULT Fail() = 0;
    virtual HRESULT get_Self(ISample** self) = 0;
    virtual HRESULT Take(ISample* other, LONG* same) = 0;

  protected:
    ~ISample() = default;
};

}  // namespace

namespace vidmill {
template <>
const DispatchTable& TypeInfoOf<ISample>() {
    static const DispatchTable table({
        Member("Join", 1, DISPATCH_METHOD, &ISample::Join, {"Left", "Count", "Shout"},
               {cb::Variant(), cb::Variant::Long(2)}),
        Member("Fail", 2, DISPATCH_METHOD, &ISample::Fail),
        Member("Self", 3, DISPATCH_PROPERTYGET, &ISample::get_Self),
        Member("Take", 4, DISPATCH_METHOD, &ISample::Take, {"Other"}),
    });
    return table;
}
template <>
const char* ProgIdOf<ISample>() {
    return "Vidmill.Sample";
}
}  // namespace vidmill

namespace {

class Sample final : public AutoObject<Sample, ISample> {
  public:
    Sample() : AutoObject(Counting::NotCounted) {}
    HRESULT Join(BSTR left, LONG count, VARIANT_BOOL shout, BSTR* joined) override {
        return Guarded([&] {
            std::string text;
            for (LONG i = 0; i < count; ++i) text += cb::BstrToUtf8(left);
            if (shout) text += "!";
            *joined = cb::AllocBstr(text);
        });
    }
    HRESULT Fail() override {
        return Guarded([] { throw Error("Cannot open AVI file"); });
    }
    HRESULT get_Self(ISample** self) override { return HandOut(this, self); }
    HRESULT Take(ISample* other, LONG* same) override {
        *same = other == this ? 1 : 0;
        return S_OK;
    }
};

std::string TextOf(VARIANT& v) {
    std::string text = v.vt == VT_BSTR ? cb::BstrToUtf8(v.bstrVal) : "<not text>";
    VariantClear(&v);
    return text;
}

TEST(Dispatch, ConvertsArgumentsAppliesDefaultsAndReturnsTheResult) {
    auto sample = cb::ComPtr<Sample>::Adopt(new Sample());
    VARIANT result;
    ASSERT_EQ(
        InvokeByName(*sample, u"join", DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                     {cb::Variant::Text("ab"), cb::Variant::Text("3"), cb::Variant::Bool(true)}, &result),
        S_OK);
    EXPECT_EQ(TextOf(result), "ababab!");
    // Omitted trailing arguments take their defaults (Count 2) or 0 (Shout false).
    ASSERT_EQ(InvokeByName(*sample, u"Join", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {cb::Variant::Long(7)},
                           &result),
              S_OK);
    EXPECT_EQ(TextOf(result), "77");
    // An explicitly missing argument in the middle too.
    ASSERT_EQ(InvokeByName(*sample, u"Join", DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                           {cb::Variant::Text("x"), cb::Variant::Missing(), cb::Variant::Long(1)}, &result),
              S_OK);
    EXPECT_EQ(TextOf(result), "xx!");
}

TEST(Dispatch, ReportsBadCallsAndFailuresTheStandardWay) {
    auto sample = cb::ComPtr<Sample>::Adopt(new Sample());
    VARIANT result;
    UINT bad = 99;
    EXPECT_EQ(InvokeByName(*sample, u"Join", DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                           {cb::Variant::Text("x"), cb::Variant::Text("many")}, &result, nullptr, &bad),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(bad, 0u);  // counted from the last argument, as callers pass them reversed
    EXPECT_EQ(InvokeByName(*sample, u"Fail", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {cb::Variant::Long(1)},
                           &result),
              DISP_E_BADPARAMCOUNT);

    EXCEPINFO exception{};
    EXPECT_EQ(InvokeByName(*sample, u"Fail", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &result, &exception),
              DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, E_UNEXPECTED);
    EXPECT_EQ(cb::BstrToUtf8(exception.bstrDescription), "Cannot open AVI file");
    EXPECT_EQ(cb::BstrToUtf8(exception.bstrSource), "Vidmill.Sample");
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
    // Without an exception record the method's own code comes back.
    EXPECT_EQ(InvokeByName(*sample, u"Fail", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &result),
              E_UNEXPECTED);
}

TEST(Dispatch, PassesInterfacesBothWays) {
    auto sample = cb::ComPtr<Sample>::Adopt(new Sample());
    VARIANT self;
    ASSERT_EQ(InvokeByName(*sample, u"Self", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &self), S_OK);
    ASSERT_EQ(self.vt, VT_DISPATCH);
    cb::Variant passed;
    VariantCopy(passed.get(), &self);
    VariantClear(&self);
    VARIANT same;
    ASSERT_EQ(InvokeByName(*sample, u"Take", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {passed}, &same), S_OK);
    EXPECT_EQ(same.lVal, 1);
}

// A parent that owns an embedded child, as a reader owns its frames collection.
class Parent final : public AutoObject<Parent, ISample> {
  public:
    Parent() : AutoObject(Counting::Counted), child_(new Child(this)) {}
    HRESULT Join(BSTR, LONG, VARIANT_BOOL, BSTR*) override { return E_NOTIMPL; }
    HRESULT Fail() override { return E_NOTIMPL; }
    HRESULT get_Self(ISample** self) override { return HandOut(child_.get(), self); }
    HRESULT Take(ISample*, LONG*) override { return E_NOTIMPL; }

  private:
    class Child final : public AutoObject<Child, ISample> {
      public:
        explicit Child(IUnknown* parent) : AutoObject(Counting::Embedded, parent) {}
        HRESULT Join(BSTR, LONG, VARIANT_BOOL, BSTR*) override { return E_NOTIMPL; }
        HRESULT Fail() override { return E_NOTIMPL; }
        HRESULT get_Self(ISample** self) override { return HandOut(this, self); }
        HRESULT Take(ISample*, LONG*) override { return E_NOTIMPL; }
    };
    EmbeddedPtr<Child> child_;
};

TEST(EmbeddedObject, LivesExactlyAsLongAsItsParent) {
    const long before = ObjectCount();
    ISample* parent = new Parent();
    EXPECT_EQ(ObjectCount(), before + 1);
    ISample* child = nullptr;
    ASSERT_EQ(parent->get_Self(&child), S_OK);
    ASSERT_NE(child, static_cast<ISample*>(parent));
    EXPECT_EQ(parent->Release(), 1u);  // the child's reference keeps the parent
    EXPECT_EQ(ObjectCount(), before + 1);
    EXPECT_EQ(child->Release(), 0u);  // last reference: parent and child go together
    EXPECT_EQ(ObjectCount(), before);
}

}  // namespace
