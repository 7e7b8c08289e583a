// Drives the library the way a program does: registration, creation by class id and ProgID,
// interface queries, failures with their texts, late binding and unloading.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "cbplatform/errorinfo.h"
#include "cbplatform/runtime.h"
#include "vidmill/vidmill.h"

namespace {

using namespace vidmill;

class ComponentClient : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const char* base = std::getenv("CB_TEST_TMP");
        folder_ =
            std::filesystem::path(base ? base : "/tmp") / ("frame-client-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        ::setenv("CB_REGISTRY", (folder_ / "registry.ini").c_str(), 1);
        ASSERT_EQ(Regsvr(""), 0);
    }
    static void TearDownTestSuite() {
        CoFreeUnusedLibraries();
        std::filesystem::remove_all(folder_);
    }
    static int Regsvr(const std::string& flags) {
        const std::string command =
            std::string(REGSVR_PATH) + " " + flags + " " VIDMILL_LIBRARY_PATH " >/dev/null";
        return std::system(command.c_str());
    }
    static cb::ComPtr<IAviWriter> NewWriter() {
        cb::ComPtr<IAviWriter> writer;
        EXPECT_EQ(CoCreateInstance(CLSID_AviWriter, nullptr, CLSCTX_INPROC_SERVER, IAviWriter::kIid,
                                   writer.putVoid()),
                  S_OK);
        return writer;
    }
    static inline std::filesystem::path folder_;
};

TEST_F(ComponentClient, CreatesByClassIdAndByProgIdAndRefusesOtherInterfaces) {
    auto writer = NewWriter();
    ASSERT_TRUE(writer);
    CLSID fromProgId{};
    ASSERT_EQ(cb::ClsidFromProgId("Vidmill.AviWriter", fromProgId), S_OK);
    EXPECT_EQ(fromProgId, CLSID_AviWriter);
    cb::ComPtr<IDispatch> byProgId;
    ASSERT_EQ(
        CoCreateInstance(fromProgId, nullptr, CLSCTX_INPROC_SERVER, IDispatch::kIid, byProgId.putVoid()),
        S_OK);
    EXPECT_TRUE(byProgId.as<IAviWriter>());

    cb::ComPtr<IAviReader> notAReader;
    EXPECT_EQ(writer->QueryInterface(IAviReader::kIid, notAReader.putVoid()), E_NOINTERFACE);
    EXPECT_FALSE(notAReader);
    // Classes that only their owners hand out cannot be made by callers.
    cb::ComPtr<IUnknown> frames;
    EXPECT_EQ(
        CoCreateInstance(CLSID_AviFrames, nullptr, CLSCTX_INPROC_SERVER, IUnknown::kIid, frames.putVoid()),
        CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(cb::ClsidFromProgId("Vidmill.NoSuchClass", fromProgId), CO_E_CLASSSTRING);
}

TEST_F(ComponentClient, AFailureLeavesItsTextInTheThreadsErrorInformation) {
    cb::ComPtr<IAviReader> reader;
    ASSERT_EQ(
        CoCreateInstance(CLSID_AviReader, nullptr, CLSCTX_INPROC_SERVER, IAviReader::kIid, reader.putVoid()),
        S_OK);
    cb::Bstr name("/nonexistent/file.avi");
    const HRESULT hr = reader->Open(name.get());
    ASSERT_TRUE(FAILED(hr));
    cb::ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.put()), S_OK);
    cb::Bstr description, source;
    info->GetDescription(description.put());
    info->GetSource(source.put());
    GUID iid{};
    info->GetGUID(&iid);
    EXPECT_FALSE(description.utf8().empty());
    EXPECT_EQ(source.utf8(), "Vidmill.AviReader");
    EXPECT_EQ(iid, IAviReader::kIid);
}

TEST_F(ComponentClient, LateBindingReachesTheSameMembers) {
    auto writer = NewWriter();
    cb::ComPtr<IDispatch> dispatch = writer.as<IDispatch>();
    ASSERT_TRUE(dispatch);
    OLECHAR name[] = u"qUaLiTy";
    OLECHAR* names[] = {name};
    DISPID id = 0;
    ASSERT_EQ(dispatch->GetIDsOfNames(IID{}, names, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 12);

    // Put 12000 by name: the interface-table getter sees the clamped value.
    cb::Variant value = cb::Variant::Long(12000);
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS put{value.get(), &putId, 1, 1};
    ASSERT_EQ(dispatch->Invoke(id, IID{}, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr), S_OK);
    LONG quality = 0;
    ASSERT_EQ(writer->get_Quality(&quality), S_OK);
    EXPECT_EQ(quality, 10000);

    // And the other way round: set through the table, read by name.
    ASSERT_EQ(writer->put_Quality(-5), S_OK);
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{};
    ASSERT_EQ(dispatch->Invoke(id, IID{}, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 0);
    VariantClear(&result);

    OLECHAR unknown[] = u"NoSuchMember";
    OLECHAR* unknownNames[] = {unknown};
    EXPECT_EQ(dispatch->GetIDsOfNames(IID{}, unknownNames, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
}

TEST_F(ComponentClient, UnloadsOnlyWhenNoObjectOrLockLives) {
    {
        auto writer = NewWriter();
        CoFreeUnusedLibraries();
        EXPECT_EQ(cb::LoadedServerCount(), 1);  // an object lives
    }
    cb::ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(CLSID_AviReader, CLSCTX_INPROC_SERVER, nullptr, IClassFactory::kIid,
                               factory.putVoid()),
              S_OK);
    ASSERT_EQ(factory->LockServer(1), S_OK);
    factory.reset();
    CoFreeUnusedLibraries();
    EXPECT_EQ(cb::LoadedServerCount(), 1);  // locked
    ASSERT_EQ(CoGetClassObject(CLSID_AviReader, CLSCTX_INPROC_SERVER, nullptr, IClassFactory::kIid,
                               factory.putVoid()),
              S_OK);
    ASSERT_EQ(factory->LockServer(0), S_OK);
    factory.reset();
    CoFreeUnusedLibraries();
    EXPECT_EQ(cb::LoadedServerCount(), 0);
}

TEST_F(ComponentClient, UnregisteringMakesCreationFail) {
    ASSERT_EQ(Regsvr("-u"), 0);
    cb::ComPtr<IAviWriter> writer;
    EXPECT_EQ(
        CoCreateInstance(CLSID_AviWriter, nullptr, CLSCTX_INPROC_SERVER, IAviWriter::kIid, writer.putVoid()),
        REGDB_E_CLASSNOTREG);
    CLSID clsid{};
    EXPECT_EQ(cb::ClsidFromProgId("Vidmill.AviWriter", clsid), CO_E_CLASSSTRING);
    ASSERT_EQ(Regsvr(""), 0);
    EXPECT_TRUE(NewWriter());
}

}  // namespace

namespace {

TEST(PlainExports, AviCreateObjectMakesKindsOneToFourAndUncountedObjects) {
    void* library = ::dlopen(VIDMILL_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    auto create = reinterpret_cast<void (*)(IDispatch**, LONG)>(::dlsym(library, "AviCreateObject"));
    auto canUnload = reinterpret_cast<HRESULT (*)()>(::dlsym(library, "DllCanUnloadNow"));
    ASSERT_TRUE(create && canUnload);
    struct Row {
        LONG kind;
        IID expected;
    };
    const Row made[] = {{1, vidmill::IAviWriter::kIid},
                        {2, vidmill::IAviCompressors::kIid},
                        {3, vidmill::IAviCompressor::kIid},
                        {4, vidmill::IAviReader::kIid}};
    for (const Row& row : made) {
        IDispatch* object = nullptr;
        create(&object, row.kind);
        ASSERT_NE(object, nullptr) << row.kind;
        void* typed = nullptr;
        EXPECT_EQ(object->QueryInterface(row.expected, &typed), S_OK) << row.kind;
        static_cast<IUnknown*>(typed)->Release();
        EXPECT_EQ(canUnload(), S_OK) << "objects of AviCreateObject are not counted";
        object->Release();
    }
    for (LONG kind : {0, 5, -1}) {
        IDispatch* object = nullptr;
        create(&object, 1);  // something held, which an unknown kind releases
        create(&object, kind);
        EXPECT_EQ(object, nullptr) << kind;
    }
    ::dlclose(library);
}

}  // namespace
