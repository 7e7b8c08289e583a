// The setting of the AVI wrapper tests: a work folder and a scripted seam (SoundTest), the library
// registered in a scratch class registry as a program finds it, AVI fixtures made by the ffmpeg
// command line.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "cbplatform/bstr.h"
#include "cbplatform/registry.h"
#include "cbplatform/runtime.h"
#include "sound_test_env.h"
#include "sound_test_support.h"
#include "vidmill/vidmill.h"

namespace composer::testing {

class AviWrapperTest : public SoundTest {
  protected:
    static void SetUpTestSuite() {
        const char* base = std::getenv("CB_TEST_TMP");
        folder_ = std::filesystem::path(base && *base ? base : "/tmp") /
                  ("avi-wrappers-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        ::setenv("CB_REGISTRY", (folder_ / "registry.ini").c_str(), 1);
        const std::string command = std::string(REGSVR_PATH) + " " VIDMILL_LIBRARY_PATH " >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    static void TearDownTestSuite() {
        CoFreeUnusedLibraries();
        std::filesystem::remove_all(folder_);
    }

    // A fixture file outside the work folder (made once per test process).
    static std::string Fixture(const std::string& name) { return (folder_ / name).string(); }

    // An AVI file made by ffmpeg from lavfi inputs and output options; empty when ffmpeg failed.
    static std::string MakeAvi(const std::string& name, const std::string& inputs,
                               const std::string& options) {
        const std::string path = Fixture(name);
        if (std::filesystem::exists(path)) return path;
        cb::sound::testing::Capture("ffmpeg -v error -y " + inputs + " " + options + " '" + path + "'");
        return std::filesystem::exists(path) ? path : std::string();
    }

    // Five 32 x 24 frames at 5 per second, uncompressed, frame n all red = 40 n (n from 0), with a
    // second of 16-bit mono PCM at 11025 Hz, or with the sound encoder named.
    static std::string NumberedFramesAvi(const std::string& name,
                                         const std::string& soundEncoder = "pcm_s16le") {
        const std::string video = "-f lavfi -i 'nullsrc=s=32x24:r=5:d=1,format=rgb24,geq=r=N*40:g=0:b=0'";
        if (soundEncoder.empty()) return MakeAvi(name, video, "-c:v rawvideo -pix_fmt bgr24");
        return MakeAvi(name, video + " -f lavfi -i 'sine=frequency=440:sample_rate=11025:duration=1'",
                       "-c:v rawvideo -pix_fmt bgr24 -c:a " + soundEncoder + " -ac 1");
    }

    // Removes a class from the scratch registry, as on a machine where it was never registered.
    static void Unregister(REFCLSID clsid) {
        ASSERT_TRUE(cb::registry::Update(
            [&](cb::registry::Keys& keys) { keys.DeleteTree("CLSID\\" + cb::FormatGuid(clsid)); }));
    }
    static void Reregister() {
        const std::string command = std::string(REGSVR_PATH) + " " VIDMILL_LIBRARY_PATH " >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    static inline std::filesystem::path folder_;
};

}  // namespace composer::testing
