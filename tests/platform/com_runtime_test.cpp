#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "cbplatform/bstr.h"
#include "cbplatform/errorinfo.h"
#include "cbplatform/registry.h"
#include "cbplatform/stream.h"
#include "cbplatform/variant.h"

namespace {

std::filesystem::path TestFolder(const std::string& name) {
    const char* base = std::getenv("CB_TEST_TMP");
    auto folder =
        std::filesystem::path(base ? base : "/tmp") / ("platform-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

TEST(Bstr, KeepsLengthAndConvertsUtf8BothWays) {
    const std::string text =
        "Clip \xC3\xA9t\xC3\xA9 \xF0\x9F\x8E\xAC";  // accents and a character beyond 16 bits
    cb::Bstr b(text);
    EXPECT_EQ(SysStringLen(b.get()), 11u);  // the last character takes a surrogate pair
    EXPECT_EQ(b.utf8(), text);
    EXPECT_EQ(cb::BstrToUtf8(nullptr), "");
    BSTR embedded = SysAllocStringLen(u"a\0b", 3);
    EXPECT_EQ(SysStringLen(embedded), 3u);
    SysFreeString(embedded);
}

TEST(Variant, ChangeTypeConvertsTheWayCallersExpect) {
    struct Row {
        cb::Variant source;
        VARTYPE target;
        HRESULT expected;
        double number;  // the converted value, read as a number
    };
    const Row rows[] = {
        {cb::Variant::Double(2.5), VT_I4, S_OK, 2},  // halves to the even neighbour
        {cb::Variant::Double(3.5), VT_I4, S_OK, 4},
        {cb::Variant::Text("42"), VT_I4, S_OK, 42},
        {cb::Variant::Text("4x"), VT_I4, DISP_E_TYPEMISMATCH, 0},
        {cb::Variant::Long(-1), VT_BOOL, S_OK, -1},
        {cb::Variant::Bool(true), VT_I4, S_OK, -1},
        {cb::Variant::Long(7), VT_R4, S_OK, 7},
        {cb::Variant::Double(1e12), VT_I4, DISP_E_TYPEMISMATCH, 0},
        {cb::Variant(), VT_I4, S_OK, 0},
    };
    for (const Row& row : rows) {
        cb::Variant out;
        ASSERT_EQ(VariantChangeType(out.get(), row.source.get(), 0, row.target), row.expected);
        if (row.expected != S_OK) continue;
        EXPECT_EQ(out.get()->vt, row.target);
        double value = 0;
        switch (row.target) {
            case VT_I4:
                value = out.get()->lVal;
                break;
            case VT_BOOL:
                value = out.get()->boolVal;
                break;
            case VT_R4:
                value = out.get()->fltVal;
                break;
            default:
                break;
        }
        EXPECT_EQ(value, row.number);
    }
    cb::Variant text;
    ASSERT_EQ(VariantChangeType(text.get(), cb::Variant::Long(12).get(), 0, VT_BSTR), S_OK);
    EXPECT_EQ(cb::BstrToUtf8(text.get()->bstrVal), "12");
}

TEST(ErrorInfo, BelongsToTheThreadThatSetItAndIsTakenOnce) {
    cb::ComPtr<ICreateErrorInfo> created;
    ASSERT_EQ(CreateErrorInfo(created.put()), S_OK);
    created->SetDescription(u"Cannot open AVI file");
    SetErrorInfo(0, created.as<IErrorInfo>().get());

    std::string seenElsewhere = "unset";
    std::thread([&] { seenElsewhere = cb::TakeErrorDescription(); }).join();
    EXPECT_EQ(seenElsewhere, "");
    EXPECT_EQ(cb::TakeErrorDescription(), "Cannot open AVI file");
    EXPECT_EQ(cb::TakeErrorDescription(), "");  // taken
}

TEST(Stream, FileAndMemoryStreamsReadWriteAndSeek) {
    const auto folder = TestFolder("stream");
    cb::ComPtr<IStream> file;
    ASSERT_EQ(cb::CreateStreamOnFile((folder / "s.bin").string(), cb::StreamMode::CreateWrite, file.put()),
              S_OK);
    cb::ComPtr<IStream> memory;
    ASSERT_EQ(cb::CreateStreamOnMemory({}, memory.put()), S_OK);
    for (IStream* stream : {file.get(), memory.get()}) {
        ULONG written = 0;
        ASSERT_EQ(stream->Write("abcdef", 6, &written), S_OK);
        EXPECT_EQ(written, 6u);
        ULARGE_INTEGER at{};
        ASSERT_EQ(stream->Seek(LARGE_INTEGER{-2}, STREAM_SEEK_END, &at), S_OK);
        EXPECT_EQ(at.QuadPart, 4u);
        char buffer[8] = {};
        ULONG read = 0;
        EXPECT_EQ(stream->Read(buffer, 8, &read), S_FALSE);  // fewer bytes than asked
        EXPECT_EQ(std::string(buffer, read), "ef");
        std::vector<std::uint8_t> all;
        ASSERT_EQ(cb::ReadWholeStream(stream, all), S_OK);
        EXPECT_EQ(std::string(all.begin(), all.end()), "abcdef");
        EXPECT_EQ(stream->Seek(LARGE_INTEGER{-1}, STREAM_SEEK_SET, nullptr), STG_E_INVALIDFUNCTION);
    }
    cb::ComPtr<IStream> missing;
    EXPECT_EQ(cb::CreateStreamOnFile((folder / "none").string(), cb::StreamMode::Read, missing.put()),
              STG_E_FILENOTFOUND);
}

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = TestFolder("registry");
        path_ = (folder_ / "registry.ini").string();
        ::setenv("CB_REGISTRY", path_.c_str(), 1);
    }
    void TearDown() override { ::unsetenv("CB_REGISTRY"); }
    std::filesystem::path folder_;
    std::string path_;
};

TEST_F(RegistryTest, KeysCompareWithoutCaseAndTreesAreDeletedWhole) {
    ASSERT_TRUE(cb::registry::Update([](cb::registry::Keys& keys) {
        keys.SetValue("CLSID\\{ABC}", "", "help text");
        keys.SetValue("CLSID\\{ABC}\\InprocServer32", "ThreadingModel", "Apartment");
        keys.SetValue("CLSID\\{ABCD}", "", "a neighbour that must survive");
    }));
    EXPECT_EQ(cb::registry::GetValue("clsid\\{abc}"), "help text");
    EXPECT_EQ(cb::registry::GetValue("CLSID\\{ABC}\\InprocServer32", "threadingmodel"), "Apartment");
    ASSERT_TRUE(cb::registry::Update([](cb::registry::Keys& keys) { keys.DeleteTree("CLSID\\{ABC}"); }));
    EXPECT_FALSE(cb::registry::GetValue("CLSID\\{ABC}").has_value());
    EXPECT_FALSE(cb::registry::GetValue("CLSID\\{ABC}\\InprocServer32", "ThreadingModel").has_value());
    EXPECT_EQ(cb::registry::GetValue("CLSID\\{ABCD}"), "a neighbour that must survive");
}

TEST_F(RegistryTest, ConcurrentWritersLoseNothing) {
    constexpr int kWriters = 4, kEach = 25;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int i = 0; i < kEach; ++i)
                cb::registry::Update([&](cb::registry::Keys& keys) {
                    keys.SetValue("Writer" + std::to_string(w), "n" + std::to_string(i), "x");
                });
            std::_Exit(0);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) ::waitpid(pid, nullptr, 0);
    for (int w = 0; w < kWriters; ++w)
        for (int i = 0; i < kEach; ++i)
            EXPECT_EQ(cb::registry::GetValue("Writer" + std::to_string(w), "n" + std::to_string(i)), "x");
    EXPECT_FALSE(std::filesystem::exists(path_ + ".new"));
}

}  // namespace
