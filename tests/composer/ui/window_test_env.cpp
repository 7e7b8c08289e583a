#include "window_test_env.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

namespace composer {

QApplication& UiTestApp() {
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own statics (the test pointing device) may already be gone.
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

void RegisterLibraryForTests(const std::string& regsvr, const std::string& library) {
    const char* folder = std::getenv("CB_TEST_TMP");
    const std::string registry = std::string(folder != nullptr ? folder : "/tmp") + "/ui-registry-" +
                                 std::to_string(::getpid()) + ".ini";
    ::setenv("CB_REGISTRY", registry.c_str(), 1);
    ASSERT_EQ(std::system((regsvr + " " + library + " >/dev/null").c_str()), 0);
}

}  // namespace composer
