find_package(GTest REQUIRED)
include(GoogleTest)

# The entry point shared by every test executable, with the test environment built in.
add_library(cb_test_main STATIC ${PROJECT_SOURCE_DIR}/tests/support/test_main.cpp)
target_link_libraries(cb_test_main PUBLIC GTest::gtest)
target_compile_definitions(cb_test_main PRIVATE CB_TEST_TMP_DEFAULT="${CMAKE_BINARY_DIR}/test-tmp"
  CB_BUILD_DIR_DEFAULT="${CMAKE_BINARY_DIR}")
cb_target_warnings(cb_test_main)

# Helpers shared by the tests: shell commands and scratch files for the tests that check output with
# the ffmpeg command line, a small disk and stopped runs, and late-bound calls by member name.
add_library(cb_test_support STATIC ${PROJECT_SOURCE_DIR}/tests/support/command_runner.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/small_disk.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/stopped_run.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/invoke_by_name.cpp)
target_include_directories(cb_test_support PUBLIC ${PROJECT_SOURCE_DIR}/tests/support)
target_link_libraries(cb_test_support PUBLIC cbplatform)
cb_target_warnings(cb_test_support)

# cb_add_test(NAME SOURCES a.cpp ... LIBS x y ... [SANITIZE])
# One test executable; SANITIZE marks it for the sanitizer run in CI.
function(cb_add_test name)
  cmake_parse_arguments(T "SANITIZE" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  cb_target_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock cb_test_main)
  # One label per test (a list would be split by the discovery): "sanitize" marks the tests that
  # the sanitizer run repeats; every test runs in the normal run.
  set(label unit)
  if(T_SANITIZE)
    set(label sanitize)
  endif()
  # The environment comes from cb_test_main: the discovery would split a list of variables here.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${label})
endfunction()
