#include "frame/guard.h"

#include <gtest/gtest.h>

#include <functional>

#include "cbplatform/errorinfo.h"

namespace {

using namespace vidmill;

constexpr IID kSomeInterface = cb::MakeGuid("{9B98DC8D-EF13-4E52-8FD7-0C79C55830C3}");

struct Outcome {
    HRESULT result;
    std::string description;
    std::string source;
    GUID iid;
};

template <typename Body>
Outcome RunAndRead(Body body) {
    SetErrorInfo(0, nullptr);
    Outcome outcome{RunGuarded(kSomeInterface, "Vidmill.AviWriter", body), {}, {}, {}};
    cb::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) == S_OK) {
        cb::Bstr description, source;
        info->GetDescription(description.put());
        info->GetSource(source.put());
        info->GetGUID(&outcome.iid);
        outcome.description = description.utf8();
        outcome.source = source.utf8();
    }
    return outcome;
}

TEST(Guard, TurnsEachKindOfFailureIntoItsCodeAndText) {
    struct Row {
        std::function<void()> body;
        HRESULT result;
        const char* description;
    };
    const Row rows[] = {
        {[] {}, S_OK, ""},
        {[] { throw Error("Cannot open AVI file"); }, E_UNEXPECTED, "Cannot open AVI file"},
        {[] { throw Error("Cannot open WAV file", STG_E_FILENOTFOUND); }, STG_E_FILENOTFOUND,
         "Cannot open WAV file"},
        {[] { throw Error("positive codes are not passed on", S_FALSE); }, E_UNEXPECTED,
         "positive codes are not passed on"},
        {[] { throw AbortError(); }, E_UNEXPECTED, "Operation aborted"},
        {[] { throw Error("Interface not supported", E_NOINTERFACE); }, E_NOINTERFACE,
         "Interface not supported"},
        {[] { throw std::runtime_error("boom"); }, E_UNEXPECTED, "boom"},
    };
    for (const Row& row : rows) {
        const Outcome outcome = RunAndRead(row.body);
        EXPECT_EQ(outcome.result, row.result) << row.description;
        EXPECT_EQ(outcome.description, row.description);
        if (FAILED(row.result)) {
            EXPECT_EQ(outcome.source, "Vidmill.AviWriter");
            EXPECT_EQ(outcome.iid, kSomeInterface);
        }
    }
}

}  // namespace
