// The program's error boundary: whatever escapes a command becomes that command's message.
#include "base/failure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <new>
#include <stdexcept>

#include "base/scripted_interaction.h"

namespace composer {
namespace {

TEST(GuardCommand, WhatEscapesACommandIsItsMessageAndItsResultIsFalse) {
    const struct {
        const char* name;
        std::function<bool()> body;
        bool result;
        const char* message;  // nullptr: no message
    } cases[] = {
        {"done", [] { return true; }, true, nullptr},
        {"declined", [] { return false; }, false, nullptr},
        {"failure", []() -> bool { throw Failure("cannot read bars.avi"); }, false, "cannot read bars.avi"},
        {"no memory", []() -> bool { throw std::bad_alloc(); }, false,
         "There is not enough memory for this."},
        {"library", []() -> bool { throw std::out_of_range("index 7"); }, false, "index 7"},
        {"other", []() -> bool { throw 42; }, false, "An unexpected error stopped this."},
    };
    for (const auto& c : cases) {
        ScriptedInteraction ui;
        ScopedInteraction scope(ui);
        EXPECT_EQ(GuardCommand("Save Movie", c.body), c.result) << c.name;
        if (!c.message) {
            EXPECT_TRUE(ui.messages.empty()) << c.name;
            continue;
        }
        ASSERT_EQ(ui.messages.size(), 1u) << c.name;
        EXPECT_EQ(ui.messages[0].text, c.message) << c.name;
        EXPECT_EQ(ui.messages[0].title, "Save Movie") << c.name;
    }
}

TEST(GuardCommand, ABodyWithoutResultSucceedsWhenNothingEscapes) {
    ScriptedInteraction ui;
    ScopedInteraction scope(ui);
    int runs = 0;
    EXPECT_TRUE(GuardCommand("Open", [&] { ++runs; }));
    EXPECT_FALSE(GuardCommand("Open", [&] { FailWithErrno("cannot write /full/movie.avi", ENOSPC); }));
    EXPECT_EQ(runs, 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "cannot write /full/movie.avi: No space left on device");
}

}  // namespace
}  // namespace composer
