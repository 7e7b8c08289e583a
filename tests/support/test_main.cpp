// Entry point of every test executable: the environment the tests expect (their scratch folder,
// the build folder, Qt without a display, the records of partial files and the library's cache kept
// below the scratch folder rather than in the user's own folders) unless the caller has set it, then
// GoogleTest. Setting it here rather than in CTest lets a test binary run on its own just the same.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    setenv("CB_TEST_TMP", CB_TEST_TMP_DEFAULT, 0);
    setenv("CB_BUILD_DIR", CB_BUILD_DIR_DEFAULT, 0);
    setenv("XDG_STATE_HOME", (std::string(std::getenv("CB_TEST_TMP")) + "/state").c_str(), 0);
    setenv("XDG_CACHE_HOME", (std::string(std::getenv("CB_TEST_TMP")) + "/cache").c_str(), 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
