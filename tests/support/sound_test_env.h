#pragma once
// The setting the sound tests run in: a fresh work folder for the temporary files of sample buffers
// and WAV files, the smallest memory budget, and a scripted interaction seam that records messages.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app_state_guard.h"
#include "base/app_state.h"
#include "base/scripted_interaction.h"

namespace composer::testing {

class SoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* base = std::getenv("CB_TEST_TMP");
        const std::filesystem::path parent = base && *base ? base : "/tmp";
        std::filesystem::create_directories(parent);
        std::string pattern = (parent / "sound-XXXXXX").string();
        ASSERT_TRUE(::mkdtemp(pattern.data()));
        WorkFolder = pattern;
        scope_.emplace(ui);
    }
    void TearDown() override {
        scope_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(WorkFolder, ignored);
    }

    // A path in the work folder.
    std::string PathFor(const std::string& name) const { return WorkFolder + "/" + name; }
    // The message texts shown so far, in order.
    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const auto& message : ui.messages) texts.push_back(message.text);
        return texts;
    }
    // How many temporary files ("tm" + number) the work folder holds.
    int FilesInWorkFolder() const {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(WorkFolder))
            count += entry.path().filename().string().rfind("tm", 0) == 0;
        return count;
    }

    ScriptedInteraction ui;

  private:
    AppStateGuard state_;
    std::optional<ScopedInteraction> scope_;
};

}  // namespace composer::testing
