find_package(GTest REQUIRED)
include(GoogleTest)

# cb_add_test(NAME SOURCES a.cpp ... LIBS x y ... [SANITIZE])
# One test executable; SANITIZE marks it for the sanitizer run in CI.
function(cb_add_test name)
  cmake_parse_arguments(T "SANITIZE" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  cb_target_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  # One label per test (a list would be split by the discovery): "sanitize" marks the tests that
  # the sanitizer run repeats; every test runs in the normal run.
  set(label unit)
  if(T_SANITIZE)
    set(label sanitize)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${label}
    ENVIRONMENT "CB_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp;CB_BUILD_DIR=${CMAKE_BINARY_DIR};QT_QPA_PLATFORM=offscreen")
endfunction()
