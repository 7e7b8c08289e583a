// AviCompressors, its enumerator and AviCompressor as a caller sees them: early and late bound.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cbplatform/errorinfo.h"
#include "compressors/avi_compressor.h"
#include "compressors/avi_compressors.h"
#include "invoke_by_name.h"

namespace vidmill {
namespace {

using cb::testing::InvokeByName;
using compressors::CompressorInfo;

bool IsTrue(VARIANT_BOOL value) { return value != VARIANT_FALSE; }

// Kind 2: an AviCompressors, 3: a free-standing AviCompressor, as the library's creation makes them.
template <typename I>
cb::ComPtr<I> Make(LONG kind) {
    IDispatch* raw =
        kind == 2 ? NewAviCompressors(Counting::NotCounted) : NewAviCompressor(Counting::NotCounted);
    return cb::ComPtr<IDispatch>::Adopt(raw).as<I>();
}

cb::ComPtr<TAviCompressors> MakeList(const std::vector<CompressorInfo>& list) {
    return cb::ComPtr<TAviCompressors>::Adopt(new TAviCompressors(Counting::NotCounted, list));
}

CompressorInfo Entry(LONG handler, const char* name) {
    CompressorInfo info;
    info.handler = static_cast<std::uint32_t>(handler);
    info.name = name;
    return info;
}

std::string NameOf(IAviCompressor& compressor) {
    cb::Bstr name;
    EXPECT_EQ(compressor.get_Name(name.put()), S_OK);
    return name.utf8();
}

std::string ErrorText() {
    cb::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info) return {};
    cb::Bstr description;
    info->GetDescription(description.put());
    return description.utf8();
}

TEST(AviCompressors, WalksTheInstalledListFromDibToTheEnd) {
    auto list = Make<IAviCompressors>(2);
    ASSERT_TRUE(list);
    std::vector<LONG> handlers;
    for (;;) {
        cb::ComPtr<IAviCompressor> current;
        ASSERT_EQ(list->get_Current(current.put()), S_OK);
        VARIANT_BOOL valid = VARIANT_FALSE;
        current->get_IsValid(&valid);
        ASSERT_TRUE(IsTrue(valid));
        LONG handler = 0;
        current->get_Handler(&handler);
        handlers.push_back(handler);
        VARIANT_BOOL more = VARIANT_FALSE;
        ASSERT_EQ(list->Next(&more), S_OK);
        if (!IsTrue(more)) break;
    }
    EXPECT_EQ(handlers.size(), compressors::InstalledCompressors().size());
    EXPECT_EQ(handlers.front(), Uncompressed);
    // Past the end the entry is invalid and cleared; Reset starts again.
    cb::ComPtr<IAviCompressor> current;
    list->get_Current(current.put());
    VARIANT_BOOL valid = VARIANT_TRUE;
    current->get_IsValid(&valid);
    EXPECT_FALSE(IsTrue(valid));
    EXPECT_EQ(NameOf(*current), "");
    ASSERT_EQ(list->Reset(), S_OK);
    current->get_IsValid(&valid);
    EXPECT_TRUE(IsTrue(valid));
    EXPECT_EQ(NameOf(*current), "Uncompressed");
}

TEST(AviCompressors, AnEmptyListHasAnInvalidCurrentAndNoItems) {
    auto list = MakeList({});
    cb::ComPtr<IAviCompressor> current;
    list->get_Current(current.put());
    VARIANT_BOOL value = VARIANT_TRUE;
    current->get_IsValid(&value);
    EXPECT_FALSE(IsTrue(value));
    EXPECT_EQ(list->Next(&value), S_OK);
    EXPECT_FALSE(IsTrue(value));
    cb::ComPtr<IUnknown> items;
    ASSERT_EQ(list->get__NewEnum(items.put()), S_OK);
    auto enumerator = items.as<IEnumVARIANT>();
    ASSERT_TRUE(enumerator);
    VARIANT item;
    ULONG fetched = 7;
    EXPECT_EQ(enumerator->Next(1, &item, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
}

TEST(AviCompressors, EnumeratorHandsOutFreeStandingCopiesAndSharesThePosition) {
    auto list = MakeList({Entry(MsVideo1Compressor, "one"), Entry(MsVideo1Compressor, "one again"),
                          Entry(CinepakCompressor, "two"), Entry(HuffyuvCompressor, "three")});
    cb::ComPtr<IUnknown> items;
    ASSERT_EQ(list->get__NewEnum(items.put()), S_OK);
    auto enumerator = items.as<IEnumVARIANT>();

    VARIANT got[2];
    ULONG fetched = 0;
    ASSERT_EQ(enumerator->Next(2, got, &fetched), S_OK);
    ASSERT_EQ(fetched, 2u);
    std::vector<cb::ComPtr<IAviCompressor>> copies;
    for (VARIANT& v : got) {
        ASSERT_EQ(v.vt, VT_DISPATCH);
        copies.push_back(cb::ComPtr<IDispatch>::Adopt(v.pdispVal).as<IAviCompressor>());
    }
    EXPECT_EQ(NameOf(*copies[0]), "one");
    EXPECT_EQ(NameOf(*copies[1]), "two") << "the second entry of the same handler is passed over";

    // The enumeration's Current moved with its enumerator.
    cb::ComPtr<IAviCompressor> current;
    list->get_Current(current.put());
    EXPECT_EQ(NameOf(*current), "three");

    // One item left of two wanted.
    fetched = 0;
    EXPECT_EQ(enumerator->Next(2, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    cb::ComPtr<IDispatch>::Adopt(got[0].pdispVal);

    // A copy is free-standing: its Handler may be set; the enumeration's entry refuses.
    EXPECT_EQ(copies[0]->put_Handler(CinepakCompressor), S_OK);
    EXPECT_EQ(current->put_Handler(CinepakCompressor), E_UNEXPECTED);
    EXPECT_EQ(ErrorText(), kHandlerInsideEnumeration);
}

TEST(AviCompressors, SkipResetAndClone) {
    auto list = MakeList({Entry(MsVideo1Compressor, "one"), Entry(CinepakCompressor, "two"),
                          Entry(HuffyuvCompressor, "three")});
    auto* enumerator = static_cast<IEnumVARIANT*>(list.get());
    EXPECT_EQ(enumerator->Skip(1), S_OK);
    cb::ComPtr<IEnumVARIANT> clone;
    ASSERT_EQ(enumerator->Clone(clone.put()), S_OK);
    EXPECT_EQ(enumerator->Skip(5), S_FALSE);

    VARIANT item;
    ULONG fetched = 0;
    ASSERT_EQ(clone->Next(1, &item, &fetched), S_OK);
    auto copy = cb::ComPtr<IDispatch>::Adopt(item.pdispVal).as<IAviCompressor>();
    EXPECT_EQ(NameOf(*copy), "two") << "the clone starts where its original stood";

    EXPECT_EQ(enumerator->Reset(), S_OK);
    cb::ComPtr<IAviCompressor> current;
    list->get_Current(current.put());
    EXPECT_EQ(NameOf(*current), "one");
}

TEST(AviCompressors, CurrentKeepsItsEnumerationAlive) {
    cb::ComPtr<IAviCompressor> current;
    {
        auto list = Make<IAviCompressors>(2);
        list->get_Current(current.put());
    }
    EXPECT_EQ(NameOf(*current), "Uncompressed");
}

TEST(AviCompressors, TellsItsLinkWhenItGoes) {
    struct Link final : CompressorsLink {
        int told = 0;
        void CompressorsDestroyed() override { ++told; }
    } link;
    {
        auto list = MakeList({});
        list->setLink(&link);
    }
    EXPECT_EQ(link.told, 1);
}

TEST(AviCompressor, FreeStandingByHandler) {
    auto compressor = Make<IAviCompressor>(3);
    ASSERT_TRUE(compressor);
    LONG handler = -1;
    VARIANT_BOOL value = VARIANT_TRUE;
    compressor->get_Handler(&handler);
    compressor->get_IsValid(&value);
    EXPECT_EQ(handler, 0);
    EXPECT_FALSE(IsTrue(value));

    ASSERT_EQ(compressor->put_Handler(MsVideo1Compressor), S_OK);
    compressor->get_IsValid(&value);
    EXPECT_TRUE(IsTrue(value));
    compressor->get_SupportsWriting(&value);
    EXPECT_TRUE(IsTrue(value));
    compressor->get_Handler(&handler);
    EXPECT_EQ(handler, MsVideo1Compressor);
    EXPECT_NE(NameOf(*compressor), "");
    cb::Bstr driver;
    compressor->get_Driver(driver.put());
    EXPECT_NE(driver.utf8(), "");
    LONG version = 0;
    compressor->get_Version(&version);
    EXPECT_GT(version, 0);
    compressor->About(HWND{}, &value);
    EXPECT_FALSE(IsTrue(value)) << "no compressor here shows an about box";

    // A code no installed compressor has: invalid and cleared.
    ASSERT_EQ(compressor->put_Handler(IntelIndeo32Compressor), S_OK);
    compressor->get_IsValid(&value);
    EXPECT_FALSE(IsTrue(value));
    EXPECT_EQ(NameOf(*compressor), "");
    compressor->get_Handler(&handler);
    EXPECT_EQ(handler, 0);
    compressor->get_SupportsWriting(&value);
    EXPECT_FALSE(IsTrue(value));
    LONG rate = -1;
    compressor->get_DefaultKeyFrameRate(&rate);
    EXPECT_EQ(rate, 0);
}

TEST(AviCompressor, LateBoundHandlerAndWritingCheck) {
    auto compressor = Make<IDispatch>(3);
    cb::Variant code = cb::Variant::Long(CinepakCompressor);
    ASSERT_EQ(InvokeByName(*compressor, u"handler", DISPATCH_PROPERTYPUT, {code}, nullptr), S_OK);
    cb::Variant writing;
    ASSERT_EQ(InvokeByName(*compressor, u"SUPPORTSWRITING", DISPATCH_PROPERTYGET, {}, writing.get()), S_OK);
    EXPECT_EQ(writing.get()->vt, VT_BOOL);
    EXPECT_TRUE(IsTrue(writing.get()->boolVal));
    cb::Variant name;
    ASSERT_EQ(InvokeByName(*compressor, u"Name", DISPATCH_PROPERTYGET, {}, name.get()), S_OK);
    ASSERT_EQ(name.get()->vt, VT_BSTR);
    EXPECT_EQ(cb::BstrToUtf8(name.get()->bstrVal), "cinepak");

    // The enumeration's entry refuses a Handler late-bound too, with the same text.
    auto list = Make<IAviCompressors>(2);
    cb::ComPtr<IAviCompressor> current;
    list->get_Current(current.put());
    EXPECT_EQ(InvokeByName(*current, u"Handler", DISPATCH_PROPERTYPUT, {code}, nullptr), E_UNEXPECTED);
    EXPECT_EQ(ErrorText(), kHandlerInsideEnumeration);
}

// The size check, early and late bound: a size the encoder takes, one it refuses when opened, one its
// frames do not decode at, one it crashes on (in the child process that tries it: the test goes on),
// and a compressor that is not installed.
TEST(AviCompressor, CheckFrameSizeTellsWhyASizeCannotBeWritten) {
    struct Row {
        const char* code;
        LONG width;
        LONG height;
        std::string message;  // empty: S_OK
    };
    const Row rows[] = {
        {"MSVC", 64, 48, ""},
        {"DIB ", 3, 1, ""},
        {"MSVC", 30, 48,
         "The compressor msvideo1 (MSVC) cannot write 30 x 48 frames: its encoder does not take frames of "
         "that size"},
        {"SHQ0", 351, 287,
         "The compressor speedhq (SHQ0) cannot write 351 x 287 frames: its frames of that size do not decode "
         "back"},
        {"azpr", 2, 2,
         "The compressor rpza (azpr) cannot write 2 x 2 frames: its encoder crashed on a frame of that size "
         "(Aborted)"},
        {"MSVC", 0, 48,
         "The compressor msvideo1 (MSVC) cannot write 0 x 48 frames: there are no frames of that size"},
        {"\x3A\x22\x05\x05", 64, 48, "No installed compressor has this handler code"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.code) + " " + std::to_string(row.width) + " x " +
                     std::to_string(row.height));
        auto compressor = Make<IAviCompressor>(3);
        ASSERT_EQ(compressor->put_Handler(FourCC(row.code)), S_OK);
        EXPECT_EQ(compressor->CheckFrameSize(row.width, row.height),
                  row.message.empty() ? S_OK : E_UNEXPECTED);
        EXPECT_EQ(ErrorText(), row.message);
        // Late bound: the same answer, now remembered.
        auto late = compressor.as<IDispatch>();
        const HRESULT byName =
            InvokeByName(*late, u"CheckFrameSize", DISPATCH_METHOD,
                         {cb::Variant::Long(row.width), cb::Variant::Long(row.height)}, nullptr);
        EXPECT_EQ(byName, row.message.empty() ? S_OK : E_UNEXPECTED);
        EXPECT_EQ(ErrorText(), row.message);
    }
}

}  // namespace
}  // namespace vidmill
