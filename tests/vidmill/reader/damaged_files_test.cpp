// The damaged AVI files the fuzz replay runs (fuzz/avi_reader/damaged): besides ending without a crash
// there, each must give the reader's error, through opening, reading its frames or copying its sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "frame/error.h"
#include "reader/avi_reader_engine.h"
#include "reader_test_support.h"

namespace vidmill::reader {
namespace {

std::vector<std::filesystem::path> DamagedFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(CB_DAMAGED_AVI_DIR))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// The first message the reader gives for the file, or "" when every step succeeds.
std::string FirstError(const std::string& path, const std::string& wav) {
    AviReaderEngine reader;
    try {
        reader.open(path);
        for (int i = 0; i < reader.facts().frameCount; ++i) reader.frameAt(i);
        if (reader.facts().hasSound) reader.extractWav(wav);
    } catch (const Error& error) {
        return error.what();
    }
    return "";
}

TEST(DamagedFuzzInputs, EachGivesTheReadersError) {
    const std::vector<std::filesystem::path> files = DamagedFiles();
    ASSERT_FALSE(files.empty());
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        EXPECT_NE(FirstError(file.string(), testing::ScratchPath("damaged.wav")), "");
    }
}

}  // namespace
}  // namespace vidmill::reader
